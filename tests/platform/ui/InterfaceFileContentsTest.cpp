#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"
#include "platform/ui/InterfaceLoader.h"

#include "support/PdfFixture.h"
#include "support/PipeWatch.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

using platform::InterfaceLoader;

namespace {

QByteArray windowWith(const QString &content)
{
    return QStringLiteral("<ui version=\"4.0\"><widget class=\"QWidget\" name=\"window\">%1</widget></ui>").arg(content).toUtf8();
}

QString label(const QString &property, const QString &value)
{
    return QStringLiteral("<widget class=\"QLabel\" name=\"label\"><property name=\"%1\">%2</property></widget>").arg(property, value);
}

QString richLabel(const QString &html)
{
    return label("text", "<string>" + html.toHtmlEscaped() + "</string>");
}

QString button(const QString &icon)
{
    return QStringLiteral("<widget class=\"QPushButton\" name=\"button\"><property name=\"icon\">%1</property></widget>").arg(icon);
}

bool writePicture(const QString &path, const QColor &color)
{
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(color);
    return picture.save(path, "PNG");
}

class InterfaceFileContentsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid() && elsewhere.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkdir("sub"));
        ASSERT_TRUE(writePicture(folder.filePath("red.png"), Qt::red));
        ASSERT_TRUE(writePicture(folder.filePath("sub/green.png"), Qt::green));
        ASSERT_TRUE(writePicture(elsewhere.filePath("private.png"), Qt::blue));
        ASSERT_TRUE(QFile::link(elsewhere.filePath("private.png"), folder.filePath("leaves.png")));
        ASSERT_TRUE(QFile::link(folder.filePath("red.png"), folder.filePath("stays.png")));
        ASSERT_TRUE(QFile::link(elsewhere.path(), folder.filePath("away")));
        ASSERT_TRUE(QFile::link(elsewhere.filePath("later.png"), folder.filePath("nowhere.png")));
    }

    QString at(const QString &name) const { return folder.filePath(name); }

    // Loads the file; on a refusal, the reason its "Error: " line gives.
    std::pair<std::unique_ptr<QWidget>, QString> load(const QByteArray &file)
    {
        const QString path = PdfFixture::write(folder.path(), "Form.ui", file);
        const qsizetype earlier = log.lines().size();
        std::unique_ptr<QWidget> root(InterfaceLoader::loadFile(path, nullptr));
        const QString refused = "Error: Interface file " + path + " is refused: ";
        for (const QString &line : log.lines().mid(earlier)) {
            if (line.startsWith(refused))
                return {std::move(root), line.mid(refused.size())};
        }
        return {std::move(root), QString()};
    }

    QTemporaryDir folder;
    QTemporaryDir elsewhere;
    platform::LogCapture log;
};

} // namespace

// Every kind of name a file gives Qt to read, naming a pipe, a place outside the file's folder and
// the application's resources, or a path Qt would look up in the working folder.
TEST_F(InterfaceFileContentsTest, FilesNamedOutsideTheirPlacesOrNotRegularAreRefusedUnread)
{
    const PipeWatch pipes({at("pipe.png"), at("pipe.css"), at("pipe.html"), at("sub/pipe.png"), at("twin@2x.png")});
    ASSERT_EQ(pipes.made(), 5);
    ASSERT_TRUE(writePicture(at("twin.png"), Qt::red));
    const QString pipe = at("pipe.png");
    struct Case { const char *what; QString content; QString reason; };
    const QList<Case> cases{
        {"a label's picture", label("pixmap", "<pixmap>pipe.png</pixmap>"), "the property \"pixmap\" of \"label\" names \"pipe.png\", which is no regular file"},
        {"a picture in a folder below", label("pixmap", "<pixmap>sub/pipe.png</pixmap>"), "names \"sub/pipe.png\", which is no regular file"},
        {"a picture by its whole path", label("pixmap", "<pixmap>" + pipe + "</pixmap>"), "which is no regular file"},
        {"an icon", button("<iconset><normaloff>pipe.png</normaloff></iconset>"), "the property \"icon\" of \"button\" names \"pipe.png\", which is no regular file"},
        {"an icon's state", button("<iconset><normaloff>red.png</normaloff><selectedon>pipe.png</selectedon></iconset>"), "names \"pipe.png\""},
        {"an icon of the older kind", button("<iconset>pipe.png</iconset>"), "names \"pipe.png\", which is no regular file"},
        {"a tab's icon",
         "<widget class=\"QTabWidget\" name=\"tabs\"><widget class=\"QWidget\" name=\"page\"><attribute name=\"icon\"><iconset><normaloff>pipe.png</normaloff></iconset></attribute></widget></widget>",
         "the property \"icon\" of \"page\" names \"pipe.png\""},
        {"a picture above the file's folder", label("pixmap", "<pixmap>../" + QFileInfo(elsewhere.path()).fileName() + "/private.png</pixmap>"),
         "which lies outside the interface file's folder and the application's resources"},
        {"a picture through a link that leads away", label("pixmap", "<pixmap>leaves.png</pixmap>"), "names \"leaves.png\", which lies outside"},
        {"a picture in a linked folder that leads away", label("pixmap", "<pixmap>away/private.png</pixmap>"), "names \"away/private.png\", which lies outside"},
        {"a link that leads outside to nothing yet", label("pixmap", "<pixmap>nowhere.png</pixmap>"), "names \"nowhere.png\", which lies outside"},
        {"a device", label("pixmap", "<pixmap>/dev/zero</pixmap>"), "names \"/dev/zero\", which lies outside"},
        {"a picture whose high-resolution twin is a pipe", label("pixmap", "<pixmap>twin.png</pixmap>"),
         "names \"twin.png\", whose version \"twin@2x.png\" for screens of a higher resolution is no regular file"},
        {"a theme icon that is a path", button("<iconset theme=\"../../../../" + pipe + "\"/>"), "names the theme icon \"../../../.."},
        {"a rich text's picture", richLabel("<b>Look</b><img src=\"" + pipe + "\">"), "the property \"text\" of \"label\" names \"" + pipe + "\", which is no regular file"},
        {"a rich text's picture by its other attribute", richLabel("<img source=\"" + pipe + "\">"), "which is no regular file"},
        {"a rich text's picture by a relative path", richLabel("<img src=\"pipe.png\">"), "names \"pipe.png\", which is neither an absolute path nor one of Qt's resources"},
        {"a rich text's picture as a file URL", richLabel("<img src=\"file://" + pipe + "\">"), "which is neither an absolute path"},
        {"a rich text's picture written with references", richLabel("<IMG SRC=\"" + QString(pipe).replace("pipe", "&#112;ipe") + "\">"), "which is no regular file"},
        {"a rich text's picture written with escapes", richLabel("<img src=\"" + QString(pipe).replace("pipe", "%70ipe") + "\">"), "which is no regular file"},
        {"a table cell's background", richLabel("<table><tr><td background=\"" + pipe + "\">x</td></tr></table>"), "which is no regular file"},
        {"a background in a style attribute", richLabel("<p style=\"background-image: url(" + pipe + ")\">x</p>"), "which is no regular file"},
        {"a background in a style element", richLabel("<style>p { background-image: url('" + pipe + "') }</style><p>x</p>"), "which is no regular file"},
        {"a linked style sheet", richLabel("<link rel=\"stylesheet\" type=\"text/css\" href=\"" + at("pipe.css") + "\"><p>x</p>"), "which is no regular file"},
        {"a tool tip's picture", label("toolTip", "<string>" + ("<img src=\"" + pipe + "\">").toHtmlEscaped() + "</string>"),
         "the property \"toolTip\" of \"label\" names"},
        {"a combo box item's picture",
         "<widget class=\"QComboBox\" name=\"box\"><item><property name=\"text\"><string>" + ("<img src=\"" + pipe + "\">").toHtmlEscaped() + "</string></property></item></widget>",
         "the property \"text\" of \"box\" names"},
        {"a Markdown picture",
         "<widget class=\"QLabel\" name=\"label\"><property name=\"textFormat\"><enum>Qt::MarkdownText</enum></property>"
         "<property name=\"text\"><string>![look](" + pipe + ")</string></property></widget>",
         "which is no regular file"},
        {"a text given as bytes", label("text", "<cstring>" + ("<img src=\"" + pipe + "\">").toHtmlEscaped() + "</cstring>"), "which is no regular file"},
        {"a style sheet's picture", label("styleSheet", "<string>QLabel { background-image: url(\"" + pipe + "\") }</string>"),
         "the property \"styleSheet\" of \"label\" names \"" + pipe + "\", which is no regular file"},
        {"a style sheet's picture by a relative path", label("styleSheet", "<string>QLabel { border-image: URL(pipe.png) }</string>"),
         "names \"pipe.png\", which is neither an absolute path"},
        {"a style sheet with an escape", label("styleSheet", "<string>QLabel { image: u\\72l(pipe.png) }</string>"), "holds a style sheet with an escape"},
        {"a text browser's page",
         "<widget class=\"QTextBrowser\" name=\"browser\"><property name=\"source\"><url><string>" + at("pipe.html") + "</string></url></property></widget>",
         "the property \"source\" of \"browser\" names \"" + at("pipe.html") + "\", which is no regular file"},
        {"a text browser's page given as text",
         "<widget class=\"QTextBrowser\" name=\"browser\"><property name=\"source\"><string>pipe.html</string></property></widget>",
         "names \"pipe.html\", which is neither an absolute path"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto [root, reason] = load(windowWith(c.content));
        EXPECT_EQ(root, nullptr);
        EXPECT_TRUE(reason.contains(c.reason)) << reason.toStdString();
    }
    EXPECT_EQ(pipes.opened(), QStringList()) << "a pipe was opened";

    // The interface file itself.
    const QString path = at("pipe.html");
    EXPECT_EQ(InterfaceLoader::loadFile(path, nullptr), nullptr);
    EXPECT_TRUE(log.contains("Warning: Interface file " + path + " could not be read: it is a pipe, no regular file"));
    EXPECT_EQ(pipes.opened(), QStringList()) << "a pipe was opened";
}

// Pictures inside the file's folder, below it, through a link that stays inside, and Qt's own
// resources still show.
TEST_F(InterfaceFileContentsTest, PicturesInsideTheirPlacesShow)
{
    struct Case { const char *what; QString content; QColor color; };
    const QList<Case> cases{
        {"beside the file", label("pixmap", "<pixmap>red.png</pixmap>"), Qt::red},
        {"in a folder below", label("pixmap", "<pixmap>sub/green.png</pixmap>"), Qt::green},
        {"down and up again", label("pixmap", "<pixmap>sub/../red.png</pixmap>"), Qt::red},
        {"through a link that stays inside", label("pixmap", "<pixmap>stays.png</pixmap>"), Qt::red},
        {"by its whole path", label("pixmap", "<pixmap>" + at("sub/green.png") + "</pixmap>"), Qt::green},
        {"in a rich text", richLabel("<img src=\"" + at("sub/green.png") + "\">"), Qt::green},
        {"as an icon", button("<iconset><normaloff>red.png</normaloff></iconset>"), Qt::red},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto [root, reason] = load(windowWith(c.content));
        ASSERT_NE(root, nullptr) << reason.toStdString();
        QImage shown;
        if (auto *button = root->findChild<QAbstractButton *>())
            shown = button->icon().pixmap(QSize(8, 6)).toImage();
        else if (auto *label = root->findChild<QLabel *>())
            shown = label->grab().toImage();
        ASSERT_FALSE(shown.isNull());
        bool found = false;
        for (int y = 0; y < shown.height() && !found; ++y) {
            for (int x = 0; x < shown.width() && !found; ++x)
                found = shown.pixelColor(x, y) == c.color;
        }
        EXPECT_TRUE(found) << "the picture does not show";
    }
    const auto [root, reason] = load(windowWith(richLabel("<img src=\":/qt-project.org/styles/commonstyle/images/file-16.png\">")));
    EXPECT_NE(root, nullptr) << reason.toStdString();
    // A picture that is not there yet, or a link inside that leads to nothing yet, shows nothing
    // and keeps no window from loading.
    ASSERT_TRUE(QFile::link(at("absent.png"), at("pending.png")));
    for (const QString name : {"absent.png", "pending.png"}) {
        SCOPED_TRACE(name.toStdString());
        const auto [missing, refused] = load(windowWith(label("pixmap", "<pixmap>" + name + "</pixmap>")));
        ASSERT_NE(missing, nullptr) << refused.toStdString();
        EXPECT_TRUE(missing->findChild<QLabel *>()->pixmap().isNull());
    }
}

namespace {

bool shows(const QImage &shown, const QColor &color)
{
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixelColor(x, y) == color)
                return true;
        }
    }
    return false;
}

} // namespace

// Qt's loader reads a picture only once it has made the widgets before the one that shows it: a
// picture swapped for a pipe in between (here while a widget of the file is made) is never
// opened. The window shows the pictures as they were when the file was checked, and an icon
// drawn later still finds its picture.
TEST_F(InterfaceFileContentsTest, APictureSwappedForAPipeOnceTheFileIsCheckedIsNeverOpened)
{
    ASSERT_TRUE(writePicture(at("swapped.png"), Qt::red));
    ASSERT_TRUE(writePicture(at("icon.png"), Qt::green));
    ASSERT_TRUE(writePicture(at("icon@2x.png"), Qt::green));
    struct Swap
    {
        QStringList paths;
        std::unique_ptr<PipeWatch> pipes;
    };
    const auto swap = std::make_shared<Swap>();
    swap->paths = {at("swapped.png"), at("icon.png"), at("icon@2x.png")};
    InterfaceLoader::registerFactory("PictureSwapper", [swap](QWidget *parent) -> QWidget * {
        for (const QString &path : std::as_const(swap->paths))
            QFile::remove(path);
        swap->pipes = std::make_unique<PipeWatch>(swap->paths);
        return new QWidget(parent);
    });
    auto [root, reason] = load(windowWith("<widget class=\"PictureSwapper\" name=\"swapper\"/>" + label("pixmap", "<pixmap>swapped.png</pixmap>")
                                          + button("<iconset><normaloff>icon.png</normaloff></iconset>")));
    ASSERT_NE(root, nullptr) << reason.toStdString();
    ASSERT_NE(swap->pipes, nullptr) << "the pictures were swapped while the file was loaded";
    EXPECT_EQ(swap->pipes->made(), 3);
    EXPECT_TRUE(shows(root->findChild<QLabel *>()->grab().toImage(), Qt::red));
    EXPECT_TRUE(shows(root->findChild<QAbstractButton *>()->icon().pixmap(QSize(16, 12), 2.0).toImage(), Qt::green));
    EXPECT_EQ(swap->pipes->opened(), QStringList()) << "a pipe was opened";
    swap->paths.clear();
    swap->pipes.reset();
    const QDir temporary(platform::TempFolder::path());
    EXPECT_EQ(temporary.entryList({"interface-pictures-*"}, QDir::Dirs).size(), 1);
    root.reset();
    EXPECT_EQ(temporary.entryList({"interface-pictures-*"}, QDir::Dirs), QStringList()) << "the copies go with the window";
}

namespace {

QString repeated(const QString &text, int times)
{
    QString all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

} // namespace

// Rich texts whose tables Qt would lay out for minutes, written every way Qt's HTML reader takes
// them; the text itself stays below the length a text may have.
TEST_F(InterfaceFileContentsTest, RichTextsWhoseTablesQtWouldLayOutForMinutesAreRefused)
{
    const QString cells = "brings the table cells of the file's rich texts past 1024";
    struct Case { const char *what; QString content; QString reason; };
    const QList<Case> cases{
        {"250 tables in each other", richLabel(repeated("<table><tr><td>", 250)), "the property \"text\" of \"label\" nests tables 250 deep, more than 4"},
        {"5 tables in each other", richLabel(repeated("<table><tr><td>", 5) + "x"), "nests tables 5 deep"},
        {"tables closed and opened again", richLabel(repeated("<table><tr><td>", 3) + "</table>" + repeated("<table><tr><td>", 3)), "nests tables 5 deep"},
        {"tables in capitals and with spaces", richLabel(repeated("< TABLE ><TR><Td>", 5)), "nests tables 5 deep"},
        {"tables written with references", richLabel(repeated("<t&#97;ble><tr><td>", 5)), "nests tables 5 deep"},
        {"tables in quotes", richLabel(repeated("<\"table\"><tr><td>", 5)), "nests tables 5 deep"},
        {"a cell outside any table", richLabel("<td>" + repeated("<table><tr><td>", 4)), "nests tables 5 deep"},
        {"a cell spanning 2,000 columns", richLabel("<table><tr><td colspan=\"2000\">x</table>"), cells},
        {"a span written with references", richLabel("<table><tr><td COLSPAN=&#50;000>x</table>"), cells},
        {"a span beside a space", richLabel("<table><tr><td colspan=\"&nbsp;2000\">x</table>"), cells},
        {"rows under a wide row", richLabel("<table><tr><td colspan=600>x<tr><td>y</table>"), cells},
        {"a cell spanning rows and columns", richLabel("<table><tr><td rowspan=2 colspan=520>x<tr><td>y</table>"), cells},
        {"300 cells in tables 3 deep", richLabel(repeated("<table><tr><td>", 3) + repeated("<td>", 300)), cells},
        {"cells of several labels", repeated(richLabel("<table><tr>" + repeated("<td>", 400) + "</table>"), 3), cells},
        {"a Markdown table of 600 rows", label("text", "<string>|a|b|\n|-|-|\n" + repeated("|x|y|\n", 600) + "</string>"), cells},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto [root, reason] = load(windowWith(c.content));
        EXPECT_EQ(root, nullptr);
        EXPECT_TRUE(reason.contains(c.reason)) << reason.toStdString();
    }
    // A comment hides what it holds, from Qt as from the check; within the bounds tables load.
    for (const QString &fine : {richLabel("<!-- " + repeated("<table><tr><td>", 9) + " -->" + repeated("<table><tr><td>", 4) + "x"),
                                richLabel("<table>" + repeated("<tr>" + repeated("<td>x</td>", 5) + "</tr>", 20) + "</table>"),
                                richLabel("<table><tr><td colspan=1000>x</table>")}) {
        const auto [root, reason] = load(windowWith(fine));
        EXPECT_NE(root, nullptr) << reason.toStdString();
    }
}

namespace {

QString textEdit(const QString &property, const QString &html)
{
    return QStringLiteral("<widget class=\"QTextEdit\" name=\"edit\"><property name=\"%1\"><string>%2</string></property></widget>")
        .arg(property, html.toHtmlEscaped());
}

} // namespace

// Rich texts that ask for a length Qt would lay out for ever, as an HTML attribute, in a style
// attribute or element, in a linked style sheet, or through Markdown, in a label or a text edit:
// each is refused naming the length; lengths up to the bound load and lay out.
TEST_F(InterfaceFileContentsTest, RichTextsWhoseLengthsQtWouldLayOutForEverAreRefused)
{
    const QString cell = "<tr><td>x</td></tr></table>";
    const QString wide = PdfFixture::write(folder.path(), "wide.css", "td { padding: 100000000px }");
    const QString asks = "the property \"text\" of \"label\" asks for a ";
    struct Case { const char *what; QString content; QString reason; };
    const QList<Case> cases{
        {"a cell padding", richLabel("<table cellpadding=\"100000000\">" + cell), asks + "cell padding of 1e+08, more than the 8192 points or percent"},
        {"a cell spacing", richLabel("<table cellspacing=\"100000000\">" + cell), asks + "cell spacing of 1e+08"},
        {"a padding in a style", richLabel("<table><tr><td style=\"padding: 100000000px\">x</td></tr></table>"), asks + "cell padding of 1e+08"},
        {"a padding in a style element", richLabel("<style>td { padding-left: 1e8px }</style><table>" + cell), asks + "cell padding of 1e+08"},
        {"a padding in a linked style sheet", richLabel("<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"" + wide + "\"></head><body><table>" + cell + "</body></html>"), asks + "cell padding of 1e+08"},
        {"a padding written with references", richLabel("<table cellpadding=\"&#49;00000000\">" + cell), asks + "cell padding of 1e+08"},
        {"a table's width", richLabel("<table width=\"900000\">" + cell), asks + "width of 900000"},
        {"a table's width in percent", richLabel("<table width=\"90000%\">" + cell), asks + "width of 90000"},
        {"a column's width", richLabel("<table><tr><td width=\"900000\">x</td></tr></table>"), asks + "column width of 900000"},
        {"a border", richLabel("<table border=\"100000000\">" + cell), asks + "border width of 1e+08"},
        {"a margin", richLabel("<p style=\"margin-top: 100000px\">x</p>"), asks + "margin of 100000"},
        {"a margin below 0", richLabel("<p style=\"margin-bottom: -100000px\">x</p>"), asks + "margin of -100000"},
        {"an indent", richLabel("<p style=\"text-indent: 20000px\">x</p>"), asks + "text indent of 20000"},
        {"indent steps", richLabel("<p style=\"-qt-block-indent: 300\">x</p>"), asks + "indent of 12000"},
        {"a line height", richLabel("<p style=\"line-height: 100000%\">x</p>"), asks + "line height of 100000"},
        {"a font size", richLabel("<span style=\"font-size: 100000pt\">x</span>"), asks + "font size of 100000"},
        {"a font size in pixels", richLabel("<span style=\"font-size: 100000px\">x</span>"), asks + "font size of 100000"},
        {"a letter spacing", richLabel("<span style=\"letter-spacing: 100000px\">x</span>"), asks + "letter spacing of 100000"},
        {"a picture's width", richLabel("<img src=\"" + at("red.png") + "\" width=\"100000\">"), asks + "picture width of 100000"},
        {"a rule's width", richLabel("<hr width=\"100000\">"), asks + "rule width of 100000"},
        {"a text edit's text", textEdit("html", "<table cellpadding=\"100000000\">" + cell), "the property \"html\" of \"edit\" asks for a cell padding of 1e+08"},
        {"a text edit's Markdown", textEdit("markdown", "# Title\n\n<table cellspacing=\"100000000\">" + cell),
         "the property \"markdown\" of \"edit\" asks for a cell spacing of 1e+08"},
        {"a tool tip", label("toolTip", "<string>" + QString("<p style=\"margin-left: 1e9px\">x</p>").toHtmlEscaped() + "</string>"),
         "the property \"toolTip\" of \"label\" asks for a margin of 1e+09"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto [root, reason] = load(windowWith(c.content));
        EXPECT_EQ(root, nullptr);
        EXPECT_TRUE(reason.startsWith(c.reason)) << reason.toStdString();
    }
    // At the bound a window still lays out and paints.
    for (const QString &fine : {richLabel("<table cellpadding=\"8192\" cellspacing=\"-8192\" border=\"8192\" width=\"100%\">" + cell),
                                richLabel("<p style=\"margin: 8192px; text-indent: 8192px; font-size: 8192px\">x</p>"),
                                richLabel("<p style=\"-qt-block-indent: 204\">x</p><ul><li>a</li></ul>"),
                                textEdit("html", "<table style=\"padding: 8192px\">" + cell)}) {
        SCOPED_TRACE(fine.toStdString());
        const auto [root, reason] = load(windowWith(fine));
        ASSERT_NE(root, nullptr) << reason.toStdString();
        root->resize(400, 300);
        EXPECT_FALSE(root->grab().isNull());
    }
}
