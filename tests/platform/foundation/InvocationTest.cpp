#include "platform/foundation/Invocation.h"

#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QColor>

namespace {

class Calculator : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE static double scaled(double value, int factor) { return value * factor; }
    Q_INVOKABLE QString joined(const QString &a, const QString &b) const { return a + QLatin1Char('/') + b; }
    Q_INVOKABLE QVariant boxed(int value) const { return value > 0 ? QVariant(value) : QVariant(); }
    Q_INVOKABLE void remember(const QColor &color) { remembered = color; }
    QColor remembered;
};

QMetaMethod method(const char *signature)
{
    return Calculator::staticMetaObject.method(Calculator::staticMetaObject.indexOfMethod(signature));
}

} // namespace

TEST(Invocation, CallsWithConvertedArgumentsAndAnswersTheResult)
{
    auto calculator = std::make_shared<Calculator>();

    const struct { const char *signature; QVariantList arguments; QVariant expected; } cases[] = {
        {"scaled(double,int)", {2.5, 4}, 10.0},
        {"scaled(double,int)", {"1.5", "3"}, 4.5},
        {"joined(QString,QString)", {"a", 7}, "a/7"},
        {"boxed(int)", {3}, 3},
        {"boxed(int)", {0}, QVariant()},
    };
    for (const auto &c : cases) {
        const platform::Invocation invocation(calculator, method(c.signature));
        const std::optional<QVariant> result = invocation.invoke(c.arguments);
        ASSERT_TRUE(result.has_value()) << c.signature;
        EXPECT_EQ(*result, c.expected) << c.signature;
    }

    const platform::Invocation remember(calculator, method("remember(QColor)"));
    const std::optional<QVariant> nothing = remember.invoke({QColor(Qt::blue)});
    ASSERT_TRUE(nothing.has_value());
    EXPECT_FALSE(nothing->isValid());
    EXPECT_EQ(calculator->remembered, QColor(Qt::blue));
}

TEST(Invocation, RefusesWhatDoesNotFit)
{
    auto calculator = std::make_shared<Calculator>();
    const platform::Invocation scaled(calculator, method("scaled(double,int)"));
    platform::LogCapture log;

    EXPECT_FALSE(scaled.invoke({1.0}).has_value());
    EXPECT_FALSE(scaled.invoke({QVariant::fromValue(QColor(Qt::red)), 2}).has_value());
    EXPECT_FALSE(platform::Invocation().invoke().has_value());
    EXPECT_FALSE(platform::Invocation(nullptr, method("boxed(int)")).invoke({1}).has_value());

    EXPECT_EQ(log.lines(), (QStringList{"Warning: Calculator::scaled(double,int) takes 2 arguments, not 1",
                                        "Warning: Argument 1 of Calculator::scaled(double,int) cannot be a double",
                                        "Warning: An invocation without target or method cannot run",
                                        "Warning: An invocation without target or method cannot run"}));
}

#include "InvocationTest.moc"
