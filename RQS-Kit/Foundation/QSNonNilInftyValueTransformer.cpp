#include "RQS-Kit/Foundation/QSNonNilInftyValueTransformer.h"

#include "platform/foundation/DoubleValue.h"

int QSNonNilInftyValueTransformer::transformedValueClass() const { return QMetaType::QString; }

bool QSNonNilInftyValueTransformer::allowsReverseTransformation() const { return true; }

QVariant QSNonNilInftyValueTransformer::transformedValue(const QVariant &value) const
{
    if (value.isNull())
        return 1;
    const double number = platform::doubleValue(value);
    if (!(number > 0))
        return QStringLiteral("");
    return number;
}

QVariant QSNonNilInftyValueTransformer::reverseTransformedValue(const QVariant &value) const
{
    if (value.isNull())
        return 0;
    return platform::doubleValue(value);
}
