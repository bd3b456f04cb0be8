#include "platform/foundation/ValueTransformer.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

using platform::ValueTransformer;

namespace {

class Multiplier : public ValueTransformer
{
public:
    explicit Multiplier(int factor) : m_factor(factor) {}
    int transformedValueClass() const override { return QMetaType::Int; }
    bool allowsReverseTransformation() const override { return false; }
    QVariant transformedValue(const QVariant &value) const override { return value.toInt() * m_factor; }
    QVariant reverseTransformedValue(const QVariant &value) const override { return value; }

private:
    int m_factor;
};

} // namespace

TEST(ValueTransformer, NamesFindOneSharedTransformerUntilRegisteredAgain)
{
    int made = 0;
    ValueTransformer::registerTransformer("TestMultiplier", [&made] {
        ++made;
        return std::make_shared<Multiplier>(2);
    });
    const platform::ValueTransformerPtr first = ValueTransformer::valueTransformerForName("TestMultiplier");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->transformedValue(21).toInt(), 42);
    EXPECT_EQ(ValueTransformer::valueTransformerForName("TestMultiplier"), first);
    EXPECT_EQ(made, 1);

    ValueTransformer::registerTransformer("TestMultiplier", [] { return std::make_shared<Multiplier>(3); });
    EXPECT_EQ(ValueTransformer::valueTransformerForName("TestMultiplier")->transformedValue(5).toInt(), 15);
}

TEST(ValueTransformer, UnknownNamesAndEmptyFactoriesAreRefused)
{
    platform::LogCapture capture;
    EXPECT_EQ(ValueTransformer::valueTransformerForName("NoSuchTransformer"), nullptr);
    ValueTransformer::registerTransformer("TestEmpty", {});
    EXPECT_EQ(ValueTransformer::valueTransformerForName("TestEmpty"), nullptr);
    EXPECT_EQ(capture.lines(),
              (QStringList{"Warning: No value transformer is registered under the name \"NoSuchTransformer\"",
                           "Warning: No factory given for the value transformer \"TestEmpty\"",
                           "Warning: No value transformer is registered under the name \"TestEmpty\""}));
}
