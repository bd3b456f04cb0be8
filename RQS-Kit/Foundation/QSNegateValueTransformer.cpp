#include "RQS-Kit/Foundation/QSNegateValueTransformer.h"

#include "platform/foundation/DoubleValue.h"

int QSNegateValueTransformer::transformedValueClass() const { return QMetaType::Double; }

bool QSNegateValueTransformer::allowsReverseTransformation() const { return true; }

QVariant QSNegateValueTransformer::transformedValue(const QVariant &value) const
{
    return -platform::doubleValue(value);
}

QVariant QSNegateValueTransformer::reverseTransformedValue(const QVariant &value) const
{
    return transformedValue(value);
}
