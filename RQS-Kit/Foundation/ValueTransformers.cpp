#include "RQS-Kit/Foundation/ValueTransformers.h"

#include "RQS-Kit/Foundation/QSNegateValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNil1NumberValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilInftyValueTransformer.h"
#include "RQS-Kit/Foundation/QSNonNilNumberValueTransformer.h"
#include "RQS-Kit/Foundation/QSTimeValueTransformer.h"

namespace rqs {

namespace {
template<typename Transformer>
void registerByClassName(const char *className)
{
    platform::ValueTransformer::registerTransformer(QString::fromLatin1(className),
                                                    [] { return std::make_shared<Transformer>(); });
}
} // namespace

void registerValueTransformers()
{
    registerByClassName<QSTimeValueTransformer>("QSTimeValueTransformer");
    registerByClassName<QSNonNilNumberValueTransformer>("QSNonNilNumberValueTransformer");
    registerByClassName<QSNonNil1NumberValueTransformer>("QSNonNil1NumberValueTransformer");
    registerByClassName<QSNonNilInftyValueTransformer>("QSNonNilInftyValueTransformer");
    registerByClassName<QSNegateValueTransformer>("QSNegateValueTransformer");
}

} // namespace rqs
