#include "RQS-Kit/Controls/KitClasses.h"
#include "platform/ui/InterfaceLoader.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMetaProperty>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

// A property that cannot be read is no property to Qt's tools: what a file set shows nowhere.
// Every kit class an interface file can make is walked, so that a class added later is too.
TEST(KitProperties, EveryPropertyOfAKitClassCanBeRead)
{
    rqs::registerKitClasses();
    int walked = 0;
    for (const QString &name : platform::InterfaceLoader::registeredClassNames()) {
        const std::unique_ptr<QWidget> made(platform::InterfaceLoader::make(name));
        ASSERT_TRUE(made) << name.toStdString();
        const QMetaObject *meta = made->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i)
            EXPECT_TRUE(meta->property(i).isReadable()) << name.toStdString() << "." << meta->property(i).name();
        ++walked;
    }
    EXPECT_GE(walked, 40);
}

// What an interface file sets as text reads back as the control holds it: colours as the kit
// describes them ("r g b a"), insets in the file's order (bottom, left, top, right).
TEST(KitProperties, TextsAnInterfaceFileSetsReadBackAsTheControlHoldsThem)
{
    rqs::registerKitClasses();
    const struct { const char *className, *property, *set, *read; } cases[] = {
        {"QSButton", "textColorName", "#ff0000", "1.000000 0.000000 0.000000 1.000000"},
        {"QSButton", "textShadowName", "TextWhite0px", "TextWhite0px"},
        {"QSImageView", "opacityString", "0.35", "0.35"},
        {"QSListView", "lastLineColorName", "#00ff00", "0.000000 1.000000 0.000000 1.000000"},
        {"QSSlider", "insetsString", "1 2 3 4", "1 2 3 4"},
        {"QSSlider", "boxInsetsString", "2.5", "2.5 0 0 0"},
        {"QSSlider", "outlineColorName", "0 0 1 1", "0.000000 0.000000 1.000000 1.000000"},
        {"QSSlider", "backgroundColorName", "#ff000080", "1.000000 0.000000 0.000000 0.501961"},
        // The box draws by its intensities; a colour it is given names none.
        {"QSShapedBox", "outlineColorName", "#ff0000", ""},
        {"QSShapedBox", "backgroundColorName", "0 0 1 1", ""},
    };
    QTemporaryDir folder;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.className) + "." + c.property);
        QFile file(folder.filePath(QStringLiteral("%1-%2.ui").arg(c.className, c.property)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <widget class="platform::View" name="root">
  <widget class="%1" name="control">
   <property name="%2"><string>%3</string></property>
  </widget>
 </widget>
</ui>
)")
                       .arg(c.className, c.property, c.set)
                       .toUtf8());
        file.close();
        const std::unique_ptr<QWidget> root(platform::InterfaceLoader::loadFile(file.fileName(), nullptr));
        ASSERT_TRUE(root);
        const QWidget *control = root->findChild<QWidget *>(QStringLiteral("control"));
        ASSERT_TRUE(control);
        EXPECT_TRUE(control->dynamicPropertyNames().isEmpty()) << "the class takes it as its own";
        EXPECT_EQ(control->property(c.property).toString().toStdString(), c.read);
    }
}
