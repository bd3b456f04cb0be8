#include "platform/ui/InterfaceLoader.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RegularFile.h"
#include "platform/ui/Control.h"
#include "platform/ui/InterfaceConnector.h"
#include "platform/ui/InterfaceFileCheck.h"
#include "platform/ui/InterfaceFileContents.h"
#include "platform/ui/InterfaceLimits.h"
#include "platform/ui/InterfacePictures.h"
#include "platform/ui/Popover.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUiLoader>

namespace platform {

namespace {

QHash<QString, InterfaceLoader::Factory> &factories()
{
    static QHash<QString, InterfaceLoader::Factory> registered{
        {QStringLiteral("platform::Window"), [](QWidget *parent) -> QWidget * { return new Window(parent); }},
        {QStringLiteral("platform::View"), [](QWidget *parent) -> QWidget * { return new View(parent); }},
        {QStringLiteral("platform::Control"), [](QWidget *parent) -> QWidget * { return new Control(parent); }},
        {QStringLiteral("platform::Popover"), [](QWidget *parent) -> QWidget * { return new Popover(parent); }},
        {QStringLiteral("platform::ScrollView"), [](QWidget *parent) -> QWidget * { return new ScrollView(parent); }},
    };
    return registered;
}

// Qt's loader with the registered classes in front of its own.
class Builder : public QUiLoader
{
public:
    explicit Builder(const QString &file)
        : m_file(file)
    {
    }

    QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override
    {
        if (QWidget *widget = InterfaceLoader::make(className, parent)) {
            widget->setObjectName(name);
            return widget;
        }
        if (!availableWidgets().contains(className)) {
            logWarning(QStringLiteral("Unknown class \"%1\" of \"%2\" in %3 stands in as a plainer widget")
                           .arg(className, name, m_file));
        }
        // Qt falls back to the base class the file declares for a custom class.
        if (QWidget *widget = QUiLoader::createWidget(className, parent, name))
            return widget;
        auto *plain = new QWidget(parent);
        plain->setObjectName(name);
        return plain;
    }

    // Only Qt's layouts stand where a layout is expected; any other class refuses the file. Qt's
    // loader goes on building the file after a refusal and uses the layout it gets unchecked, so a
    // plain layout stands in until the file is thrown away.
    QLayout *createLayout(const QString &className, QObject *parent, const QString &name) override
    {
        if (availableLayouts().contains(className))
            return QUiLoader::createLayout(className, parent, name);
        logError(QStringLiteral("The class \"%1\" of \"%2\" in %3 is no layout; the file is refused")
                     .arg(className, name, m_file));
        m_refused = true;
        return QUiLoader::createLayout(QStringLiteral("QVBoxLayout"), parent, name);
    }

    bool refused() const { return m_refused; }

private:
    QString m_file;
    bool m_refused = false;
};

// Every object of a file that wants to finish its set-up once the file is connected gets to.
void awakeFromNib(QObject *root)
{
    QList<QObject *> objects = root->findChildren<QObject *>();
    objects.prepend(root);
    for (QObject *object : objects) {
        if (object->metaObject()->indexOfMethod("awakeFromNib()") >= 0)
            QMetaObject::invokeMethod(object, "awakeFromNib");
    }
}

} // namespace

void InterfaceLoader::registerFactory(const QString &className, Factory factory)
{
    if (className.isEmpty() || !factory) {
        logWarning(QStringLiteral("Interface class \"%1\" registered without a name or a factory").arg(className));
        return;
    }
    factories().insert(className, std::move(factory));
}

bool InterfaceLoader::isClassRegistered(const QString &className) { return factories().contains(className); }

QStringList InterfaceLoader::registeredClassNames()
{
    QStringList names = factories().keys();
    names.sort();
    return names;
}

QWidget *InterfaceLoader::make(const QString &className, QWidget *parent)
{
    const auto factory = factories().constFind(className);
    return factory == factories().constEnd() ? nullptr : (*factory)(parent);
}

QWidget *InterfaceLoader::load(const QString &name, QObject *owner, const BundlePtr &bundle)
{
    const BundlePtr folder = bundle ? bundle : Bundle::mainBundle();
    const QString path = folder->pathForResource(name, QStringLiteral("ui"));
    if (path.isEmpty()) {
        logWarning(QStringLiteral("No interface file %1.ui in %2").arg(name, folder->bundlePath()));
        return nullptr;
    }
    return loadFile(path, owner);
}

QWidget *InterfaceLoader::loadFile(const QString &path, QObject *owner)
{
    QFile file;
    if (QString reason; !RegularFile::open(file, path, &reason)) {
        logWarning(QStringLiteral("Interface file %1 could not be read: %2").arg(path, reason));
        return nullptr;
    }
    // One byte more than a file may hold tells that it holds too much.
    QByteArray bytes = file.read(InterfaceFileCheck::MaxFileSize + 1);
    const QString name = QFileInfo(path).fileName();
    const InterfaceFilePlaces places = InterfaceFilePlaces::of(path);
    QString refusal = InterfaceFileCheck::refusal(bytes);
    if (refusal.isEmpty())
        refusal = InterfaceFileContents::refusal(bytes, places);
    const auto pictures = std::make_shared<InterfacePictures>();
    if (refusal.isEmpty()) {
        if (std::optional<QByteArray> handed = pictures->handOver(bytes, places, &refusal))
            bytes = std::move(*handed);
    }
    if (!refusal.isEmpty()) {
        logError(QStringLiteral("Interface file %1 is refused: %2").arg(path, refusal));
        return nullptr;
    }
    QBuffer contents(&bytes);
    contents.open(QIODevice::ReadOnly);
    // Qt's loader loads every Qt Designer widget plugin of the library paths when it is made (Qt
    // Quick's and the web engine's, with all their libraries), though no interface file names
    // their classes; it is made while the paths are hidden from it.
    const QStringList libraryPaths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    Builder builder(name);
    QCoreApplication::setLibraryPaths(libraryPaths);
    builder.setWorkingDirectory(QFileInfo(path).absoluteDir());
    QWidget *root = builder.load(&contents);
    if (!root) {
        logWarning(QStringLiteral("Interface file %1 could not be loaded: %2").arg(path, builder.errorString()));
        return nullptr;
    }
    if (builder.refused()) {
        delete root;
        return nullptr;
    }
    // The copies of the pictures go with the widgets that may draw them again.
    QObject::connect(root, &QObject::destroyed, root, [pictures] {});
    InterfaceLimits::apply(root, name);
    if (owner)
        InterfaceConnector::connect(owner, root);
    awakeFromNib(root);
    return root;
}

} // namespace platform
