#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSFrameDescription.h"
#include "RQS-Kit/Effects/QSFrameEditor.h"
#include "RQS-Kit/Effects/QSTexturedFrameFilter.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/fx/FxTestImages.h"
#include "platform/ui/UndoManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QStringList FrameNotices{"FrameShadeChanged", "FrameTextureChanged", "FrameMaskChanged", "FrameChanged", "FrameUndo"};

// A frame bundle of two shades of other widths and one outer and one inner mask, 4 × 4 black each.
QString editingBundle(const QTemporaryDir &dir)
{
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(Qt::black);
    for (const char *file : {"Shades/FRM-S#001#Edge#4.png", "Shades/FRM-S#002#Line#8-2.png",
                             "ExternalMasks/FRM-E#001#Square.png", "InternalMasks/FRM-I#001#Square.png"}) {
        QDir(dir.path()).mkpath(QFileInfo(dir.filePath(file)).path());
        if (!picture.save(dir.filePath(file)))
            return {};
    }
    return dir.path();
}

QVariantMap shadedFrameDictionary(const QString &name)
{
    return {{"Name", name},
            {"Texture", "Plain Color"},
            {"Texture.Color", "1 1 1 1"},
            {"Shades", QVariantList{QVariantMap{{"Shade", "FRM-S#001#Edge"}, {"BlendMode", "multiply"}, {"Intensity", 0.5}}}}};
}

// The frame 4 pixels wide around a grey picture of 20 × 20, announced after the delay given.
void frameAGreyPicture(QSTexturedFrameFilter &filter, const std::shared_ptr<QSFrameDescription> &frame, double updateDelay)
{
    filter.setUpdateDelay(updateDelay);
    filter.setFrameDescription(frame);
    filter.setValueForKey("inputWidth", 4.0);
    filter.setValueForKey("inputImage", QVariant::fromValue(fxtest::filled({0, 0, 20, 20}, {0.5f, 0.5f, 0.5f, 1})));
}

// The notices a frame posts while the change runs, in order.
QStringList noticesOf(QSFrameDescription &frame, const std::function<void()> &change)
{
    QStringList posted;
    auto *center = platform::NotificationCenter::defaultCenter();
    for (const QString &name : FrameNotices)
        center->addObserver(&posted, name, &frame, [&posted](const platform::Notification &n) { posted << n.name; });
    change();
    center->removeObserver(&posted);
    return posted;
}

} // namespace

// Frames of a bundle of their own, drawn by the kit's filters.
class FrameEdits : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rqs::registerKitFilters();
        bundle = editingBundle(dir);
        ASSERT_FALSE(bundle.isEmpty());
    }

    // A frame of one shade that the undo manager here records the edits of.
    std::shared_ptr<QSFrameDescription> editedFrame(const QString &name)
    {
        auto frame = std::make_shared<QSFrameDescription>(shadedFrameDictionary(name), bundle, true);
        frame->setUndoManager(&undo);
        return frame;
    }

    QTemporaryDir dir;
    QString bundle;
    platform::UndoManager undo;
};

// Every change of a frame that has an undo manager, made by whoever, is announced once with the
// bit of what changed, is one undo step named from the strings table, and undoes; a frame nobody
// edits changes silently.
TEST_F(FrameEdits, AFrameWithAnUndoManagerAnnouncesAndNamesEveryChange)
{
    using Change = std::function<void(QSFrameDescription &)>;
    const auto extra = [&](QSFrameDescription &frame) { return frame.shadeNamed("FRM-S#002#Line", "overlay", 1.0); };
    const struct
    {
        const char *what;
        Change change;
        const char *notice;
        const char *stepName;
    } changes[] = {
        {"texture", [](QSFrameDescription &f) { f.setTextureName("Plain Color"); }, "FrameTextureChanged", "Texture"},
        {"colour", [](QSFrameDescription &f) { f.setTextureColor({1, 0, 0, 1}); }, "FrameTextureChanged", "Texture Color"},
        {"fill mode", [](QSFrameDescription &f) { f.setTextureFillMode(1); }, "FrameTextureChanged", "Texture Cut"},
        {"outer mask", [](QSFrameDescription &f) { f.setExternalMaskName("FRM-E#001#Square"); }, "FrameMaskChanged", "Outer Mask"},
        {"inner mask", [](QSFrameDescription &f) { f.setInternalMaskName("FRM-I#001#Square"); }, "FrameMaskChanged", "Inner Mask"},
        {"insert", [&](QSFrameDescription &f) { f.insertShade(extra(f), 0); }, "FrameShadeChanged", "Add Shade"},
        {"add", [&](QSFrameDescription &f) { f.addShade(extra(f)); }, "FrameShadeChanged", "Add Shade"},
        {"remove", [](QSFrameDescription &f) { f.removeShadeAtIndex(0); }, "FrameShadeChanged", "Remove Shade"},
        {"shade name", [](QSFrameDescription &f) { f.setShadeName("FRM-S#002#Line", 0); }, "FrameShadeChanged", "Shade"},
        {"blend mode", [](QSFrameDescription &f) { f.setShadeBlendMode("overlay", 0); }, "FrameShadeChanged", "Blend Mode"},
        {"intensity", [](QSFrameDescription &f) { f.setShadeIntensity(0.9, 0); }, "FrameShadeChanged", "Intensity"},
    };
    for (const auto &c : changes) {
        SCOPED_TRACE(c.what);
        QSFrameDescription silent(shadedFrameDictionary("Silent"), bundle, true);
        EXPECT_EQ(noticesOf(silent, [&] { c.change(silent); }), QStringList());

        QSFrameDescription frame(shadedFrameDictionary("Edited"), bundle, true);
        const QVariantMap before = frame.saveDictionary();
        platform::UndoManager steps;
        steps.setGroupsByEvent(false);
        frame.setUndoManager(&steps);
        EXPECT_EQ(noticesOf(frame, [&] { c.change(frame); }), (QStringList{c.notice, "FrameChanged"}));
        EXPECT_NE(frame.saveDictionary(), before);
        EXPECT_EQ(steps.undoActionName(), c.stepName);
        EXPECT_EQ(noticesOf(frame, [&] { ASSERT_TRUE(steps.undo()); }), (QStringList{c.notice, "FrameChanged", "FrameUndo"}));
        EXPECT_EQ(frame.saveDictionary(), before) << "undone";
        EXPECT_EQ(steps.redoActionName(), c.stepName);
        EXPECT_FALSE(steps.canUndo()) << "one step";
    }
}

// A shade takes another shade's file in place, with that file's width, keeping its blend mode and
// intensity: one notice and one step. Names that find no file, indexes outside the stack and
// folders outside the bundle change nothing.
TEST_F(FrameEdits, AShadeTakesAnotherNameInPlaceAndResourcesAreFoundInsideTheBundleOnly)
{
    QSFrameDescription frame(shadedFrameDictionary("Renamed"), bundle, true);
    EXPECT_EQ(frame.urlForShadeName("FRM-S#002#Line"), QUrl::fromLocalFile(dir.filePath("Shades/FRM-S#002#Line#8-2.png")));
    EXPECT_EQ(frame.urlForResourceID("FRM-E#001#", "ExternalMasks"), QUrl::fromLocalFile(dir.filePath("ExternalMasks/FRM-E#001#Square.png")));
    for (const auto &[identifier, folder] : {std::pair{"FRM-S#001#", "../Shades"}, {"FRM-S#001#", "/"}, {"../FRM-S#001#", "Shades"},
                                            {"", "Shades"}, {"FRM-S#009#", "Shades"}})
        EXPECT_TRUE(frame.urlForResourceID(identifier, folder).isEmpty()) << identifier << " in " << folder;

    const auto shade = frame.shades().first();
    frame.setUndoManager(&undo);
    EXPECT_EQ(noticesOf(frame, [&] { EXPECT_TRUE(frame.setShadeName("FRM-S#002#Line", 0)); }),
              (QStringList{"FrameShadeChanged", "FrameChanged"}));
    EXPECT_EQ(frame.shades().first(), shade) << "in place";
    EXPECT_EQ(shade->name(), "FRM-S#002#Line");
    EXPECT_EQ(shade->width(), 8.0);
    EXPECT_EQ(shade->blendMode(), "multiply");
    EXPECT_EQ(shade->intensity(), 0.5);
    EXPECT_EQ(frame.saveDictionary()["Shades"].toList().first().toMap()["Shade"], "FRM-S#002#Line");

    platform::LogCapture log;
    EXPECT_EQ(noticesOf(frame, [&] {
                  EXPECT_FALSE(frame.setShadeName("FRM-S#009#Gone", 0));
                  EXPECT_FALSE(frame.setShadeName("FRM-S#001#Edge", 3));
              }),
              QStringList());
    EXPECT_EQ(log.lines().filter("Warning: ").size(), 2);
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(shade->name(), "FRM-S#001#Edge");
    EXPECT_EQ(shade->width(), 4.0);
}

// A caller's own textured frame filter draws the frame as the caller's edits leave it, once the
// frame has the caller's undo manager; the frame editor, used without the builder, has its edits of
// a user frame saved.
TEST_F(FrameEdits, ACallersFilterAndCatalogFollowEditsMadeOutsideTheBuilder)
{
    const auto frame = editedFrame("Drawn");
    QSTexturedFrameFilter filter;
    frameAGreyPicture(filter, frame, -1);
    const auto frameColour = [&] { return fxtest::renderedPixel(filter.outputImage(), -2, 10); };
    const auto before = frameColour();
    frame->setTextureColor({0, 0, 1, 1});
    const auto after = frameColour();
    EXPECT_GT(after.b, after.r + 0.2f) << "the frame is drawn blue, not as it was: " << before.r << " " << before.b;

    const QString file = dir.filePath("UserFrames.plist");
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"FRM-U#001#", shadedFrameDictionary("Saved")}}, file));
    QSFrameCatalog catalog(bundle, file);
    QSFrameEditor editor;
    editor.setUndoManager(&undo);
    editor.setFrame(catalog.frameWithName("FRM-U#001#"));
    ASSERT_TRUE(editor.setShadeBlendMode("overlay", 0));
    EXPECT_TRUE(catalog.isSavePending()) << "the change is heard";
    ASSERT_TRUE(catalog.saveCatalogInstantly(true));
    const QVariantMap saved = platform::PropertyList::read(file).toMap()["FRM-U#001#"].toMap();
    EXPECT_EQ(saved["Shades"].toList().first().toMap()["BlendMode"], "overlay");
}

// An effect redraws its textured frame on the filter's "qsfilterupdate": a burst of frame edits
// within the filter's update delay is announced once, after the delay, and what is then drawn is
// the frame as the last edit left it; the next edit is announced again.
TEST_F(FrameEdits, ABurstOfEditsWithinTheUpdateDelayIsDrawnOnce)
{
    const auto frame = editedFrame("Burst");
    QSTexturedFrameFilter filter;
    frameAGreyPicture(filter, frame, 0.05);
    QList<platform::fx::Pixel> drawn;
    platform::NotificationCenter::defaultCenter()->addObserver(&drawn, "qsfilterupdate", &filter, [&](const platform::Notification &) {
        drawn << fxtest::renderedPixel(filter.outputImage(), -2, 10);
    });
    const auto removeObserver = qScopeGuard([&] { platform::NotificationCenter::defaultCenter()->removeObserver(&drawn); });

    for (const float red : {0.2f, 0.4f, 0.6f, 0.8f, 1.0f})
        frame->setTextureColor({red, 0, 0, 1});
    frame->setShadeIntensity(0, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !drawn.isEmpty(); }, 5000));
    frame->setTextureColor({0, 0, 1, 1});
    ASSERT_TRUE(QTest::qWaitFor([&] { return drawn.size() >= 2; }, 5000));
    EXPECT_EQ(drawn.size(), 2) << "one drawing per burst";
    EXPECT_TRUE(fxtest::near(drawn[0], {1, 0, 0, 1}, 0.02f)) << "the last colour of the burst, its shade off";
    EXPECT_TRUE(fxtest::near(drawn[1], {0, 0, 1, 1}, 0.02f));
}
