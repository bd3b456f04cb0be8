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
        {"Full", QVariantMap{{"color", "#ff000080"}, {"offset.x", 2}, {"offset.y", -1.5}, {"radius", 4.25}, {"textColor", "0/0/1"}}},
        {"Patterned", QVariantMap{{"color", "Stripes"}}},
        {"Broken", "0 0 0"},
    };
}

} // namespace

TEST(QSShadowCatalog, PresetsBecomeShadowsAndTextColoursAndUnknownMalformedOrUnreadableOnesGiveNone)
{
    QTemporaryDir dir;
    QImage stripes(2, 2, QImage::Format_RGB32);
    stripes.fill(Qt::yellow);
    ASSERT_TRUE(stripes.save(dir.filePath("Stripes.png")));
    MainBundleScope bundle(dir.path());
    const QString path = dir.filePath("Shadows.plist");
    ASSERT_TRUE(platform::PropertyList::write(presets(), path));
    const QSShadowCatalog catalog(path);

    const std::optional<Shadow> full = catalog.shadowWithName("Full");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->color.rgba64(), QColor(255, 0, 0, 128).rgba64());
    EXPECT_EQ(full->offset, QSizeF(2, -1.5));
    EXPECT_EQ(catalog.textColorForShadowWithName("Full").color(), QColor(Qt::blue));
    // A shadow is drawn in one colour, so a pattern gives black; no text colour is opaque black.
    EXPECT_EQ(catalog.shadowWithName("Patterned").value().color, QColor(Qt::black));
    EXPECT_EQ(catalog.textColorForShadowWithName("Patterned").color(), QColor(Qt::black));

    EXPECT_FALSE(catalog.shadowWithName("Nothing"));
    EXPECT_EQ(catalog.textColorForShadowWithName("Nothing").style(), Qt::NoBrush);
    platform::LogCapture capture;
    EXPECT_FALSE(catalog.shadowWithName("Broken"));
    EXPECT_TRUE(capture.contains("Warning: Shadow description '0 0 0' is no dictionary"));

    const QString listPath = dir.filePath("List.plist");
    ASSERT_TRUE(platform::PropertyList::write(QVariantList{"Full"}, listPath));
    for (const QString &unreadable : {dir.filePath("Missing.plist"), listPath}) {
        EXPECT_TRUE(QSShadowCatalog(unreadable).shadowsDictionary().isEmpty()) << unreadable.toStdString();
        EXPECT_TRUE(capture.contains("Warning: No shadow presets from '" + unreadable));
    }
}
