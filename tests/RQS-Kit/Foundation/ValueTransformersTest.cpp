#include "RQS-Kit/Foundation/ValueTransformers.h"

#include "platform/foundation/ValueTransformer.h"

#include <gtest/gtest.h>

#include <QLocale>

TEST(ValueTransformers, KitTransformersAreFoundByClassName)
{
    rqs::registerValueTransformers();
    // Each row transforms a sample the way only that class does.
    struct Row { const char *name; QVariant input; QVariant expected; };
    const Row rows[] = {
        {"QSTimeValueTransformer", 0.5, QString(QStringLiteral("00:00:00") + QLocale().decimalPoint() + QStringLiteral("500"))},
        {"QSNonNilNumberValueTransformer", QVariant(), 0.0},
        {"QSNonNil1NumberValueTransformer", QVariant(), 1},
        {"QSNonNilInftyValueTransformer", -1, ""},
        {"QSNegateValueTransformer", 2.5, -2.5},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const platform::ValueTransformerPtr transformer =
            platform::ValueTransformer::valueTransformerForName(QLatin1String(row.name));
        ASSERT_TRUE(transformer);
        const QVariant result = transformer->transformedValue(row.input);
        EXPECT_EQ(result.metaType(), row.expected.metaType());
        EXPECT_EQ(result, row.expected);
    }
}
