#pragma once

namespace platform {

class GraphicsContext;

// Makes a context the current one of this thread for as long as the scope lives.
class GraphicsContextScope
{
public:
    explicit GraphicsContextScope(GraphicsContext *context);
    ~GraphicsContextScope();
    GraphicsContextScope(const GraphicsContextScope &) = delete;
    GraphicsContextScope &operator=(const GraphicsContextScope &) = delete;
};

} // namespace platform
