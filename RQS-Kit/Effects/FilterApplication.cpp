#include "RQS-Kit/Effects/FilterApplication.h"

#include "platform/foundation/KeyValue.h"
#include "platform/fx/FilterRegistry.h"

namespace rqs {

platform::fx::Image applyFilter(const QString &name, const QVariantMap &inputs)
{
    const std::unique_ptr<platform::fx::Filter> filter = platform::fx::FilterRegistry::create(name);
    if (!filter)
        return {};
    filter->setDefaults();
    for (auto input = inputs.constBegin(); input != inputs.constEnd(); ++input) {
        if (!platform::KeyValue::setValue(filter.get(), input.key(), input.value()))
            return {};
    }
    return filter->outputImage();
}

} // namespace rqs
