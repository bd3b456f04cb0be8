#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/View.h"

#include "support/PdfFixture.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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

    const QString broken = PdfFixture::write(folder.path(), "Broken.ui", "<ui version=\"4.0\"><widget");
    EXPECT_EQ(InterfaceLoader::loadFile(broken, &owner), nullptr);
    EXPECT_TRUE(log.contains("Warning: Interface file " + broken + " could not be loaded"));
}

#include "InterfaceLoaderTest.moc"
