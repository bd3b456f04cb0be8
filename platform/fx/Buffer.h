#pragma once

#include <QRect>

#include <vector>

namespace platform::fx {

// One pixel of the working format: float RGBA, colour premultiplied by alpha, never clamped
// between steps.
struct Pixel
{
    float r = 0, g = 0, b = 0, a = 0;

    Pixel operator+(const Pixel &o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    Pixel operator*(float k) const { return {r * k, g * k, b * k, a * k}; }
    bool operator==(const Pixel &) const = default;
};

// Rendered pixels of a rectangle of the y-up pixel grid: row 0 is the row at rect.y(), pixel
// (x, y) covers [x, x + 1) × [y, y + 1).
class Buffer
{
public:
    Buffer() = default;
    // Transparent pixels.
    explicit Buffer(const QRect &rect);

    const QRect &rect() const { return m_rect; }
    bool isEmpty() const { return m_rect.isEmpty(); }

    // Indexed by x itself: row(y)[rect.x()] is the first pixel.
    Pixel *row(int y) { return m_pixels.data() + rowOffset(y); }
    const Pixel *row(int y) const { return m_pixels.data() + rowOffset(y); }
    // Transparent outside the rectangle.
    Pixel at(int x, int y) const { return m_rect.contains(x, y) ? row(y)[x] : Pixel{}; }

private:
    // Leaves new pixels as they are: the constructor clears them on every core at once, which
    // also spreads the first touch of fresh pages over the cores.
    template <typename T>
    struct Uncleared : std::allocator<T>
    {
        template <typename U>
        struct rebind
        {
            using other = Uncleared<U>;
        };
        template <typename U>
        void construct(U *)
        {
        }
    };

    std::ptrdiff_t rowOffset(int y) const { return std::ptrdiff_t(y - m_rect.y()) * m_rect.width() - m_rect.x(); }

    QRect m_rect;
    std::vector<Pixel, Uncleared<Pixel>> m_pixels;
};

} // namespace platform::fx
