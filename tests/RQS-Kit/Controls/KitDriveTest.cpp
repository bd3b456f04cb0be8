#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct DriveRun
{
    int exitCode = -1;
    QStringList lines, errors;
};

DriveRun drive(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(FOLDWISE_KIT_DRIVE), arguments);
    EXPECT_TRUE(tool.waitForFinished(60000));
    DriveRun run{tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), {}};
    for (const QString &line : QString::fromUtf8(tool.readAllStandardError()).split('\n'))
        if (line.startsWith("Error: "))
            run.errors << line;
    return run;
}

} // namespace

TEST(KitDrive, PrintsALabelsFittedFontAndTheActionsSentAndRefusesAnUnknownClassWithOneError)
{
    const DriveRun label = drive({"--class", "QSLabel", "--size", "100x40", "--set", "shrinkToFit=1", "--set",
                             "font=DejaVu Sans,18", "--set", "text=" + QString(40, 'l'), "--print", "fittedFontSize"});
    EXPECT_EQ(label.exitCode, 0);
    EXPECT_EQ(label.lines, QStringList{"fittedFontSize=8.991"}) << "18 × 0.4995";

    const DriveRun field = drive({"--class", "QSTextField", "--size", "120x24", "--set", "action=commit", "--do", "click 5,12",
                             "--do", "key a", "--do", "key Return", "--print", "text"});
    EXPECT_EQ(field.lines, (QStringList{"action QSTextField commit", "text=a"}));

    const DriveRun unknown = drive({"--class", "QSNoSuchControl"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.errors, QStringList{"Error: Unknown class \"QSNoSuchControl\""});
}

TEST(KitDrive, PrintsTheSegmentsOfABarWhoseButtonsRegisteredRightToLeft)
{
    const DriveRun bar = drive({"--ui", QStringLiteral(FOLDWISE_TEST_DATA "/../fixtures/kit/ToolBar500.ui"), "--size", "500x30",
                                "--print", "barSegments"});
    EXPECT_EQ(bar.exitCode, 0);
    EXPECT_EQ(bar.lines, QStringList{"barSegments=(0,100), (140,160), (350,150)"});
}

// A file's own size counts when no size is asked for; a list without rows (no height) still shows.
TEST(KitDrive, TakesAFilesOwnSizeAndShowsAListOfNoRowsOrOfTheRowsAsked)
{
    const DriveRun bar = drive({"--ui", QStringLiteral(FOLDWISE_TEST_DATA "/../fixtures/kit/ToolBar500.ui"), "--print", "barSegments"});
    EXPECT_EQ(bar.lines, QStringList{"barSegments=(0,100), (140,160), (350,150)"}) << "every segment of the 500 wide bar";

    const DriveRun empty = drive({"--class", "QSListView", "--print", "rowFrames"});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.errors, QStringList());
    EXPECT_EQ(empty.lines, QStringList{"rowFrames="});

    const DriveRun list = drive({"--ui", QStringLiteral(FOLDWISE_TEST_DATA "/../fixtures/kit/List3.ui"), "--set", "rows=A,B,C",
                                 "--print", "entries", "--print", "rowFrames"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.lines, (QStringList{"entries=A, B, C", "rowFrames=A(0,0,300,45), B(0,45,300,45), C(0,90,300,45)"}));

    // The pointer's events reach the row's drag handle as a real pointer's would.
    const DriveRun dragged = drive({"--ui", QStringLiteral(FOLDWISE_TEST_DATA "/../fixtures/kit/List3.ui"), "--set", "rows=A,B,C",
                                    "--do", "move 274,22", "--do", "press 274,22", "--do", "drag 274,45", "--do", "drag 274,67",
                                    "--do", "release 274,67", "--print", "entries", "--print", "undoActionName"});
    EXPECT_EQ(dragged.lines, (QStringList{"entries=B, A, C", "undoActionName=Reorder entry"}));
}

TEST(KitDrive, PrintsWhereAnImageViewDrawsAWidePictureFromAFile)
{
    QTemporaryDir folder;
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder.filePath("200x100.png")));
    const DriveRun view = drive({"--class", "QSImageView", "--size", "100x100", "--set", "gravity=256", "--set", "aspectFit=1",
                                 "--set", "imageFile=" + folder.filePath("200x100.png"), "--print", "drawnRect"});
    EXPECT_EQ(view.lines, QStringList{"drawnRect=(-50,0,200,100)"});
}

TEST(KitDrive, PrintsAResizeDragAndItsCursorARotationAcrossTheNegativeAxisAndACropDraggedToTheEdge)
{
    const DriveRun resize = drive({"--class", "QSResizeView", "--size", "100x100", "--set", "delegate=1", "--do", "move 97,97",
                                   "--do", "press 97,50", "--do", "drag 117,50", "--print", "cursorAngle"});
    EXPECT_EQ(resize.lines, (QStringList{"delegate resizeView 32 (0,0) 0", "delegate resizeView 32 (20,0) 1", "cursorAngle=45"}));
    const DriveRun rotation = drive({"--class", "QSRotationView", "--size", "200x100", "--set", "delegate=1", "--do", "press 30,57",
                                     "--do", "drag 30,43", "--print", "radius"});
    EXPECT_EQ(rotation.lines.value(0).section(' ', 0, 1), "delegate rotationView");
    EXPECT_GT(rotation.lines.value(0).section(' ', 2, 2).toDouble(), 0) << "turning on, not back by 340";
    EXPECT_EQ(rotation.lines.value(1), "radius=70");
    const DriveRun crop = drive({"--class", "QSCropView", "--size", "300x300", "--set", "activeAreaRatio=2", "--do", "press 150,150",
                                 "--do", "drag 10,150", "--print", "cropRectInView"});
    EXPECT_EQ(crop.lines, QStringList{"cropRectInView=(0,75,150,150)"});
}
