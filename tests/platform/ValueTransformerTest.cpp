#include "platform/ValueTransformer.h"

#include "platform/Log.h"

#include <gtest/gtest.h>

namespace {

class Doubler : public platform::ValueTransformer
{
public:
    explicit Doubler(int factor = 2) : m_factor(factor) {}
    int transformedValueClass() const override { return QMetaType::Int; }
    bool allowsReverseTransformation() const override { return false; }
    QVariant transformedValue(const QVariant &value) const override { return value.toInt() * m_factor; }
    QVariant reverseTransformedValue(const QVariant &value) const override { return value; }

private:
    int m_factor;
};

} // namespace

TEST(ValueTransformer, FindsARegisteredTransformerByName)
{
    int made = 0;
    platform::ValueTransformer::registerTransformer(QStringLiteral("TestDoubler"), [&made] {
        ++made;
        return std::make_shared<Doubler>();
    });
    const platform::ValueTransformerPtr first = platform::ValueTransformer::valueTransformerForName(QStringLiteral("TestDoubler"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->transformedValue(21).toInt(), 42);
    EXPECT_EQ(platform::ValueTransformer::valueTransformerForName(QStringLiteral("TestDoubler")), first);
    EXPECT_EQ(made, 1);
}

TEST(ValueTransformer, UnknownNameGivesNullAndAWarning)
{
    platform::LogCapture capture;
    EXPECT_EQ(platform::ValueTransformer::valueTransformerForName(QStringLiteral("NoSuchTransformer")), nullptr);
    EXPECT_EQ(capture.lines(),
              QStringList{QStringLiteral("Warning: No value transformer is registered under the name \"NoSuchTransformer\"")});
}

TEST(ValueTransformer, RegisteringANameAgainReplacesItsTransformer)
{
    platform::ValueTransformer::registerTransformer(QStringLiteral("TestReplaced"), [] { return std::make_shared<Doubler>(2); });
    EXPECT_EQ(platform::ValueTransformer::valueTransformerForName(QStringLiteral("TestReplaced"))->transformedValue(5).toInt(), 10);
    platform::ValueTransformer::registerTransformer(QStringLiteral("TestReplaced"), [] { return std::make_shared<Doubler>(3); });
    EXPECT_EQ(platform::ValueTransformer::valueTransformerForName(QStringLiteral("TestReplaced"))->transformedValue(5).toInt(), 15);
}

TEST(ValueTransformer, EmptyFactoryIsRefused)
{
    platform::LogCapture capture;
    platform::ValueTransformer::registerTransformer(QStringLiteral("TestEmpty"), {});
    EXPECT_TRUE(capture.contains(QStringLiteral("Warning: No factory given for the value transformer \"TestEmpty\"")));
    EXPECT_EQ(platform::ValueTransformer::valueTransformerForName(QStringLiteral("TestEmpty")), nullptr);
}
