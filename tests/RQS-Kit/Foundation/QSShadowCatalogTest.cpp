#include "RQS-Kit/Foundation/QSShadowCatalog.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "support/MainBundleScope.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

using platform::Shadow;

namespace {

QVariantMap presets()
{
    return {
        {"Soft", QVariantMap{{"radius", 3}}},
        {"Full", QVariantMap{{"color", "#ff000080"},
                     {"offset.x", 2},
                     {"offset.y", -1.5},
                     {"radius", 4.25},
                     {"textColor", "0/0/1"}}},
        {"Patterned", QVariantMap{{"color", "Stripes"}}},
        {"Broken", "0 0 0"},
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
    ASSERT_TRUE(stripes.save(dir.filePath("Stripes.png")));
    MainBundleScope bundle(dir.path());
    const QString path = dir.filePath("Shadows.plist");
    ASSERT_TRUE(platform::PropertyList::write(presets(), path));
    const QSShadowCatalog catalog(path);

    const struct { const char *name; Shadow expected; QColor textColor; } cases[] = {
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

    // Descriptions read without a catalog; numbers may be written as text.
    EXPECT_FALSE(QSShadowCatalog::shadowWithDescritption(QVariant()));
    const std::optional<Shadow> textual =
        QSShadowCatalog::shadowWithDescritption(QVariantMap{{"offset.x", "1.5"}, {"color", "0.5"}});
    ASSERT_TRUE(textual);
    EXPECT_EQ(textual->offset, QSizeF(1.5, 0));
    EXPECT_NEAR(textual->color.redF(), 0.5, 1.0 / 65535);
}

TEST(QSShadowCatalog, UnknownMalformedAndUnreadablePresetsGiveNone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Shadows.plist");
    ASSERT_TRUE(platform::PropertyList::write(presets(), path));
    const QSShadowCatalog catalog(path);
    EXPECT_FALSE(catalog.shadowWithName("Nothing"));
    EXPECT_EQ(catalog.textColorForShadowWithName("Nothing").style(), Qt::NoBrush);
    platform::LogCapture capture;
    EXPECT_FALSE(catalog.shadowWithName("Broken"));
    EXPECT_TRUE(capture.contains("Warning: Shadow description '0 0 0' is no dictionary"));

    const QString listPath = dir.filePath("List.plist");
    ASSERT_TRUE(platform::PropertyList::write(QVariantList{"Soft"}, listPath));
    for (const QString &unreadable : {dir.filePath("Missing.plist"), listPath}) {
        const QSShadowCatalog empty(unreadable);
        EXPECT_TRUE(empty.shadowsDictionary().isEmpty()) << unreadable.toStdString();
        EXPECT_TRUE(capture.contains("Warning: No shadow presets from '" + unreadable));
    }
}

TEST(QSShadowCatalog, SharedCatalogReadsTheApplicationPresets)
{
    EXPECT_TRUE(QSShadowCatalog::sharedShadowWithName("Label"));
    EXPECT_EQ(QSShadowCatalog::sharedTextColorForShadowWithName("Label").style(), Qt::SolidPattern);
}
