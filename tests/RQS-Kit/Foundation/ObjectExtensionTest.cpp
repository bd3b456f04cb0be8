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
    Q_INVOKABLE explicit TestStyleKit(QObject *parent = nullptr) : QObject(parent)
    {
    }
    Q_INVOKABLE static QColor paperColor() { return QColor(250, 248, 240); }
};

class MadeOnlyByCode : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE static int answer() { return 42; }
};

class Counter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    int count() const { return m_count; }
    Q_INVOKABLE void add(int amount) { m_count += amount; }
    int m_count = 0;
signals:
    void countChanged();
};

class DerivedCounter : public Counter
{
    Q_OBJECT
public:
    Q_INVOKABLE void add(int amount, int times) { m_count += amount * times; }
};

} // namespace

TEST(ObjectExtension, DelayedChangeTellsObserversOnALaterTurnIfTheObjectStillLives)
{
    Counter counter;
    QList<QVariant> heard;
    const platform::KeyValueObservation observation =
        platform::KeyValue::observe(&counter, "count", [&](const QVariant &value) { heard.append(value); });
    counter.add(5);
    rqs::delayedChangeValueForKey(&counter, "count");
    EXPECT_TRUE(heard.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(heard, QList<QVariant>{5});

    auto *gone = new Counter;
    platform::LogCapture log;
    rqs::delayedChangeValueForKey(gone, "count");
    delete gone;
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(ObjectExtension, FindsMethodsMostDerivedFirstAndClassOperationsByClassOrRegisteredNameElseWarns)
{
    DerivedCounter counter;
    EXPECT_EQ(rqs::siganturForName(&counter, "add").methodSignature(), QByteArray("add(int,int)"));
    const platform::Invocation paper = rqs::invocationForSignatur(TestStyleKit::staticMetaObject, "paperColor");
    EXPECT_EQ(paper.invoke(), QVariant(QColor(250, 248, 240)));
    qRegisterMetaType<TestStyleKit *>();
    EXPECT_EQ(rqs::invocationForSignatur("TestStyleKit", "paperColor").invoke(), QVariant(QColor(250, 248, 240)));

    // Unknown methods and classes are warnings, not crashes.
    platform::LogCapture log;
    EXPECT_FALSE(rqs::siganturForName(&counter, "subtract").isValid());
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

#include "ObjectExtensionTest.moc"
