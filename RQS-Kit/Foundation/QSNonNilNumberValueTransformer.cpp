#include "RQS-Kit/Foundation/QSNonNilNumberValueTransformer.h"

#include "platform/foundation/DoubleValue.h"

int QSNonNilNumberValueTransformer::transformedValueClass() const { return QMetaType::Double; }

bool QSNonNilNumberValueTransformer::allowsReverseTransformation() const { return true; }

QVariant QSNonNilNumberValueTransformer::transformedValue(const QVariant &value) const
{
    return platform::doubleValue(value);
}

QVariant QSNonNilNumberValueTransformer::reverseTransformedValue(const QVariant &value) const
{
    return transformedValue(value);
}
