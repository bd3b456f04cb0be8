#include "RQS-Kit/Foundation/QSNonNil1NumberValueTransformer.h"

#include "platform/foundation/DoubleValue.h"

int QSNonNil1NumberValueTransformer::transformedValueClass() const { return QMetaType::Double; }

bool QSNonNil1NumberValueTransformer::allowsReverseTransformation() const { return true; }

QVariant QSNonNil1NumberValueTransformer::transformedValue(const QVariant &value) const
{
    if (value.isNull())
        return 1;
    return platform::doubleValue(value);
}

QVariant QSNonNil1NumberValueTransformer::reverseTransformedValue(const QVariant &value) const
{
    return transformedValue(value);
}
