#include "RQS-Kit/Foundation/ObjectExtension.h"

#include "platform/KeyValue.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QPointer>

namespace {

// A style kit: class operations that answer colours by name.
class TestStyleKit : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit TestStyleKit(QObject *parent = nullptr)
        : QObject(parent)
    {
    }
    Q_INVOKABLE static QColor paperColor() { return QColor(250, 248, 240); }
    Q_INVOKABLE static QColor shadeOf(double white) { return QColor::fromRgbF(white, white, white); }
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

TEST(ObjectExtension, DelayedChangeTellsObserversOnALaterTurn)
{
    Counter counter;
    QList<QVariant> heard;
    const platform::KeyValueObservation observation =
        platform::KeyValue::observe(&counter, QStringLiteral("count"), [&](const QVariant &value) { heard.append(value); });
    counter.add(5);

    rqs::delayedChangeValueForKey(&counter, QStringLiteral("count"));
    EXPECT_TRUE(heard.isEmpty());
    QCoreApplication::processEvents();

    EXPECT_EQ(heard, QList<QVariant>{5});
}

TEST(ObjectExtension, DelayedChangeOfAnObjectThatIsGoneDoesNothing)
{
    auto *counter = new Counter;
    platform::LogCapture log;

    rqs::delayedChangeValueForKey(counter, QStringLiteral("count"));
    delete counter;
    QCoreApplication::processEvents();

    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(ObjectExtension, FindsMethodsByNameMostDerivedFirst)
{
    DerivedCounter counter;

    EXPECT_EQ(rqs::siganturForName(&counter, QStringLiteral("add")).methodSignature(), QByteArray("add(int,int)"));
    EXPECT_EQ(rqs::siganturForName(&counter, QStringLiteral("deleteLater")).methodSignature(), QByteArray("deleteLater()"));
}

TEST(ObjectExtension, UnknownMethodsAreWarningsNotCrashes)
{
    Counter counter;
    platform::LogCapture log;

    EXPECT_FALSE(rqs::siganturForName(&counter, QStringLiteral("subtract")).isValid());
    EXPECT_FALSE(rqs::siganturForName(nullptr, QStringLiteral("add")).isValid());
    const platform::Invocation missing = rqs::invocationForSignatur(TestStyleKit::staticMetaObject, QStringLiteral("inkColor"));
    EXPECT_FALSE(missing.isValid());
    EXPECT_FALSE(missing.invoke().has_value());

    EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("Warning: Counter has no operation subtract"),
                                        QStringLiteral("Warning: No object to look up the operation add in"),
                                        QStringLiteral("Warning: TestStyleKit has no operation inkColor"),
                                        QStringLiteral("Warning: An invocation without target or method cannot run")}));
}

TEST(ObjectExtension, InvokesClassOperationsOfAClass)
{
    const platform::Invocation paper = rqs::invocationForSignatur(TestStyleKit::staticMetaObject, QStringLiteral("paperColor"));
    ASSERT_TRUE(paper.isValid());
    EXPECT_EQ(paper.invoke(), QVariant(QColor(250, 248, 240)));

    const platform::Invocation shade = rqs::invocationForSignatur(TestStyleKit::staticMetaObject, QStringLiteral("shadeOf"));
    EXPECT_EQ(shade.invoke({0.5}), QVariant(QColor::fromRgbF(0.5, 0.5, 0.5)));
}

TEST(ObjectExtension, FindsClassesByRegisteredName)
{
    qRegisterMetaType<TestStyleKit *>();
    platform::LogCapture log;

    const platform::Invocation paper = rqs::invocationForSignatur(QStringLiteral("TestStyleKit"), QStringLiteral("paperColor"));
    EXPECT_EQ(paper.invoke(), QVariant(QColor(250, 248, 240)));

    EXPECT_FALSE(rqs::invocationForSignatur(QStringLiteral("NoSuchStyleKit"), QStringLiteral("paperColor")).isValid());
    EXPECT_FALSE(rqs::invocationForSignatur(QString(), QStringLiteral("paperColor")).isValid());
    EXPECT_FALSE(rqs::invocationForSignatur(MadeOnlyByCode::staticMetaObject, QStringLiteral("answer")).isValid());

    EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("Warning: There is no class NoSuchStyleKit to call paperColor on"),
                                        QStringLiteral("Warning: There is no class  to call paperColor on"),
                                        QStringLiteral("Warning: MadeOnlyByCode cannot be made to call answer")}));
}

#include "ObjectExtensionTest.moc"
