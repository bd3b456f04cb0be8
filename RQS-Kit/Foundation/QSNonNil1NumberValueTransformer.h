#pragma once

#include "platform/foundation/ValueTransformer.h"

// Stands in 1 for a missing number, both ways.
class QSNonNil1NumberValueTransformer : public platform::ValueTransformer
{
public:
    int transformedValueClass() const override;
    bool allowsReverseTransformation() const override;
    QVariant transformedValue(const QVariant &value) const override;
    QVariant reverseTransformedValue(const QVariant &value) const override;
};
