#pragma once

#include "platform/fx/Image.h"

#include <QMap>
#include <QPointF>

#include <functional>
#include <optional>
#include <variant>

namespace platform::fx {

enum class Wrap { Transparent, Clamp };
enum class Filtering { Linear, Nearest };

// An image as a kernel reads it. Linear sampling mixes the four pixels nearest to p − 0.5;
// nearest takes the pixel that holds p. Beyond the image's extent a transparent sampler reads
// transparent pixels, a clamped one the nearest edge pixel.
struct Sampler
{
    Image image;
    Wrap wrap = Wrap::Transparent;
    Filtering filtering = Filtering::Linear;
};

using Argument = std::variant<Sampler, double, Vector, Color>;

// What a kernel body sees for one output pixel. Arguments are addressed by their position in the
// list given to Kernel::apply; asking for one of another type answers zero or transparent.
class KernelInvocation
{
public:
    // The output pixel's centre, y-up.
    QPointF destCoord() const { return m_dest; }
    Pixel sample(int argument, QPointF point) const;
    QRectF samplerExtent(int argument) const;
    double number(int argument) const;
    Vector vector(int argument) const;
    Color color(int argument) const;

private:
    friend class KernelNode;
    struct Source
    {
        const Buffer *pixels = nullptr;
        QRect edge;
        const Sampler *sampler = nullptr;
    };
    QPointF m_dest;
    const std::vector<Argument> *m_arguments = nullptr;
    std::vector<Source> m_sources;
};

using KernelBody = std::function<Pixel(const KernelInvocation &)>;

struct ApplyOptions
{
    // The output's extent.
    QRectF extent;
    // The part of sampler argument i that a rectangle of the output reads; without one, the
    // output rectangle grown by one pixel for linear sampling.
    std::function<QRectF(int argument, const QRectF &rect)> regionOfInterest;
};

// A per-pixel body that runs in row bands across threads.
class Kernel
{
public:
    Kernel(QString name, KernelBody body);
    const QString &name() const { return m_name; }
    // Null, with a "Warning: " line, when a sampler's image is null.
    Image apply(const ApplyOptions &options, std::vector<Argument> arguments) const;

private:
    QString m_name;
    KernelBody m_body;
};

// Kernels by class name and kernel name, standing in for a filter class's kernel source. Filled
// once per class, usually from the class's registration; safe from any thread.
class KernelLibrary
{
public:
    static void add(const QString &className, const Kernel &kernel);
    // Empty when the class has none.
    static QMap<QString, Kernel> kernelsOf(const QString &className);
    static std::optional<Kernel> find(const QString &className, const QString &kernelName);
};

} // namespace platform::fx
