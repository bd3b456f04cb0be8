#pragma once

#include "platform/foundation/ValueTransformer.h"

// Negates a number, both ways.
class QSNegateValueTransformer : public platform::ValueTransformer
{
public:
    int transformedValueClass() const override;
    bool allowsReverseTransformation() const override;
    QVariant transformedValue(const QVariant &value) const override;
    QVariant reverseTransformedValue(const QVariant &value) const override;
};
