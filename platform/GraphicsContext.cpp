#include "platform/GraphicsContext.h"

#include <QList>

namespace platform {

namespace {
thread_local QList<GraphicsContext *> contexts;
}

GraphicsContext::~GraphicsContext() = default;

GraphicsContext *GraphicsContext::current() { return contexts.isEmpty() ? nullptr : contexts.last(); }

void GraphicsContext::push(GraphicsContext *context) { contexts.append(context); }

void GraphicsContext::pop()
{
    if (!contexts.isEmpty())
        contexts.removeLast();
}

} // namespace platform
