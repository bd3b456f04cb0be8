#include "RQS-Kit/Foundation/QSShadowCatalog.h"

#include "platform/Log.h"
#include "platform/PropertyList.h"
#include "support/MainBundleScope.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>

using platform::Shadow;

namespace {

QVariantMap presets()
{
    return {
        {QStringLiteral("Soft"), QVariantMap{{QStringLiteral("radius"), 3}}},
        {QStringLiteral("Full"),
         QVariantMap{{QStringLiteral("color"), QStringLiteral("#ff000080")},
                     {QStringLiteral("offset.x"), 2},
                     {QStringLiteral("offset.y"), -1.5},
                     {QStringLiteral("radius"), 4.25},
                     {QStringLiteral("textColor"), QStringLiteral("0/0/1")}}},
        {QStringLiteral("Patterned"), QVariantMap{{QStringLiteral("color"), QStringLiteral("Stripes")}}},
        {QStringLiteral("Broken"), QStringLiteral("0 0 0")},
    };
}

Shadow shadow(const QColor &color, QSizeF offset, double radius)
{
    Shadow s;
    s.color = color;
    s.offset = offset;
    s.blurRadius = radius;
    return s;
}

} // namespace

TEST(QSShadowCatalog, PresetsBecomeShadowsAndTextColours)
{
    QTemporaryDir dir;
    QImage stripes(2, 2, QImage::Format_RGB32);
    stripes.fill(Qt::yellow);
    ASSERT_TRUE(stripes.save(dir.filePath(QStringLiteral("Stripes.png"))));
    MainBundleScope bundle(dir.path());
    const QString path = dir.filePath(QStringLiteral("Shadows.plist"));
    ASSERT_TRUE(platform::PropertyList::write(presets(), path));
    const QSShadowCatalog catalog(path);
    EXPECT_EQ(catalog.shadowsDictionary().keys(),
              (QStringList{QStringLiteral("Broken"), QStringLiteral("Full"), QStringLiteral("Patterned"), QStringLiteral("Soft")}));

    const struct {
        const char *name;
        Shadow expected;
        QColor textColor;
    } cases[] = {
        // only a radius: no offset, and the colour of an empty description
        {"Soft", shadow(Qt::black, {0, 0}, 3), Qt::black},
        {"Full", shadow(QColor(255, 0, 0, 128), {2, -1.5}, 4.25), Qt::blue},
        // a shadow is drawn in one colour, so a pattern gives black
        {"Patterned", shadow(Qt::black, {0, 0}, 0), Qt::black},
    };
    for (const auto &c : cases) {
        const QString name = QString::fromLatin1(c.name);
        const std::optional<Shadow> found = catalog.shadowWithName(name);
        ASSERT_TRUE(found) << c.name;
        EXPECT_EQ(found->color.rgba64(), c.expected.color.rgba64()) << c.name;
        EXPECT_EQ(found->offset, c.expected.offset) << c.name;
        EXPECT_DOUBLE_EQ(found->blurRadius, c.expected.blurRadius) << c.name;
        const QBrush textColor = catalog.textColorForShadowWithName(name);
        EXPECT_EQ(textColor.style(), Qt::SolidPattern) << c.name;
        EXPECT_EQ(textColor.color().rgba64(), c.textColor.rgba64()) << c.name;
    }
}

TEST(QSShadowCatalog, UnknownAndMalformedPresetsGiveNone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Shadows.plist"));
    ASSERT_TRUE(platform::PropertyList::write(presets(), path));
    const QSShadowCatalog catalog(path);

    EXPECT_FALSE(catalog.shadowWithName(QStringLiteral("Nothing")));
    EXPECT_FALSE(catalog.shadowWithName(QString()));
    EXPECT_EQ(catalog.textColorForShadowWithName(QStringLiteral("Nothing")).style(), Qt::NoBrush);

    platform::LogCapture capture;
    EXPECT_FALSE(catalog.shadowWithName(QStringLiteral("Broken")));
    EXPECT_EQ(capture.lines(), QStringList{QStringLiteral("Warning: Shadow description '0 0 0' is no dictionary")});
}

TEST(QSShadowCatalog, UnreadableFileLeavesEveryLookupEmpty)
{
    QTemporaryDir dir;
    QFile garbage(dir.filePath(QStringLiteral("Garbage.plist")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a property list");
    garbage.close();
    const QString listPath = dir.filePath(QStringLiteral("List.plist"));
    ASSERT_TRUE(platform::PropertyList::write(QVariantList{QStringLiteral("Soft")}, listPath));

    for (const QString &path : {dir.filePath(QStringLiteral("Missing.plist")), garbage.fileName(), listPath}) {
        platform::LogCapture capture;
        const QSShadowCatalog catalog(path);
        EXPECT_TRUE(catalog.shadowsDictionary().isEmpty()) << path.toStdString();
        EXPECT_FALSE(catalog.shadowWithName(QStringLiteral("Soft"))) << path.toStdString();
        EXPECT_EQ(catalog.textColorForShadowWithName(QStringLiteral("Soft")).style(), Qt::NoBrush);
        ASSERT_EQ(capture.lines().size(), 1) << path.toStdString();
        EXPECT_TRUE(capture.lines().first().startsWith(QStringLiteral("Warning: No shadow presets from '") + path));
    }
}

TEST(QSShadowCatalog, DescriptionsWithoutCatalog)
{
    EXPECT_FALSE(QSShadowCatalog::shadowWithDescritption(QVariant()));
    const std::optional<Shadow> empty = QSShadowCatalog::shadowWithDescritption(QVariantMap());
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, shadow(Qt::black, {0, 0}, 0));
    const std::optional<Shadow> textual = QSShadowCatalog::shadowWithDescritption(
        QVariantMap{{QStringLiteral("offset.x"), QStringLiteral("1.5")}, {QStringLiteral("color"), QStringLiteral("0.5")}});
    ASSERT_TRUE(textual);
    EXPECT_EQ(textual->offset, QSizeF(1.5, 0));
    EXPECT_NEAR(textual->color.redF(), 0.5, 1.0 / 65535);
}

TEST(QSShadowCatalog, SharedCatalogReadsTheApplicationPresets)
{
    const QSShadowCatalog &shared = QSShadowCatalog::sharedShadowCatalog();
    EXPECT_EQ(&shared, &QSShadowCatalog::sharedShadowCatalog());
    ASSERT_FALSE(shared.shadowsDictionary().isEmpty());

    const QSet<QString> known{QStringLiteral("color"), QStringLiteral("offset.x"), QStringLiteral("offset.y"),
                              QStringLiteral("radius"), QStringLiteral("textColor")};
    for (auto preset = shared.shadowsDictionary().cbegin(); preset != shared.shadowsDictionary().cend(); ++preset) {
        const std::string name = preset.key().toStdString();
        ASSERT_EQ(preset.value().typeId(), QMetaType::QVariantMap) << name;
        const QStringList keys = preset.value().toMap().keys();
        for (const QString &key : keys)
            EXPECT_TRUE(known.contains(key)) << name << " has unknown key " << key.toStdString();
        const std::optional<Shadow> found = QSShadowCatalog::sharedShadowWithName(preset.key());
        ASSERT_TRUE(found) << name;
        EXPECT_GE(found->blurRadius, 0) << name;
        EXPECT_EQ(QSShadowCatalog::sharedTextColorForShadowWithName(preset.key()).style(), Qt::SolidPattern) << name;
    }
    EXPECT_TRUE(QSShadowCatalog::sharedShadowWithName(QStringLiteral("Label")));
}
