#include "DocumentFixture.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"

#include <QFile>
#include <QFontDialog>
#include <QIntValidator>
#include <QLineEdit>
#include <QXmlStreamReader>

#include <cmath>
#include <limits>

namespace {

struct Bounds
{
    double minimum;
    double maximum;
};

// The range of every field in the window's interface file that is bound to a document setting
// (the split field through the split filter, which the setting follows); a pop-up list's range
// is its entries.
QMap<QString, Bounds> interfaceFileRanges()
{
    QFile file(platform::Bundle::mainBundle()->pathForResource(QStringLiteral("Document"), QStringLiteral("ui")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, Bounds> ranges;
    QXmlStreamReader xml(&file);
    struct Field { QString key; double minimum = 0, maximum = 0; int entries = 0; bool inWidget = false; };
    QList<Field> open;
    QString property;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.name();
        if (xml.isStartElement() && name == QLatin1String("widget")) {
            open.append(Field{});
            open.last().inWidget = true;
        } else if (xml.isStartElement() && name == QLatin1String("property")) {
            property = xml.attributes().value(QLatin1String("name")).toString();
        } else if (xml.isStartElement() && name == QLatin1String("item") && !open.isEmpty()) {
            ++open.last().entries;
        } else if (xml.isCharacters() && !open.isEmpty() && !xml.isWhitespace()) {
            const QString text = xml.text().toString();
            if (property == QLatin1String("minimum"))
                open.last().minimum = text.toDouble();
            else if (property == QLatin1String("maximum"))
                open.last().maximum = text.toDouble();
            else if (property == QLatin1String("bind:value") || property == QLatin1String("bind:currentIndex"))
                open.last().key = text.section('.', -1).replace(QLatin1String("splitPages"), QLatin1String("splitIntoXPage"));
        } else if (xml.isEndElement() && name == QLatin1String("property")) {
            property.clear();
        } else if (xml.isEndElement() && name == QLatin1String("widget") && !open.isEmpty()) {
            const Field field = open.takeLast();
            if (VXBookletSettings::isSettingsKey(field.key))
                ranges.insert(field.key, field.entries > 0 ? Bounds{0, double(field.entries - 1)}
                                                           : Bounds{field.minimum, field.maximum});
        }
    }
    return ranges;
}

// The sizes Qt's font panel, through which the numbers' size is chosen, takes.
Bounds fontPanelSizes()
{
    QFontDialog panel;
    for (const QLineEdit *edit : panel.findChildren<QLineEdit *>()) {
        if (const auto *sizes = qobject_cast<const QIntValidator *>(edit->validator()))
            return {double(sizes->bottom()), double(sizes->top())};
    }
    return {0, 0};
}

enum class Kind { Number, Boolean, Text, PrintSettings };

Kind kindOf(const QString &key, const QVariant &registered)
{
    if (key == QLatin1String("printSettings"))
        return Kind::PrintSettings;
    if (registered.typeId() == QMetaType::Bool)
        return Kind::Boolean;
    if (registered.typeId() == QMetaType::QString)
        return Kind::Text;
    return Kind::Number;
}

struct Hostile
{
    const char *name;
    QVariant value;
};

const QList<Hostile> &hostileValues()
{
    static const QList<Hostile> values{
        {"NaN", std::numeric_limits<double>::quiet_NaN()},
        {"+inf", std::numeric_limits<double>::infinity()},
        {"-inf", -std::numeric_limits<double>::infinity()},
        {"1e300", 1e300},
        {"-1e300", -1e300},
        {"-1", -1},
        {"2^63-1", std::numeric_limits<qint64>::max()},
        {"text", QStringLiteral("twelve")},
        {"list", QVariantList{1, 2}},
    };
    return values;
}

} // namespace

class SettingsRanges : public DocumentTest
{
protected:
    // Each setting as the document holds it, after the value came by the way given.
    void check(const QString &key, const Hostile &hostile, const std::function<QVariant()> &applied)
    {
        SCOPED_TRACE((key + " = " + hostile.name).toStdString());
        const QVariant registered = VXBookletSettings::defaults(QByteArray()).value(key);
        platform::LogCapture log;
        const QVariant value = applied();
        switch (kindOf(key, registered)) {
        case Kind::Number: {
            ASSERT_TRUE(ranges.contains(key)) << "a numeric setting without a control";
            const Bounds bounds = ranges.value(key);
            const double number = value.toDouble();
            EXPECT_TRUE(number >= bounds.minimum && number <= bounds.maximum)
                << value.toString().toStdString() << " is outside " << bounds.minimum << " … " << bounds.maximum;
            break;
        }
        case Kind::Boolean:
            EXPECT_EQ(value.typeId(), QMetaType::Bool) << value.typeName();
            break;
        case Kind::Text:
            EXPECT_EQ(value, hostile.value.typeId() == QMetaType::QString ? hostile.value : registered);
            break;
        case Kind::PrintSettings:
            EXPECT_TRUE(!value.isValid() || value.typeId() == QMetaType::QByteArray || value.typeId() == QMetaType::QVariantMap)
                << value.typeName();
            break;
        }
        // Whatever was not taken as it came is said, by the setting's name; any finite number is a
        // sound boolean.
        const bool finite = hostile.value.typeId() != QMetaType::QString && hostile.value.typeId() != QMetaType::QVariantList
                            && std::isfinite(hostile.value.toDouble());
        if (!VXBookletSettings::sameValue(value, hostile.value) && !(kindOf(key, registered) == Kind::Boolean && finite)) {
            EXPECT_TRUE(log.contains(QStringLiteral("Warning: Setting \"%1\"").arg(key))) << log.lines().join('\n').toStdString();
        }
    }

    QMap<QString, Bounds> ranges;
};

// Every one of the 26 settings, given a number no control allows or a value of no kind it takes,
// from the user's settings file as a new document reads it and from a task's settings
// dictionary: what the document keeps lies within the range of the setting's control.
TEST_F(SettingsRanges, EverySettingKeepsWithinItsControlsRangeFromTheFileAndFromATask)
{
    ranges = interfaceFileRanges();
    ASSERT_GE(ranges.size(), 12) << "the interface file's bound fields";
    ranges.insert(QStringLiteral("pageNumbersFontSize"), fontPanelSizes());
    ASSERT_GT(ranges.value("pageNumbersFontSize").maximum, 1);
    // The page view zooms no further out than the zoom field goes.
    ranges["zoom"].minimum = 0.05;

    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    ASSERT_EQ(VXBookletSettings::keys().size(), 26);
    for (const QString &key : VXBookletSettings::keys()) {
        for (const Hostile &hostile : hostileValues()) {
            check(key, hostile, [&] {
                platform::UserDefaults file(defaults->fileName());
                file.setObject(hostile.value, key);
                EXPECT_TRUE(file.synchronize());
                EXPECT_TRUE(defaults->synchronize());
                const Document fresh;
                defaults->removeObjectForKey(key);
                return platform::KeyValue::valueForKey(const_cast<Document *>(&fresh), key);
            });
            check(key, hostile, [&] {
                Document task;
                task.setSettingsDictionary(QVariantMap{{key, hostile.value}});
                return platform::KeyValue::valueForKey(&task, key);
            });
        }
    }
}

// Worked by hand: a number beyond a field becomes the field's nearer end, a creep type beyond the
// presets the manual entry; the document exports what it keeps, and a value that becomes the
// stored default's counts as no change.
TEST_F(SettingsRanges, ANumberBeyondItsFieldBecomesTheNearerEnd)
{
    const struct { const char *key; QVariant given, kept; } cases[] = {
        {"zoom", -1, 0.05},
        {"zoom", 1e300, 10.0},
        {"pageNumbersFirst", 1e12, 99999},
        {"pageNumbersStart", -5, 0},
        {"pageNumbersY", 3.5, 1.0},
        {"splitIntoXPage", std::numeric_limits<quint64>::max(), 100000u},
        {"creepCompensationType", -3, 7},
        {"creepCompensationType", 1e9, 7},
        {"creepCompensationMM", 40.0, 2.0},
        {"staplesCount", 1e12, 10.0},
        {"rasterizeDPI", 1.0, 72.0},
        {"pageNumbersFontSize", 0.01, 1.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + c.given.toString().toStdString());
        Document doc;
        platform::LogCapture log;
        EXPECT_TRUE(doc.setSettingsDictionary(QVariantMap{{c.key, c.given}}));
        EXPECT_TRUE(VXBookletSettings::sameValue(platform::KeyValue::valueForKey(&doc, c.key), c.kept))
            << platform::KeyValue::valueForKey(&doc, c.key).toString().toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("Warning: Setting \"%1\" of").arg(c.key))) << log.lines().join('\n').toStdString();
    }

    // The print view draws what the document keeps: the least zoom, never a mirrored page.
    Document doc;
    doc.setSettingsDictionary(QVariantMap{{"zoom", -1}});
    doc.updatePrintView(true);
    EXPECT_EQ(doc.printView()->zoom(), 0.05);

    platform::UserDefaults::standardUserDefaults()->setDouble(1e300, "zoom");
    Document stored;
    EXPECT_EQ(stored.zoom(), 10.0);
    EXPECT_FALSE(stored.hasChanges());
    EXPECT_FALSE(stored.hasTaskChanges());
    EXPECT_TRUE(platform::KeyValue::setValue(&stored, "showStaples", true));
    EXPECT_TRUE(platform::KeyValue::setValue(&stored, "showStaples", false));
    EXPECT_FALSE(stored.hasChanges()) << "the stored zoom counts as the one the document keeps";
}
