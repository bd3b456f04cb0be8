#include "RQS-Kit/Foundation/DictionaryExtension.h"
#include "RQS-Kit/Foundation/ObjectExtension.h"

#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>

namespace {

// A style kit: class operations that answer colours by name.
class TestStyleKit : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE TestStyleKit() {}
    Q_INVOKABLE static QColor paperColor() { return QColor(250, 248, 240); }
};

// A class operation without a constructor that an invocation could call.
class MadeOnlyByCode : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE static int answer() { return 42; }
};

class Counter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int count MEMBER count NOTIFY countChanged)
public:
    Q_INVOKABLE void add(int amount) { count += amount; }
    int count = 0;
signals:
    void countChanged();
};

class DerivedCounter : public Counter
{
    Q_OBJECT
public:
    Q_INVOKABLE void add(int amount, int times) { count += amount * times; }
};

} // namespace

TEST(ObjectExtension, DelayedChangesAndMethodsFoundByName)
{
    Counter counter;
    QList<QVariant> heard;
    const platform::KeyValueObservation observation =
        platform::KeyValue::observe(&counter, "count", [&](const QVariant &value) { heard.append(value); });
    counter.count = 5;
    rqs::delayedChangeValueForKey(&counter, "count");
    EXPECT_TRUE(heard.isEmpty());
    auto *gone = new Counter;
    rqs::delayedChangeValueForKey(gone, "count");
    delete gone;
    QCoreApplication::processEvents();
    EXPECT_EQ(heard, QList<QVariant>{5});

    // Methods are found most derived first, class operations by class or registered name, else with a warning.
    DerivedCounter derived;
    EXPECT_EQ(rqs::siganturForName(&derived, "add").methodSignature(), QByteArray("add(int,int)"));
    qRegisterMetaType<TestStyleKit *>();
    EXPECT_EQ(rqs::invocationForSignatur("TestStyleKit", "paperColor").invoke(), QVariant(QColor(250, 248, 240)));

    platform::LogCapture log;
    EXPECT_FALSE(rqs::siganturForName(&derived, "subtract").isValid());
    EXPECT_FALSE(rqs::siganturForName(nullptr, "add").isValid());
    EXPECT_FALSE(rqs::invocationForSignatur(TestStyleKit::staticMetaObject, "inkColor").isValid());
    EXPECT_FALSE(rqs::invocationForSignatur("NoSuchStyleKit", "paperColor").isValid());
    EXPECT_FALSE(rqs::invocationForSignatur(MadeOnlyByCode::staticMetaObject, "answer").isValid());
    EXPECT_EQ(log.lines(), (QStringList{"Warning: DerivedCounter has no operation subtract",
                                        "Warning: No object to look up the operation add in",
                                        "Warning: TestStyleKit has no operation inkColor",
                                        "Warning: There is no class NoSuchStyleKit to call paperColor on",
                                        "Warning: MadeOnlyByCode cannot be made to call answer"}));
}

TEST(DictionaryExtension, SubsetHoldsOnlyKeysWithValues)
{
    const QVariantMap settings{{"zoom", 1.5}, {"reverseOrder", true}};
    EXPECT_EQ(rqs::dictionaryWidthKeys(settings, {"zoom", "centerX"}), QVariantMap({{"zoom", 1.5}}));
    EXPECT_TRUE(rqs::dictionaryWidthKeys(settings, {"centerX"}).isEmpty());
    EXPECT_TRUE(rqs::dictionaryWidthKeys(settings, {}).isEmpty());
}

#include "ObjectExtensionTest.moc"
