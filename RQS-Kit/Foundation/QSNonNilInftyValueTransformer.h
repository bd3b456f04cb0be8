#pragma once

#include "platform/foundation/ValueTransformer.h"

// For a limit where 0 or less means "no limit": such values show as an empty field and a missing
// value as 1; an empty or missing field reads back as 0.
class QSNonNilInftyValueTransformer : public platform::ValueTransformer
{
public:
    int transformedValueClass() const override;
    bool allowsReverseTransformation() const override;
    QVariant transformedValue(const QVariant &value) const override;
    QVariant reverseTransformedValue(const QVariant &value) const override;
};
