#include "RQS-Kit/Effects/PixelwiseKernel.h"

#include "RQS-Kit/Effects/QSFilter.h"
#include "platform/foundation/Log.h"

namespace rqs {

using namespace platform::fx;

Image applyPixelwise(const std::optional<Kernel> &kernel, const Image &input, std::vector<Argument> furtherArguments,
                     std::function<QRectF(int argument, const QRectF &rect)> furtherRegion)
{
    if (!kernel) {
        platform::logError(QStringLiteral("A colour filter has no kernel"));
        return {};
    }
    std::vector<Argument> arguments{Sampler{input, Wrap::Transparent, Filtering::Nearest}};
    arguments.insert(arguments.end(), furtherArguments.begin(), furtherArguments.end());
    ApplyOptions options{QSFilter::arrayForRect(input.extent()),
                         [furtherRegion](int argument, const QRectF &rect) {
                             return argument == 0 || !furtherRegion ? rect : furtherRegion(argument, rect);
                         }};
    return kernel->apply(options, std::move(arguments));
}

} // namespace rqs
