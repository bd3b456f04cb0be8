#include "platform/GraphicsContextScope.h"

#include "platform/GraphicsContext.h"

namespace platform {

GraphicsContextScope::GraphicsContextScope(GraphicsContext *context) { GraphicsContext::push(context); }

GraphicsContextScope::~GraphicsContextScope() { GraphicsContext::pop(); }

} // namespace platform
