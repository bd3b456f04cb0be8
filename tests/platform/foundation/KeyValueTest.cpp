#include "platform/foundation/KeyValue.h"
#include "platform/foundation/KeyValueBinding.h"
#include "platform/foundation/Log.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QObject>

#include <memory>

using namespace platform;

namespace {

// A page filter in small: a derived count that depends on stored ones, and texts derived in two steps from one flag.
class SplitFilter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int pageCount MEMBER m_pageCount NOTIFY pageCountChanged)
    Q_PROPERTY(int splitPages MEMBER m_splitPages NOTIFY splitPagesChanged)
    Q_PROPERTY(int splitBooklets READ splitBooklets)
    Q_PROPERTY(double zoom MEMBER m_zoom NOTIFY zoomChanged)
    Q_PROPERTY(int version READ version CONSTANT)
    Q_PROPERTY(QObject *input MEMBER m_input)
    Q_PROPERTY(bool rotateBacksides MEMBER m_rotate NOTIFY rotateBacksidesChanged)
    Q_PROPERTY(QString correctSidedBinding READ correctSidedBinding)
    Q_PROPERTY(QString bindingTitle READ bindingTitle)
    Q_CLASSINFO("dependsOn:splitBooklets", "splitPages,pageCount")
    Q_CLASSINFO("dependsOn:correctSidedBinding", "rotateBacksides")
    Q_CLASSINFO("dependsOn:bindingTitle", "correctSidedBinding")

public:
    int splitBooklets() const { return m_splitPages > 0 ? (m_pageCount + m_splitPages - 1) / m_splitPages : 1; }
    // The generated setters stay quiet for an unchanged value; the one of zoom hands the new value to the signal.
    void setSplitPages(int pages) { setProperty("splitPages", pages); }
    void setZoom(double zoom) { setProperty("zoom", zoom); }
    int version() const { return 3; }
    QString correctSidedBinding() const { return m_rotate ? "long" : "short"; }
    QString bindingTitle() const { return "Bind at the " + correctSidedBinding() + " side"; }

    int m_pageCount = 24;
    int m_splitPages = 0;
    double m_zoom = 1.0;
    QObject *m_input = nullptr;
    bool m_rotate = false;

signals:
    void pageCountChanged();
    void splitPagesChanged();
    void zoomChanged(double zoom);
    void rotateBacksidesChanged();
};

// A class that answers some keys itself and does extra work around assignments.
class Settings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double zoom MEMBER m_zoom NOTIFY zoomChanged)

public:
    Q_INVOKABLE QVariant valueForKey(const QString &key)
    {
        if (key.startsWith("extra."))
            return m_extra.value(key.mid(6));
        return KeyValue::propertyValue(this, key);
    }
    Q_INVOKABLE bool setValueForKey(const QString &key, const QVariant &value)
    {
        ++assignments;
        if (key.startsWith("extra.")) {
            m_extra.insert(key.mid(6), value);
            emit keyValueChanged(key);
            return true;
        }
        return KeyValue::setPropertyValue(this, key, value);
    }

    double m_zoom = 1.0;
    QVariantMap m_extra;
    int assignments = 0;

signals:
    void zoomChanged();
    void keyValueChanged(const QString &key);
};

} // namespace

TEST(KeyValue, ReadsAndWritesPropertiesAndPathsAndGoesThroughAClassesOwnHooks)
{
    SplitFilter filter, inner;
    filter.m_input = &inner;
    EXPECT_TRUE(KeyValue::setValue(&filter, "input.zoom", 3.5));
    EXPECT_EQ(inner.m_zoom, 3.5);
    EXPECT_EQ(KeyValue::valueForKey(&filter, "input.zoom"), QVariant(3.5));

    // A class's own hooks receive the whole path and fall back to its properties.
    Settings settings;
    EXPECT_TRUE(KeyValue::setValue(&settings, "zoom", 2.0));
    EXPECT_TRUE(KeyValue::setValue(&settings, "extra.inputRadius", 4));
    EXPECT_EQ(settings.assignments, 2);
    EXPECT_EQ(settings.m_zoom, 2.0);
    EXPECT_EQ(KeyValue::valueForKey(&settings, "extra.inputRadius"), QVariant(4));
}

TEST(KeyValue, RefusalsAreWarningsNeverCrashes)
{
    SplitFilter filter;
    LogCapture log;
    EXPECT_FALSE(KeyValue::valueForKey(&filter, "noSuchKey").isValid());
    EXPECT_FALSE(KeyValue::setValue(&filter, "noSuchKey", 1));
    EXPECT_FALSE(KeyValue::setValue(&filter, "version", 4));
    EXPECT_FALSE(KeyValue::setValue(&filter, "splitPages", QVariantMap{{"a", 1}}));
    EXPECT_FALSE(KeyValue::setValue(nullptr, "zoom", 1));
    EXPECT_FALSE(KeyValue::valueForKey(&filter, "input.zoom").isValid()) << "input is null";
    EXPECT_FALSE(KeyValue::observe(&filter, "version", [](const QVariant &) {}).isConnected());
    EXPECT_FALSE(KeyValue::announceChange(&filter, "version"));
    EXPECT_EQ(log.lines(), (QStringList{
                               "Warning: Key \"noSuchKey\" is unknown to SplitFilter",
                               "Warning: Key \"noSuchKey\" is unknown to SplitFilter",
                               "Warning: Key \"version\" of SplitFilter is read-only",
                               "Warning: Key \"splitPages\" of SplitFilter does not take a value of type QVariantMap",
                               "Warning: Value for key \"zoom\" set on no object",
                               "Warning: Key \"input\" of SplitFilter does not lead to an object",
                               "Warning: Key \"version\" of SplitFilter cannot be observed",
                               "Warning: Change of key \"version\" of SplitFilter cannot be announced",
                           }));
}

TEST(KeyValue, ObservationsLastUntilDisconnectedOrTheObjectOrContextGoes)
{
    SplitFilter filter;
    QVariantList seen;
    KeyValueObservation observation = KeyValue::observe(&filter, "zoom", [&](const QVariant &value) { seen << value; });
    filter.setZoom(2.0);
    observation.disconnect();
    filter.setZoom(4.0);
    EXPECT_EQ(seen, QVariantList{2.0});

    auto gone = std::make_unique<SplitFilter>();
    KeyValueObservation ofGone = KeyValue::observe(gone.get(), "splitPages", [](const QVariant &) {});
    gone.reset();
    EXPECT_FALSE(ofGone.isConnected());
    ofGone.disconnect();

    int calls = 0;
    auto context = std::make_unique<QObject>();
    KeyValueObservation inContext = KeyValue::observe(&filter, "splitPages", context.get(), [&](const QVariant &) { ++calls; });
    KeyValueObservation once;
    once = KeyValue::observe(&filter, "splitPages", [&](const QVariant &) {
        ++calls;
        once.disconnect(); // while it is called
    });
    filter.setSplitPages(4);
    context.reset();
    filter.setSplitPages(8);
    EXPECT_EQ(calls, 2);
}

TEST(KeyValue, DerivedAndAnnouncedChangesReachObservers)
{
    SplitFilter filter;
    filter.setSplitPages(8);
    QVariantList booklets;
    auto observation = KeyValue::observe(&filter, "splitBooklets", [&](const QVariant &v) { booklets << v; });
    filter.setSplitPages(12);       // 24 pages in 12s: 2 booklets
    filter.m_pageCount = 25;
    emit filter.pageCountChanged(); // 25 pages in 12s: 3 booklets
    filter.setZoom(2.0);            // unrelated
    EXPECT_EQ(booklets, (QVariantList{2, 3}));

    // Changes made behind the setters' backs reach observers when announced.
    Settings settings;
    QVariantList seen;
    auto pages = KeyValue::observe(&filter, "splitPages", [&](const QVariant &v) { seen << v; });
    auto zoom = KeyValue::observe(&filter, "zoom", [&](const QVariant &v) { seen << v; });
    auto extra = KeyValue::observe(&settings, "extra.radius", [&](const QVariant &v) { seen << v; });
    filter.m_splitPages = 16;
    filter.m_zoom = 1.5;
    settings.m_extra.insert("radius", 7);
    EXPECT_TRUE(KeyValue::announceChange(&filter, "splitPages"));
    EXPECT_TRUE(KeyValue::announceChange(&filter, "zoom")); // its signal carries the value
    EXPECT_TRUE(KeyValue::announceChange(&settings, "extra.radius"));
    EXPECT_EQ(seen, (QVariantList{16, 1.5, 7}));
}

TEST(KeyValue, BoundKeyTakesTheSourceValueAndFollowsItsLatestSource)
{
    SplitFilter source, other, target;
    source.setSplitPages(8);
    ASSERT_TRUE(KeyValue::bind(&target, "splitPages", &source, "splitPages"));
    EXPECT_EQ(target.m_splitPages, 8) << "initial value applied";
    source.setSplitPages(12);
    EXPECT_EQ(target.m_splitPages, 12);
    EXPECT_TRUE(KeyValue::unbind(&target, "splitPages"));
    source.setSplitPages(16);
    EXPECT_EQ(target.m_splitPages, 12);
    EXPECT_FALSE(KeyValue::unbind(&target, "splitPages"));

    // Binding again replaces the earlier binding of that key.
    KeyValue::bind(&target, "zoom", &source, "zoom");
    KeyValue::bind(&target, "zoom", &other, "zoom");
    other.setZoom(6.0);
    source.setZoom(5.0);
    EXPECT_EQ(target.m_zoom, 6.0) << "the first source no longer drives the key";

    // A source key derived in two steps, into a target's own hooks.
    Settings settings;
    KeyValue::bind(&settings, "extra.title", &source, "bindingTitle");
    KeyValue::setValue(&source, "rotateBacksides", true);
    EXPECT_EQ(settings.m_extra.value("title"), QVariant("Bind at the long side"));

    LogCapture log;
    EXPECT_FALSE(KeyValue::bind(&target, "splitPages", &source, "version"));
    EXPECT_EQ(KeyValue::binding(&target, "splitPages"), nullptr);
    EXPECT_FALSE(KeyValue::bind(&target, "splitPages", nullptr, "zoom"));
    EXPECT_EQ(log.lines().size(), 2);
}

TEST(KeyValue, BindingsSettleBothWaysAndSurviveTheirEnds)
{
    SplitFilter a, b;
    KeyValue::bind(&b, "zoom", &a, "zoom");
    KeyValue::bind(&a, "zoom", &b, "zoom");
    a.setZoom(4.0);
    EXPECT_EQ(b.m_zoom, 4.0);
    b.setZoom(5.0);
    EXPECT_EQ(a.m_zoom, 5.0);

    auto source = std::make_unique<SplitFilter>();
    auto target = std::make_unique<SplitFilter>();
    KeyValue::bind(target.get(), "zoom", source.get(), "zoom");
    target.reset();
    source->setZoom(2.0); // nothing left to update
    KeyValue::bind(&a, "zoom", source.get(), "zoom");
    source.reset();
    const KeyValueBinding *orphaned = KeyValue::binding(&a, "zoom");
    ASSERT_NE(orphaned, nullptr);
    EXPECT_EQ(orphaned->source(), nullptr);

    // A target may unbind itself while it is updated.
    SplitFilter from, to;
    auto observation = KeyValue::observe(&to, "zoom", [&](const QVariant &) { KeyValue::unbind(&to, "zoom"); });
    KeyValue::bind(&to, "zoom", &from, "zoom");
    from.setZoom(2.0);
    from.setZoom(3.0);
    EXPECT_EQ(to.m_zoom, 2.0);
    EXPECT_EQ(KeyValue::binding(&to, "zoom"), nullptr);
}

// A control bound both ways to one model and then to another writes its edits to the second only.
TEST(KeyValue, ATwoWayBindingWritesBackOnlyWhileItLasts)
{
    SplitFilter first, second, control;
    first.setZoom(2.0);
    ASSERT_TRUE(KeyValue::bind(&control, "zoom", &first, "zoom", KeyValue::BindingDirection::TwoWay));
    control.setZoom(3.0);
    EXPECT_EQ(first.m_zoom, 3.0);
    ASSERT_TRUE(KeyValue::bind(&control, "zoom", &second, "zoom", KeyValue::BindingDirection::TwoWay));
    EXPECT_EQ(control.m_zoom, 1.0) << "shows the new model";
    control.setZoom(4.0);
    EXPECT_EQ(second.m_zoom, 4.0);
    EXPECT_EQ(first.m_zoom, 3.0) << "the earlier model hears nothing more";
    KeyValue::unbind(&control, "zoom");
    control.setZoom(5.0);
    EXPECT_EQ(second.m_zoom, 4.0);
}

#include "KeyValueTest.moc"
