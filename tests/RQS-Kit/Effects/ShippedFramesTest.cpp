#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSFrameEditor.h"
#include "RQS-Kit/Effects/QSMaterialBuilder.h"
#include "RQS-Kit/Effects/QSNamedPictures.h"
#include "RQS-Kit/Effects/QSTextureCatalog.h"
#include "RQS-Kit/Foundation/QSCategoryItemDelegate.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Window.h"

#include <QComboBox>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "platform/fx/FxTestImages.h"
#include "support/MainBundleScope.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace {

// A raw resource identifier: type, "#", three digits, "#".
bool isRawIdentifier(const QString &text)
{
    static const QRegularExpression identifier(QStringLiteral("[A-Z]{3}-[A-Z0-9]#\\d{3}#"));
    return identifier.match(text).hasMatch();
}

QStringList itemsOf(const QComboBox &popUp)
{
    QStringList items;
    for (int i = 0; i < popUp.count(); ++i)
        items << popUp.itemText(i);
    return items;
}

// The frame editor over the shipped frames and a user catalog of its own, its window shown at
// 900 by 640.
struct ShippedFrameEditor
{
    ShippedFrameEditor()
        : user(QSFrameCatalog::framesBundlePath(), dir.filePath("UserFrames.plist"))
        , system(QSFrameCatalog::framesBundlePath(), QString())
        , builder(user, system)
    {
        if (!builder.window())
            return;
        builder.window()->resize(900, 640);
        builder.window()->show();
        QCoreApplication::processEvents();
    }
    QTemporaryDir dir;
    QSFrameCatalog user;
    QSFrameCatalog system;
    QSMaterialBuilder builder;
};

} // namespace

// The application's own frame bundle and textures: every category the frame editor lists has
// something in it, every pop-up shows names, and a built-in frame is drawn round the preview.
TEST(ShippedFrames, TheFrameEditorOffersNamedFramesShadesMasksAndTextures)
{
    rqs::registerKitClasses();
    platform::LogCapture log;
    ShippedFrameEditor shipped;
    QSMaterialBuilder &builder = shipped.builder;
    ASSERT_TRUE(builder.window());

    for (const char *name : {"framePopupButton", "textureButton", "externalMaskButton", "internalMaskButton", "newShadeButton"}) {
        const auto *popUp = builder.window()->findChild<QComboBox *>(name);
        ASSERT_TRUE(popUp) << name;
        EXPECT_GT(popUp->count(), 2) << name;
        for (const QString &item : itemsOf(*popUp))
            EXPECT_FALSE(isRawIdentifier(item)) << name << ": " << item.toStdString();
    }
    const QStringList shades = itemsOf(*builder.window()->findChild<QComboBox *>("newShadeButton"));
    for (const char *category : {"External", "Internal", "Overlay", "Join"})
        EXPECT_EQ(shades.filter(QString::fromLatin1(category)).size(), 2) << category << ": its heading and a shade";
    auto *list = builder.window()->findChild<QListWidget *>("frameList");
    ASSERT_TRUE(list);
    QStringList frames;
    for (int i = 0; i < list->count(); ++i)
        frames << list->item(i)->text();
    for (const char *category : {"Leather", "Metal", "Paper", "Wood"})
        EXPECT_FALSE(frames.filter(QString::fromLatin1(category) + " ").isEmpty()) << category;
    for (const QString &frame : frames)
        EXPECT_FALSE(isRawIdentifier(frame)) << frame.toStdString();
    EXPECT_FALSE(log.contains("Frames.bundle is missing!"));
    EXPECT_FALSE(log.contains("Did not find Shade"));

    list->setCurrentRow(int(frames.indexOf("Wood Oak")));
    QCoreApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !builder.isDrawingPreview(); }, 20000));
    const QImage preview = builder.previewImage();
    ASSERT_FALSE(preview.isNull());
    // The oak frame's texture at the preview's left edge, the sample picture in its middle.
    const QColor edge = preview.pixelColor(4, preview.height() / 2);
    EXPECT_GT(edge.red(), edge.blue() + 40) << "a wooden brown, not " << edge.name().toStdString();
    if (!qEnvironmentVariableIsEmpty("FOLDWISE_SCREENSHOTS"))
        builder.window()->grab().save(qEnvironmentVariable("FOLDWISE_SCREENSHOTS") + "/frame-editor.png");
}

namespace {

// Walking from the picture's middle (200, 150) outwards in four directions to the frame's outer
// edge (the last pixel more than half opaque): the pixels passed, for each direction.
QList<QList<platform::fx::Pixel>> waysOut(const platform::fx::Image &output)
{
    const QRect framed = output.extent().toAlignedRect();
    const auto pixels = platform::fx::Context().render(output, framed);
    QList<QList<platform::fx::Pixel>> ways;
    for (const QPoint step : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
        ways.append(QList<platform::fx::Pixel>());
        for (QPoint at(200, 150); framed.contains(at) && pixels->at(at.x(), at.y()).a > 0.5f; at += step)
            ways.last() << pixels->at(at.x(), at.y());
    }
    return ways;
}

} // namespace

// The "Picture Frame" effect as it ships, with its default frame and each of its frames: the frame
// lies on and round a blue picture, whose middle shows in its window, and nothing is translucent
// between the frame's outer edge and the picture (the frames reach over the picture's rim).
TEST(ShippedFrames, ThePictureFrameEffectFramesThePicture)
{
    rqs::registerKitFilters();
    const QStringList frames = rqs::namedPictureNames("RQS-F", "Mask");
    ASSERT_GE(frames.size(), 3);
    const QRect picture(0, 0, 400, 300);
    const platform::fx::Pixel blue{0.1f, 0.2f, 0.9f, 1};
    for (const QString &name : QStringList{QString()} + frames) {
        auto effect = name.isEmpty() ? QSEffectsCatalog::effectForSettings({{"name", "PictureFrame"}})
                                     : QSEffectsCatalog::effectForSettings({{"name", "PictureFrame"}, {"inputFrameName", name}});
        ASSERT_TRUE(effect);
        effect->setInputImage(fxtest::filled(picture, blue));
        const platform::fx::Image output = effect->outputImage();
        const QRect framed = output.extent().toAlignedRect();
        const std::string label = effect->filter()->value("inputFrameName").toString().toStdString();
        EXPECT_NE(framed, picture) << label << ": the frame reaches beyond the picture";
        EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(output, 200, 150), blue)) << label;
        for (const QList<platform::fx::Pixel> &way : waysOut(output)) {
            ASSERT_GT(way.size(), 20) << label;
            const platform::fx::Pixel frame = way.at(way.size() - 4);
            EXPECT_GT(std::abs(frame.b - blue.b) + std::abs(frame.r - blue.r), 0.3f) << label << ": the frame, not the picture";
            const auto translucent = std::count_if(way.begin(), way.end() - 2, [](const auto &p) { return p.a < 0.99f; });
            EXPECT_EQ(translucent, 0) << label;
        }
        if (name.isEmpty()) {
            EXPECT_TRUE(saveScreenshot(platform::fx::Context().createImage(output, output.extent()), "picture-frame-effect"));
        }
    }
}

// The frame editor opens on the first frame of its list, which holds the frames only: the group
// titles head the frame pop-up, never a row of the list. Picking a frame in the pop-up selects its row.
TEST(ShippedFrames, TheFrameEditorOpensOnItsFirstFrameAndListsFramesOnly)
{
    rqs::registerKitClasses();
    ShippedFrameEditor shipped;
    QSMaterialBuilder &builder = shipped.builder;
    ASSERT_TRUE(builder.window());
    auto *list = builder.window()->findChild<QListWidget *>("frameList");
    auto *popUp = builder.window()->findChild<QComboBox *>("framePopupButton");
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    EXPECT_EQ(rows, QStringList({"Leather Brown", "Metal Silver", "Paper Cream", "Paper Laid", "Wood Oak", "Wood Walnut"}));
    EXPECT_EQ(list->currentRow(), 0);
    ASSERT_TRUE(builder.editor().frame());
    EXPECT_EQ(builder.editor().frame(), shipped.system.frameWithName("FRM-0#001#Leather-Brown"));
    EXPECT_EQ(popUp->currentText(), "Leather Brown") << "named as in the list, under its heading";
    for (int index = 0; index < popUp->count(); ++index) {
        if (!popUp->itemData(index, QSCategoryItemDelegate::CategoryRole).isNull()) {
            EXPECT_EQ(list->findItems(popUp->itemText(index), Qt::MatchExactly).size(), 1) << popUp->itemText(index).toStdString();
        }
    }
    EXPECT_TRUE(builder.window()->findChild<QWidget *>("duplicateFrameButton")->isEnabled());
    // The leather frame's brown at the preview's left edge, not the plain frame's white.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !builder.isDrawingPreview(); }, 20000));
    const QImage preview = builder.previewImage();
    ASSERT_FALSE(preview.isNull());
    const QColor edge = preview.pixelColor(4, preview.height() / 2);
    EXPECT_GT(edge.red(), edge.blue() + 30) << edge.name().toStdString();
    EXPECT_TRUE(saveScreenshot(builder.window(), "frame-builder-opened"));

    popUp->setCurrentIndex(popUp->findText("Wood Oak"));
    builder.frameSelected(popUp);
    EXPECT_EQ(list->currentItem()->text(), "Wood Oak");
    EXPECT_EQ(builder.editor().frame(), shipped.system.frameWithName("FRM-0#005#Wood-Oak"));
}

// A heading of the shipped catalog, which names no frame, goes alone: the entry after it stays.
TEST(ShippedFrames, RemovingAHeadingLeavesTheEntriesAfterIt)
{
    QSFrameCatalog system(QSFrameCatalog::framesBundlePath(), QString());
    QStringList expected = system.frameIDs();
    const qsizetype heading = expected.indexOf(QStringLiteral("Metal -"));
    ASSERT_GE(heading, 0);
    ASSERT_LT(heading + 1, expected.size());
    expected.removeAt(heading);
    system.removeFrameAtIndex(int(heading));
    EXPECT_EQ(system.frameIDs(), expected);
}

// A built-in frame keeps its name: a rename of its row is refused as such and the row shows the
// name again; a user's frame renamed to a name in use says that name cannot be taken.
TEST(ShippedFrames, ABuiltInFrameCannotBeRenamed)
{
    rqs::registerKitClasses();
    ShippedFrameEditor shipped;
    QSMaterialBuilder &builder = shipped.builder;
    ASSERT_TRUE(builder.window());
    auto *list = builder.window()->findChild<QListWidget *>("frameList");
    const auto rowNamed = [list](const QString &name) {
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    };
    ASSERT_TRUE(rowNamed("Wood Oak"));
    {
        platform::LogCapture log;
        rowNamed("Wood Oak")->setText("Pine");
        EXPECT_EQ(log.lines(), QStringList{"Warning: System Frames cannot be renamed"});
    }
    EXPECT_TRUE(rowNamed("Wood Oak")) << "the row shows its name again";
    EXPECT_FALSE(rowNamed("Pine"));
    EXPECT_EQ(shipped.system.frameWithName("FRM-0#005#Wood-Oak")->name(), "Wood Oak");

    builder.addUserFrame(nullptr);
    builder.addUserFrame(nullptr);
    ASSERT_TRUE(rowNamed("New Frame 2"));
    platform::LogCapture log;
    rowNamed("New Frame 2")->setText("New Frame");
    EXPECT_EQ(log.lines(), QStringList{"Warning: The frame cannot be named 'New Frame'"});
    EXPECT_TRUE(rowNamed("New Frame 2"));
}

namespace {

bool copyFolder(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo &entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

} // namespace

// The group titles head the frames of the bundle's own catalog, and of a catalog file that lies
// in the application's bundle however its path is written, but never a user's catalog beside it.
TEST(ShippedFrames, GroupTitlesHeadTheFramesOfCatalogsInTheApplicationsBundle)
{
    QTemporaryDir dir;
    const QString user = dir.filePath("UserFrames.plist");
    const QString shipped = platform::Bundle::mainBundle()->bundlePath();
    const QString app = dir.filePath("App"), bundle = app + "/Frames.bundle";
    ASSERT_TRUE(copyFolder(shipped + "/Frames.bundle", bundle));
    ASSERT_TRUE(copyFolder(shipped + "/en.lproj", app + "/en.lproj"));
    ASSERT_TRUE(QFile::link(app, dir.filePath("Link")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("App2")));
    ASSERT_TRUE(QFile::copy(bundle + "/Description.plist", dir.filePath("App2/Description.plist")));
    ASSERT_TRUE(QFile::copy(bundle + "/Description.plist", user));
    const MainBundleScope application(app);

    const QStringList titles{"Leather -", "Metal -", "Paper -", "Wood -"};
    const struct
    {
        QString infoFile;
        bool titled;
    } cases[] = {{QString(), true},
                 {bundle + "/Description.plist", true},
                 {app + "/en.lproj/../Frames.bundle/Description.plist", true},
                 {dir.filePath("Link/Frames.bundle/Description.plist"), true},
                 {app + "/Frames.bundle/NotYetWritten.plist", true},
                 {user, false},
                 {dir.filePath("App2/Description.plist"), false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.infoFile.toStdString());
        const QSFrameCatalog catalog(bundle, c.infoFile);
        const QStringList ids = catalog.frameIDs();
        QStringList frames = ids;
        for (const QString &title : titles)
            EXPECT_EQ(frames.removeAll(title), c.titled ? 1 : 0) << title.toStdString();
        if (c.infoFile.endsWith("NotYetWritten.plist")) {
            EXPECT_TRUE(frames.isEmpty());
            continue;
        }
        ASSERT_EQ(frames.size(), 6);
        if (!c.titled)
            continue;
        // Each title comes right before the first frame of its group.
        for (const QString &title : titles) {
            const qsizetype at = ids.indexOf(title);
            ASSERT_LT(at + 1, ids.size());
            EXPECT_TRUE(catalog.frameWithName(ids.at(at + 1))->name().startsWith(title.chopped(2)))
                << title.toStdString() << " heads " << ids.at(at + 1).toStdString();
        }
        EXPECT_FALSE(catalog.isSavePending());
    }
}

// With the user's frames kept in the application's bundle, their catalog lists group titles among
// its IDs, which the frame list leaves out: removing a user frame removes the one selected.
TEST(ShippedFrames, RemovingAUserFrameKeptInTheApplicationsBundleRemovesTheSelectedOne)
{
    rqs::registerKitClasses();
    QTemporaryDir dir;
    const QString app = dir.filePath("App");
    ASSERT_TRUE(copyFolder(platform::Bundle::mainBundle()->bundlePath(), app));
    const MainBundleScope application(app);
    QSFrameCatalog user(QSFrameCatalog::framesBundlePath(), app + "/UserFrames.plist");
    QSFrameCatalog system(QSFrameCatalog::framesBundlePath(), QString());
    QSMaterialBuilder builder(user, system);
    ASSERT_TRUE(builder.window());
    builder.addUserFrame(nullptr);
    builder.addUserFrame(nullptr);
    ASSERT_TRUE(user.frameIDs().contains("Leather -"));
    auto *list = builder.window()->findChild<QListWidget *>("frameList");
    const QList<QListWidgetItem *> second = list->findItems("New Frame 2", Qt::MatchExactly);
    ASSERT_EQ(second.size(), 1);
    list->setCurrentItem(second.first());
    const qsizetype ids = user.frameIDs().size();

    builder.removeUserFrame(nullptr);
    EXPECT_TRUE(user.frameIDForName("New Frame 2").isEmpty()) << "the selected frame is gone";
    EXPECT_FALSE(user.frameIDForName("New Frame").isEmpty());
    EXPECT_EQ(user.frameIDs().size(), ids - 1);
    for (const QString title : {"Leather -", "Metal -", "Paper -", "Wood -"})
        EXPECT_TRUE(user.frameIDs().contains(title)) << title.toStdString();
}
