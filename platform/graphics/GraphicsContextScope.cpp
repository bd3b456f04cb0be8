#include "platform/graphics/GraphicsContextScope.h"

#include "platform/graphics/GraphicsContext.h"

namespace platform {

GraphicsContextScope::GraphicsContextScope(GraphicsContext *context) { GraphicsContext::push(context); }

GraphicsContextScope::~GraphicsContextScope() { GraphicsContext::pop(); }

} // namespace platform
