#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/InterfaceFileCheck.h"
#include "platform/ui/InterfaceFileContents.h"
#include "platform/ui/InterfaceLimits.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/View.h"

#include "support/MappedFiles.h"
#include "support/PdfFixture.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

using platform::InterfaceLoader;

namespace {

class Owner : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QPushButton *okButton MEMBER okButton)
    Q_PROPERTY(QLabel *note MEMBER note)
    Q_PROPERTY(QString userName READ userName WRITE setUserName NOTIFY userNameChanged)
    Q_PROPERTY(QString title MEMBER title)

public:
    QString userName() const { return m_userName; }
    void setUserName(const QString &name)
    {
        if (name == m_userName)
            return;
        m_userName = name;
        emit userNameChanged();
    }

    Q_INVOKABLE void setNameField(QLineEdit *field) { nameField = field; }
    Q_INVOKABLE void confirm(QObject *sender) { senders << sender; }
    Q_INVOKABLE void reset() { ++resets; }

    QPushButton *okButton = nullptr;
    QLabel *note = nullptr;
    QLineEdit *nameField = nullptr;
    QString title;
    QList<QObject *> senders;
    int resets = 0;

signals:
    void userNameChanged();

private:
    QString m_userName = "Ada";
};

const char *const windowFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Greeting</class>
 <widget class="platform::Window" name="window">
  <widget class="QWidget" name="centralwidget">
   <layout class="QVBoxLayout" name="layout">
    <item><widget class="QPushButton" name="okButton"><property name="action" stdset="0"><string>confirm</string></property></widget></item>
    <item><widget class="QPushButton" name="resetButton"><property name="action" stdset="0"><string>reset</string></property></widget></item>
    <item><widget class="QLineEdit" name="nameField"><property name="bind:text" stdset="0"><string>owner.userName</string></property></widget></item>
    <item><widget class="QCheckBox" name="welcomeBox"><property name="bind:checked" stdset="0"><string>values.ShowWelcomeAtStart</string></property></widget></item>
    <item><widget class="QPushButton" name="title"/></item>
    <item><widget class="QPushButton" name="note"/></item>
    <item><widget class="QPushButton" name="brokenButton"><property name="action" stdset="0"><string>launchRockets</string></property></widget></item>
    <item><widget class="QLabel" name="caption"><property name="bind:nonsense" stdset="0"><string>owner.userName</string></property></widget></item>
    <item><widget class="TestView" name="testView"/></item>
    <item><widget class="Enigma" name="enigma"/></item>
   </layout>
  </widget>
  <action name="saveAction"><property name="action" stdset="0"><string>confirm</string></property></action>
 </widget>
</ui>
)";

class InterfaceLoaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InterfaceLoader::registerClass<platform::View>("TestView");
        ASSERT_FALSE(PdfFixture::write(folder.path(), "Greeting.ui", windowFile).isEmpty());
    }

    std::unique_ptr<QWidget> load()
    {
        return std::unique_ptr<QWidget>(InterfaceLoader::load("Greeting", &owner, platform::Bundle::bundleWithPath(folder.path())));
    }

    QTemporaryDir folder;
    Owner owner;
    platform::LogCapture log;
};

} // namespace

TEST_F(InterfaceLoaderTest, RegisteredClassesAreBuiltByNameUnknownOnesAsPlainWidgetsAndOutletsAndActionsReachTheOwner)
{
    const auto root = load();
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root->findChild<platform::View *>("testView"), nullptr);
    EXPECT_STREQ(root->findChild<QWidget *>("enigma")->metaObject()->className(), "QWidget");
    EXPECT_TRUE(log.contains("Warning: Unknown class \"Enigma\" of \"enigma\" in Greeting.ui"));

    auto *ok = root->findChild<QPushButton *>("okButton");
    EXPECT_EQ(owner.okButton, ok) << "a property";
    EXPECT_EQ(owner.nameField, root->findChild<QLineEdit *>("nameField")) << "a setter";
    EXPECT_EQ(owner.note, nullptr);
    EXPECT_TRUE(log.contains("Warning: Outlet \"note\" of Owner \"\" does not take QPushButton"));
    EXPECT_EQ(owner.title, "") << "a text property of the same name is no outlet";

    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(owner.senders, QList<QObject *>{ok});
    root->findChild<QPushButton *>("resetButton")->click();
    EXPECT_EQ(owner.resets, 1) << "an operation without the sender";
    auto *save = root->findChild<QAction *>("saveAction");
    ASSERT_NE(save, nullptr);
    save->trigger();
    EXPECT_EQ(owner.senders.last(), save);
    root->findChild<QPushButton *>("brokenButton")->click();
    EXPECT_TRUE(log.contains("Warning: Unknown operation \"launchRockets\" of Owner \"\" for the action of "
                             "QPushButton \"brokenButton\""));
}

TEST_F(InterfaceLoaderTest, BoundControlsFollowTheirModelOrTheUserDefaultsAndWriteEditsBack)
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->registerDefaults({{"ShowWelcomeAtStart", true}});
    defaults->removeObjectForKey("ShowWelcomeAtStart");
    const auto root = load();
    ASSERT_NE(root, nullptr);
    auto *field = root->findChild<QLineEdit *>("nameField");
    owner.setUserName("Grace");
    EXPECT_EQ(field->text(), "Grace");
    field->setText("Lin");
    EXPECT_EQ(owner.userName(), "Lin");
    EXPECT_TRUE(log.contains("Warning: Unknown binding key \"nonsense\" of QLabel \"caption\""));

    auto *box = root->findChild<QCheckBox *>("welcomeBox");
    EXPECT_TRUE(box->isChecked());
    box->click();
    EXPECT_FALSE(defaults->boolForKey("ShowWelcomeAtStart"));
    defaults->removeObjectForKey("ShowWelcomeAtStart");
}

TEST_F(InterfaceLoaderTest, AMissingFileIsAWarningAndNoWidget)
{
    EXPECT_EQ(InterfaceLoader::load("Nowhere", &owner, platform::Bundle::bundleWithPath(folder.path())), nullptr);
    EXPECT_TRUE(log.contains("Warning: No interface file Nowhere.ui in " + folder.path()));
    const QString nowhere = folder.filePath("Nowhere.ui");
    EXPECT_EQ(InterfaceLoader::loadFile(nowhere, &owner), nullptr);
    EXPECT_TRUE(log.contains("Warning: Interface file " + nowhere + " could not be read: No such file or directory"));

    const QString broken = PdfFixture::write(folder.path(), "Broken.ui", "<ui version=\"4.0\"><widget");
    EXPECT_EQ(InterfaceLoader::loadFile(broken, &owner), nullptr);
    EXPECT_TRUE(log.contains("Warning: Interface file " + broken + " could not be loaded"));
}

// Qt's loader would load every Qt Designer plugin it finds (Qt Quick's, the web engine's), whose
// classes no interface file names; the application's library paths stay as they were.
TEST_F(InterfaceLoaderTest, LoadingAFileLoadsNoDesignerPlugins)
{
    const QStringList libraryPaths = QCoreApplication::libraryPaths();
    const QString path = PdfFixture::write(folder.path(), "Plain.ui", R"(<ui version="4.0">
 <widget class="platform::Window" name="window">
  <widget class="QLabel" name="label"><property name="text"><string>Plain</string></property></widget>
  <widget class="NoSuchView" name="unknown"/>
 </widget>
</ui>)");
    std::unique_ptr<QWidget> window(InterfaceLoader::loadFile(path, &owner));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(QCoreApplication::libraryPaths(), libraryPaths);
    const QByteArray mapped = mappedFiles();
    ASSERT_FALSE(mapped.isEmpty());
    EXPECT_FALSE(mapped.contains("/designer/")) << "a Qt Designer plugin was loaded";
    EXPECT_FALSE(mapped.contains("libQt6Quick")) << "Qt Quick was loaded";
}

// Hostile files, made here: a window too wide for Qt to paint, views placed where sums overflow.
TEST_F(InterfaceLoaderTest, GeometryBeyondWhatAWindowCanShowIsKeptInAndTheWindowPaints)
{
    using platform::InterfaceLimits::MaxExtent;
    const QString path = PdfFixture::write(folder.path(), "Wide.ui", R"(<ui version="4.0">
 <widget class="platform::Window" name="window">
  <property name="geometry"><rect><x>0</x><y>0</y><width>16777215</width><height>120</height></rect></property>
  <widget class="platform::View" name="board">
   <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>2147483647</height></rect></property>
   <widget class="platform::View" name="far">
    <property name="geometry"><rect><x>-2147483648</x><y>2147483000</y><width>40</width><height>30</height></rect></property>
   </widget>
   <widget class="QLabel" name="label">
    <property name="minimumSize"><size><width>2147483647</width><height>10</height></size></property>
   </widget>
   <widget class="platform::View" name="corner">
    <property name="geometry"><rect><x>2147483647</x><y>2147483647</y><width>100</width><height>50</height></rect></property>
   </widget>
  </widget>
 </widget>
</ui>)");
    std::unique_ptr<QWidget> window(InterfaceLoader::loadFile(path, &owner));
    ASSERT_TRUE(window);
    auto *board = window->findChild<platform::View *>("board");
    auto *far = window->findChild<platform::View *>("far");
    ASSERT_TRUE(board && far);
    ASSERT_EQ(window->width(), MaxExtent);
    EXPECT_EQ(board->height(), MaxExtent);
    EXPECT_EQ(far->geometry(), QRect(-MaxExtent, MaxExtent, 40, 30));
    EXPECT_EQ(window->findChild<QLabel *>("label")->minimumWidth(), MaxExtent);
    EXPECT_EQ(window->findChild<platform::View *>("corner")->geometry(), QRect(MaxExtent, MaxExtent, 100, 50))
        << "its far edges lay past 2^31 - 1";
    EXPECT_TRUE(log.contains("Warning: The geometry of \"window\" in Wide.ui lay beyond what a window can show"));

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_FALSE(window->grab().isNull());
    const int fromBottom = board->height() - far->y();
    board->setFrame(QRectF(0, 0, 300, 100));
    EXPECT_EQ(board->height() - far->y(), fromBottom) << "the y-up view keeps its subview's distance from its bottom";
}

TEST_F(InterfaceLoaderTest, MarginsAndSpacingBeyondReasonAreKeptInAndTheLayoutSettles)
{
    using platform::InterfaceLimits::MaxSpacing;
    const char *const most = "<number>2147483647</number>";
    const QString path = PdfFixture::write(folder.path(), "Spread.ui", QStringLiteral(R"(<ui version="4.0">
 <widget class="platform::Window" name="window">
  <widget class="QWidget" name="content">
   <layout class="QVBoxLayout" name="column">
    <property name="leftMargin">%1</property><property name="topMargin">%1</property>
    <property name="rightMargin">%1</property><property name="bottomMargin">%1</property>
    <property name="spacing">%1</property>
    <item><widget class="QPushButton" name="first"/></item>
    <item>
     <layout class="QGridLayout" name="grid">
      <property name="horizontalSpacing">%1</property><property name="verticalSpacing">%1</property>
      <item row="0" column="0"><widget class="QLabel" name="a"/></item>
      <item row="1" column="1"><widget class="QLabel" name="b"/></item>
     </layout>
    </item>
    <item><spacer name="gap"><property name="orientation"><enum>Qt::Vertical</enum></property>
     <property name="sizeHint" stdset="0"><size><width>2147483647</width><height>2147483647</height></size></property></spacer></item>
   </layout>
  </widget>
 </widget>
</ui>)").arg(QLatin1String(most)).toUtf8());
    std::unique_ptr<QWidget> window(InterfaceLoader::loadFile(path, &owner));
    ASSERT_TRUE(window);
    auto *column = window->findChild<QVBoxLayout *>("column");
    auto *grid = window->findChild<QGridLayout *>("grid");
    ASSERT_TRUE(column && grid);
    ASSERT_EQ(column->contentsMargins(), QMargins(MaxSpacing, MaxSpacing, MaxSpacing, MaxSpacing));
    ASSERT_EQ(column->spacing(), MaxSpacing);
    ASSERT_EQ(grid->horizontalSpacing(), MaxSpacing);
    ASSERT_EQ(grid->verticalSpacing(), MaxSpacing);
    QSpacerItem *gap = column->itemAt(2)->spacerItem();
    ASSERT_TRUE(gap);
    ASSERT_EQ(gap->sizeHint(), QSize(platform::InterfaceLimits::MaxExtent, platform::InterfaceLimits::MaxExtent));
    EXPECT_TRUE(log.contains("Warning: The margins or spacing of \"column\" in Spread.ui"));

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QPushButton *first = window->findChild<QPushButton *>("first");
    EXPECT_EQ(first->mapTo(window.get(), QPoint()).x(), MaxSpacing) << "laid out within its margins";
}

TEST_F(InterfaceLoaderTest, AWidgetClassWhereALayoutBelongsRefusesTheFile)
{
    // Where the layout lies: Qt's loader treats the root's layout, a child widget's and a nested
    // one each its own way.
    const QStringList places{
        R"(<widget class="QWidget" name="window">%1</widget>)",
        R"(<widget class="QWidget" name="window"><widget class="QWidget" name="child">%1</widget></widget>)",
        R"(<widget class="QWidget" name="window"><layout class="QHBoxLayout" name="outer"><item>%1</item></layout></widget>)",
        R"(<widget class="QMainWindow" name="window"><widget class="QWidget" name="central">%1</widget></widget>)",
    };
    for (const char *className : {"QPushButton", "platform::View", "TestView", "Enigma", "NoSuchLayout"}) {
        for (const QString &place : places) {
            SCOPED_TRACE(std::string(className) + " in " + place.toStdString());
            const QString layout = QStringLiteral(R"(<layout class="%1" name="rows"><item><widget class="QLabel" name="label"/></item></layout>)")
                                       .arg(QLatin1String(className));
            const QString path = PdfFixture::write(folder.path(), "Misfit.ui", ("<ui version=\"4.0\">" + place.arg(layout) + "</ui>").toUtf8());
            EXPECT_EQ(InterfaceLoader::loadFile(path, &owner), nullptr);
            EXPECT_TRUE(log.contains(QStringLiteral("Error: The class \"%1\" of \"rows\" in Misfit.ui is no layout").arg(QLatin1String(className))));
        }
    }
}

namespace {

QString repeated(const QString &text, int times, const std::function<QString(int)> &each = {})
{
    QString all;
    for (int i = 0; i < times; ++i)
        all += each ? each(i) : text;
    return all;
}

QByteArray windowWith(const QString &content, const QString &customWidgets = {})
{
    return QStringLiteral("<ui version=\"4.0\"><widget class=\"QWidget\" name=\"window\">%1</widget>"
                          "<customwidgets>%2</customwidgets></ui>")
        .arg(content, customWidgets)
        .toUtf8();
}

QString customWidget(const QString &name, const QString &extends)
{
    return QStringLiteral("<customwidget><class>%1</class><extends>%2</extends></customwidget>").arg(name, extends);
}

QString gridItem(const QString &layoutClass, const QString &position)
{
    return QStringLiteral("<layout class=\"%1\" name=\"grid\"><item %2><widget class=\"QLabel\" name=\"label\"/></item></layout>")
        .arg(layoutClass, position);
}

QString table(const QString &tableClass, const QString &counts)
{
    return QStringLiteral("<widget class=\"%1\" name=\"table\">%2</widget>").arg(tableClass, counts);
}

QString lineEdit(const QString &mask, const QString &text)
{
    return QStringLiteral("<widget class=\"QLineEdit\" name=\"code\"><property name=\"inputMask\"><string>%1</string></property>"
                          "<property name=\"text\"><string>%2</string></property></widget>")
        .arg(mask, text);
}

// A count set as Qt's loader takes it: in any kind of value, which it converts to a number.
QString count(const char *property, qint64 value, const QString &kind = QStringLiteral("number"))
{
    return QStringLiteral("<property name=\"%1\"><%2>%3</%2></property>").arg(QLatin1String(property), kind).arg(value);
}

} // namespace

// Hostile files, made here: each would crash Qt's loader or keep it busy for minutes, and each is
// refused before Qt reads it.
TEST_F(InterfaceLoaderTest, FilesThatWouldCrashOrHangQtsLoaderAreRefusedBeforeItSeesThem)
{
    const int deep = 30000;
    const qint64 most = 2147483647;
    struct Case { const char *what; QByteArray file; QString error; };
    const QList<Case> cases{
        {"classes extending each other", windowWith("<widget class=\"Alpha\" name=\"a\"/>", customWidget("Alpha", "Beta") + customWidget("Beta", "Alpha")),
         "its classes extend each other in a circle: Alpha → Beta → Alpha"},
        {"a class extending itself", windowWith("<widget class=\"Alpha\" name=\"a\"/>", customWidget("Alpha", "Alpha")),
         "its classes extend each other in a circle: Alpha → Alpha"},
        {"classes extending each other in a long row",
         windowWith("<widget class=\"C0\" name=\"a\"/>", repeated({}, 200, [](int i) { return customWidget(QStringLiteral("C%1").arg(i), QStringLiteral("C%1").arg(i + 1)); })),
         "the class \"C0\" extends more than 128 classes in a row"},
        {"a grid row of 2^31 - 1", windowWith(gridItem("QGridLayout", "row=\"2147483647\" column=\"0\"")), "lies at row 2147483647, column 0"},
        {"a negative grid position", windowWith(gridItem("QGridLayout", "row=\"-3\" column=\"-7\"")), "lies at row -3, column -7"},
        {"a span past the grid's end", windowWith(gridItem("QGridLayout", "row=\"1\" column=\"8000\" rowspan=\"1\" colspan=\"500\"")), "spanning 1 by 500"},
        {"a span of none", windowWith(gridItem("QGridLayout", "row=\"1\" column=\"1\" rowspan=\"0\"")), "spanning 0 by 1"},
        {"a form row of 2^31 - 1", windowWith(gridItem("QFormLayout", "row=\"2147483647\" column=\"1\"")), "lies at row 2147483647, column 1"},
        {"stretch factors for 10,000 rows", windowWith(QStringLiteral("<layout class=\"QGridLayout\" name=\"grid\" rowstretch=\"%1\"/>").arg(repeated("1,", 10000) + "1")),
         "the layout \"grid\" gives its rowstretch for more than the 8192 rows or columns"},
        {"a table of 2^31 - 1 rows", windowWith(table("QTableWidget", count("rowCount", most) + count("columnCount", 2))), "\"table\" asks for 2147483647 rows and 2 columns"},
        {"a tree of 2^31 - 1 columns", windowWith(table("QTreeWidget", count("columnCount", most))), "\"table\" asks for 0 rows and 2147483647 columns"},
        {"a table of 300 by 300 cells", windowWith(table("QTableWidget", count("rowCount", 300) + count("columnCount", 300))), "asks for 300 rows and 300 columns"},
        {"a table listing 10,000 rows", windowWith(table("QTableWidget", repeated("<row/>", 10000))), "asks for 10000 rows"},
        {"widgets nested 30,000 deep", windowWith(repeated("<widget class=\"QWidget\">", deep) + repeated("</widget>", deep)), "its elements nest more than 128 deep"},
        {"tree items nested 30,000 deep", windowWith(table("QTreeWidget", repeated("<item>", deep) + repeated("</item>", deep))), "its elements nest more than 128 deep"},
        // Qt's loader matches element names whatever their case.
        {"a table spelled in capitals", windowWith("<WIDGET class=\"QTableWidget\" name=\"table\"><Property name=\"rowCount\"><Number>123456</Number></Property></WIDGET>"),
         "\"table\" asks for 123456 rows"},
        {"a grid spelled in capitals", windowWith("<Layout class=\"QGridLayout\" name=\"grid\"><Item row=\"9000\" column=\"0\"><widget class=\"QLabel\" name=\"label\"/></Item></Layout>"),
         "lies at row 9000, column 0"},
        {"table rows listed in capitals", windowWith(table("QTableWidget", repeated("<ROW/>", 10000))), "asks for 10000 rows"},
        {"classes extending each other in capitals", windowWith("<widget class=\"Alpha\" name=\"a\"/>", "<CustomWidget><Class>Alpha</Class><EXTENDS>Alpha</EXTENDS></CustomWidget>"),
         "its classes extend each other in a circle: Alpha → Alpha"},
        // Qt's loader converts a value of any kind to the count, rounding a fraction and wrapping
        // what lies past int's range.
        {"a count given as text", windowWith(table("QTableWidget", count("rowCount", 123457, "string"))), "asks for 123457 rows"},
        {"a count given as an unsigned number", windowWith(table("QTableWidget", count("columnCount", 123458, "uint"))), "asks for 0 rows and 123458 columns"},
        {"a count given as a fraction", windowWith(table("QTableWidget", "<property name=\"rowCount\"><double>123458.6</double></property>")), "asks for 123459 rows"},
        {"a count far below 0 that wraps to one far above",
         windowWith(table("QTableWidget", count("rowCount", -(qint64(1) << 32) + 123456, "longlong"))), "asks for 4294843840 rows"},
        {"a count past every number, then one row more",
         windowWith(table("QTableWidget", "<property name=\"rowCount\"><number>1e308</number></property><row/>")),
         "asks for 9223372036854775807 rows"},
        {"a count past every number, then one column more",
         windowWith(table("QTableWidget", "<property name=\"columnCount\"><double>-1e308</double></property><column/><column/>")),
         "asks for 0 rows and 9223372036854775807 columns"},
        {"a count given as a character", windowWith(table("QTableWidget", "<property name=\"rowCount\"><char><unicode>6<!-- -->0000</unicode></char></property>")),
         "asks for 60000 rows"},
        // Qt's line edit matches its text to its mask in time that grows with the square of their lengths.
        {"an input mask of 30,000 characters", windowWith(lineEdit(QString(30000, '9'), QString(30000, 'x'))),
         "the property \"inputMask\" of \"code\" holds a text of 30000 characters, more than the 4096 a text may hold"},
        {"a text in pieces between comments", windowWith(lineEdit("999", repeated("xxxxxxxx<!-- -->", 600))),
         "the property \"text\" of \"code\" holds a text of 4800 characters"},
        {"a class name of 5,000 characters", windowWith("<widget class=\"QWidget\" name=\"a\"/>", customWidget(QString(5000, 'C'), "QLabel")),
         "the element \"class\" holds a text of 5000 characters"},
        // Qt keeps every object, item and character of a file for as long as its window lives.
        {"2,000 line edits with masks of 4,000 characters", windowWith(repeated({}, 2000, [](int) { return lineEdit(QString(4000, '9'), {}); })),
         "it is larger than 1048576 bytes"},
        {"20 line edits with masks of 4,000 characters", windowWith(repeated({}, 20, [](int) { return lineEdit(QString(4000, '9'), {}); })),
         "its texts hold more than 65536 characters in all"},
        {"a combo box of 100,000 items",
         windowWith(table("QComboBox", repeated({}, 100000, [](int i) { return QStringLiteral("<item><property name=\"text\"><string>%1</string></property></item>").arg(i); }))),
         "it is larger than 1048576 bytes"},
        {"a combo box of 5,000 items", windowWith(table("QComboBox", repeated("<item/>", 5000))), "its views list more than 4096 items"},
        {"tree items nested in each other", windowWith(table("QTreeWidget", repeated("<item><item/><item/></item>", 1500))), "its views list more than 4096 items"},
        {"3,000 labels", windowWith(repeated("<widget class=\"QLabel\"/>", 3000)), "it makes more than 2048 widgets, layouts, spacers and actions"},
        {"3,000 separators added to a menu", windowWith(table("QMenu", repeated("<addaction name=\"separator\"/>", 3000))),
         "it makes more than 2048 widgets, layouts, spacers and actions"},
        {"20,000 entries of the stacking order", windowWith(repeated("<zorder/>", 20000)), "it holds more than 16384 elements"},
        {"a widget given a second layout",
         windowWith("<layout class=\"QVBoxLayout\" name=\"rows\"/><widget class=\"QLabel\" name=\"label\"/><layout class=\"QHBoxLayout\" name=\"columns\"/>"),
         "the widget \"window\" is given a second layout \"columns\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = PdfFixture::write(folder.path(), "Hostile.ui", c.file);
        EXPECT_EQ(InterfaceLoader::loadFile(path, &owner), nullptr);
        const QStringList lines = log.lines();
        const bool told = std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) {
            return line.startsWith("Error: Interface file " + path + " is refused: ") && line.contains(c.error);
        });
        EXPECT_TRUE(told) << lines.join('\n').right(600).toStdString();
        for (const QString &line : lines)
            EXPECT_FALSE(line.startsWith("Warning: Unknown class")) << "Qt's loader was not to see the file: " << line.toStdString();
    }
    // Within the bounds the same shapes load.
    for (const QByteArray &fine : {windowWith(gridItem("QGridLayout", "row=\"8190\" column=\"3\" rowspan=\"2\"")),
                                   windowWith(lineEdit("999", QString(4096, 'x'))),
                                   windowWith("<layout class=\"QVBoxLayout\" name=\"rows\"><item><layout class=\"QHBoxLayout\" name=\"inner\"/></item></layout>"),
                                   windowWith(table("QTableWidget", count("rowCount", 256) + count("columnCount", 256))),
                                   windowWith(table("QComboBox", repeated("<item/>", 4096)) + repeated("<widget class=\"QLabel\"/>", 2046)),
                                   windowWith(table("QTableWidget", count("rowCount", -256, "longlong") + count("columnCount", 256, "string"))),
                                   windowWith("<widget class=\"Alpha\" name=\"a\"/>", customWidget("Alpha", "Beta") + customWidget("Beta", "QLabel"))}) {
        const QString path = PdfFixture::write(folder.path(), "Fine.ui", fine);
        EXPECT_NE(std::unique_ptr<QWidget>(InterfaceLoader::loadFile(path, &owner)), nullptr) << fine.left(200).toStdString();
    }
    // A reasonable mask keeps its text to its shape.
    const QString path = PdfFixture::write(folder.path(), "Address.ui", windowWith(lineEdit("000.000.000.000;_", "192168001001")));
    const std::unique_ptr<QWidget> window(InterfaceLoader::loadFile(path, &owner));
    ASSERT_NE(window, nullptr);
    auto *code = window->findChild<QLineEdit *>("code");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->inputMask(), "000.000.000.000;_");
    EXPECT_EQ(code->text(), "192.168.001.001");
}

namespace {

QString layoutOf(const QString &layoutClass, const QStringList &positions)
{
    QString items;
    for (qsizetype i = 0; i < positions.size(); ++i)
        items += QStringLiteral("<item %1><widget class=\"QLabel\" name=\"label%2\"/></item>").arg(positions[i]).arg(i);
    return QStringLiteral("<layout class=\"%1\" name=\"cells\">%2</layout>").arg(layoutClass, items);
}

} // namespace

// Qt's loader loses an item put into a cell its form has filled already (a leak of its own objects,
// which LeakSanitizer reports): such a file is refused before Qt reads it. A grid lays the items
// of one cell over each other and loses none: it loads, as the shipped windows that lay shadows
// over a view do.
TEST_F(InterfaceLoaderTest, FormItemsSharingACellAreRefusedAndGridItemsLieOverEachOther)
{
    struct Case { const char *what; QString layout; QString error; };
    const QList<Case> cases{
        {"two labels of one row", layoutOf("QFormLayout", {"row=\"0\" column=\"0\"", "row=\"0\" column=\"0\""}),
         "two items of the form layout \"cells\" take the label of row 0"},
        {"two items without a place", layoutOf("QFormLayout", {"", ""}), "take the label of row 0"},
        {"fields in any column but the first", layoutOf("QFormLayout", {"row=\"1\" column=\"1\"", "row=\"1\" column=\"5\""}), "take the field of row 1"},
        {"a row spanning both columns over its field", layoutOf("QFormLayout", {"row=\"4\" column=\"1\"", "row=\"4\" column=\"0\" colspan=\"2\""}),
         "take the field of row 4"},
        {"a field over a row spanning both columns", layoutOf("QFormLayout", {"row=\"4\" column=\"0\" colspan=\"3\"", "row=\"4\" column=\"0\""}),
         "take the label of row 4"},
        {"a form inside a box", "<layout class=\"QVBoxLayout\" name=\"rows\"><item>" + layoutOf("QFormLayout", {"row=\"2\"", "row=\"2\""}) + "</item></layout>",
         "take the label of row 2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = PdfFixture::write(folder.path(), "Crowded.ui", windowWith(c.layout));
        EXPECT_EQ(InterfaceLoader::loadFile(path, &owner), nullptr);
        const QStringList lines = log.lines();
        EXPECT_TRUE(std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) {
            return line.startsWith("Error: Interface file " + path + " is refused: ") && line.contains(c.error);
        })) << lines.join('\n').right(400).toStdString();
    }
    // A form's label and field, rows of their own, the same cells of two forms, and grid items
    // over each other load, each item in its place (a form's role as its column).
    const QList<std::pair<QString, QList<QPoint>>> fine{
        {layoutOf("QFormLayout", {"row=\"0\" column=\"0\"", "row=\"0\" column=\"1\"", "row=\"1\" column=\"0\" colspan=\"2\"", "row=\"2\" column=\"7\""}),
         {{0, 0}, {1, 0}, {2, 1}, {1, 2}}},
        {layoutOf("QGridLayout", {"row=\"0\" column=\"0\"", "row=\"0\" column=\"0\"", "row=\"0\" column=\"0\" rowspan=\"2\" colspan=\"2\"", "row=\"1\" column=\"1\""}),
         {{0, 0}, {0, 0}, {0, 0}, {1, 1}}},
        {"<layout class=\"QVBoxLayout\" name=\"rows\"><item>" + layoutOf("QFormLayout", {"row=\"0\""}) + "</item><item>"
             + layoutOf("QFormLayout", {"row=\"0\""}).replace("label0", "other0") + "</item></layout>",
         {}},
    };
    for (const auto &[layout, places] : fine) {
        SCOPED_TRACE(layout.toStdString());
        const QString path = PdfFixture::write(folder.path(), "Tidy.ui", windowWith(layout));
        const std::unique_ptr<QWidget> window(InterfaceLoader::loadFile(path, &owner));
        ASSERT_NE(window, nullptr);
        for (qsizetype i = 0; i < places.size(); ++i) {
            QWidget *label = window->findChild<QWidget *>(QStringLiteral("label%1").arg(i));
            ASSERT_NE(label, nullptr);
            QPoint place(-1, -1);
            if (auto *grid = qobject_cast<QGridLayout *>(window->layout())) {
                int rows = 0, columns = 0;
                grid->getItemPosition(grid->indexOf(label), &place.ry(), &place.rx(), &rows, &columns);
            } else if (auto *form = qobject_cast<QFormLayout *>(window->layout())) {
                QFormLayout::ItemRole role = QFormLayout::LabelRole;
                form->getWidgetPosition(label, &place.ry(), &role);
                place.rx() = int(role);
            }
            EXPECT_EQ(place, places[i]) << i;
        }
    }
}

// The bounds lie far beyond what the application's own files ask for.
TEST_F(InterfaceLoaderTest, EveryShippedInterfaceFilePassesTheChecks)
{
    const QDir resources(platform::Bundle::mainBundle()->bundlePath());
    const QStringList files = resources.entryList({"*.ui"}, QDir::Files);
    ASSERT_GE(files.size(), 18);
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(resources.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(platform::InterfaceFileCheck::refusal(bytes), QString());
        EXPECT_EQ(platform::InterfaceFileContents::refusal(bytes, platform::InterfaceFilePlaces::of(file.fileName())), QString());
    }
}

#include "InterfaceLoaderTest.moc"
