#include "platform/fx/Kernel.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Bilinear.h"
#include "platform/fx/Extent.h"
#include "platform/fx/Parallel.h"

#include <QHash>
#include <QMutex>

#include <cmath>

namespace platform::fx {

class KernelNode : public Node
{
public:
    KernelNode(const KernelBody &body, const ApplyOptions &options, std::vector<Argument> arguments,
               std::vector<Input> inputs, std::vector<int> samplerArguments)
        : Node(options.extent, std::move(inputs))
        , m_body(body)
        , m_roi(options.regionOfInterest)
        , m_arguments(std::move(arguments))
        , m_samplerArguments(std::move(samplerArguments))
    {
    }

    QString kind() const override { return QStringLiteral("kernel"); }

    QRect regionOfInterest(std::size_t input, const QRect &rect) const override
    {
        if (rect.isEmpty())
            return {};
        const int argument = m_samplerArguments[input];
        const QRect wanted = m_roi ? Extent::pixelsTouching(m_roi(argument, QRectF(rect))) : rect.adjusted(-1, -1, 1, 1);
        const Sampler &sampler = std::get<Sampler>(m_arguments[std::size_t(argument)]);
        // A clamped sampler reads edge pixels for points beyond the extent.
        if (sampler.wrap == Wrap::Clamp)
            return Extent::clampedInto(wanted, Extent::pixelsTouching(inputs()[input]->extent()));
        return wanted;
    }

    void evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const override
    {
        const QRect &rect = out.rect();
        forEachBand(rect.height(), [&](int begin, int end) {
            KernelInvocation invocation;
            invocation.m_arguments = &m_arguments;
            invocation.m_sources.resize(m_arguments.size());
            for (std::size_t i = 0; i < m_samplerArguments.size(); ++i) {
                const auto argument = std::size_t(m_samplerArguments[i]);
                invocation.m_sources[argument] = {inputs[i], Extent::pixelsTouching(this->inputs()[i]->extent()),
                                                  &std::get<Sampler>(m_arguments[argument])};
            }
            for (int y = rect.top() + begin; y < rect.top() + end; ++y) {
                Pixel *row = out.row(y);
                for (int x = rect.left(); x <= rect.right(); ++x) {
                    invocation.m_dest = QPointF(x + 0.5, y + 0.5);
                    row[x] = m_body(invocation);
                }
            }
        });
    }

private:
    KernelBody m_body;
    std::function<QRectF(int, const QRectF &)> m_roi;
    std::vector<Argument> m_arguments;
    std::vector<int> m_samplerArguments;
};

Pixel KernelInvocation::sample(int argument, QPointF point) const
{
    if (argument < 0 || std::size_t(argument) >= m_sources.size() || !m_sources[std::size_t(argument)].pixels)
        return {};
    const Source &source = m_sources[std::size_t(argument)];
    auto pixel = [&](int x, int y) {
        if (source.sampler->wrap == Wrap::Clamp && !source.edge.isEmpty()) {
            x = std::clamp(x, source.edge.left(), source.edge.right());
            y = std::clamp(y, source.edge.top(), source.edge.bottom());
        }
        return source.pixels->at(x, y);
    };
    if (source.sampler->filtering == Filtering::Linear)
        return bilinear(point - QPointF(0.5, 0.5), pixel);
    if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
        return {};
    return pixel(Numbers::toInt(std::floor(point.x())), Numbers::toInt(std::floor(point.y())));
}

QRectF KernelInvocation::samplerExtent(int argument) const
{
    if (argument < 0 || std::size_t(argument) >= m_sources.size() || !m_sources[std::size_t(argument)].sampler)
        return {};
    return m_sources[std::size_t(argument)].sampler->image.extent();
}

double KernelInvocation::number(int argument) const
{
    const auto *value = std::get_if<double>(&(*m_arguments)[std::size_t(argument)]);
    return value ? *value : 0.0;
}

Vector KernelInvocation::vector(int argument) const
{
    const auto *value = std::get_if<Vector>(&(*m_arguments)[std::size_t(argument)]);
    return value ? *value : Vector{};
}

Color KernelInvocation::color(int argument) const
{
    const auto *value = std::get_if<Color>(&(*m_arguments)[std::size_t(argument)]);
    return value ? *value : Color{0, 0, 0, 0};
}

Kernel::Kernel(QString name, KernelBody body)
    : m_name(std::move(name))
    , m_body(std::move(body))
{
}

Image Kernel::apply(const ApplyOptions &options, std::vector<Argument> arguments) const
{
    std::vector<Node::Input> inputs;
    std::vector<int> samplerArguments;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (const auto *sampler = std::get_if<Sampler>(&arguments[i])) {
            if (sampler->image.isNull()) {
                logWarning(QStringLiteral("Kernel %1 got a sampler without an image").arg(m_name));
                return {};
            }
            inputs.push_back(sampler->image.node());
            samplerArguments.push_back(int(i));
        }
    }
    return Image(std::make_shared<KernelNode>(m_body, options, std::move(arguments), std::move(inputs),
                                              std::move(samplerArguments)));
}

namespace {

QMutex &libraryLock()
{
    static QMutex lock;
    return lock;
}

QHash<QString, QMap<QString, Kernel>> &library()
{
    static QHash<QString, QMap<QString, Kernel>> kernels;
    return kernels;
}

} // namespace

void KernelLibrary::add(const QString &className, const Kernel &kernel)
{
    const QMutexLocker locker(&libraryLock());
    library()[className].insert(kernel.name(), kernel);
}

QMap<QString, Kernel> KernelLibrary::kernelsOf(const QString &className)
{
    const QMutexLocker locker(&libraryLock());
    return library().value(className);
}

std::optional<Kernel> KernelLibrary::find(const QString &className, const QString &kernelName)
{
    const QMutexLocker locker(&libraryLock());
    const auto kernels = library().constFind(className);
    if (kernels == library().constEnd())
        return std::nullopt;
    const auto kernel = kernels->constFind(kernelName);
    if (kernel == kernels->constEnd())
        return std::nullopt;
    return *kernel;
}

} // namespace platform::fx
