// Makes one kit control (by class name) or one interface file, sets it up, drives it with pointer
// and key events and prints what it sent and how it reads afterwards; see the usage line below.
// Exits 0, or 1 after an "Error: " line.
#include "../BenchSession.h"
#include "../WrittenFile.h"
#include "ActionRecorder.h"
#include "EventDriver.h"
#include "Probes.h"
#include "Settings.h"
#include "Transcript.h"

#include "RQS-Kit/Controls/KitClasses.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/InterfaceConnector.h"
#include "platform/ui/InterfaceLoader.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QPalette>
#include <QRectF>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>
#include <optional>

namespace {

const char *const usage = "Usage: kit-drive (--class NAME | --ui FILE.ui) [--size WxH] [--set KEY=VALUE]... [--dark] "
                          "[--do ACTION]... [--print KEY]... [--png OUT.png]";

struct Options
{
    QString className, uiFile, png;
    QSize size;
    QList<std::pair<QString, QString>> settings;
    QStringList actions, prints;
    bool dark = false;
};

std::optional<Options> readOptions(const QStringList &arguments)
{
    Options options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments[i];
        if (option == QLatin1String("--dark")) {
            options.dark = true;
            continue;
        }
        if (i + 1 >= arguments.size())
            return std::nullopt;
        const QString value = arguments[++i];
        if (option == QLatin1String("--class")) {
            options.className = value;
        } else if (option == QLatin1String("--ui")) {
            options.uiFile = value;
        } else if (option == QLatin1String("--png")) {
            options.png = value;
        } else if (option == QLatin1String("--do")) {
            options.actions << value;
        } else if (option == QLatin1String("--print")) {
            options.prints << value;
        } else if (option == QLatin1String("--size")) {
            options.size = QSize(value.section(QLatin1Char('x'), 0, 0).toInt(), value.section(QLatin1Char('x'), 1).toInt());
            if (options.size.isEmpty())
                return std::nullopt;
        } else if (option == QLatin1String("--set") && value.contains(QLatin1Char('='))) {
            options.settings.append({value.section(QLatin1Char('='), 0, 0), value.section(QLatin1Char('='), 1)});
        } else {
            return std::nullopt;
        }
    }
    if (options.className.isEmpty() == options.uiFile.isEmpty())
        return std::nullopt;
    return options;
}

// A control made by name is loaded as a file of its own, so that it is set up as in any file.
QWidget *makeControl(const QString &className)
{
    if (!platform::InterfaceLoader::isClassRegistered(className)) {
        platform::logError(QStringLiteral("Unknown class \"%1\"").arg(className));
        return nullptr;
    }
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("Control.ui")));
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly)) {
        platform::logError(QStringLiteral("Could not write a file for the class \"%1\"").arg(className));
        return nullptr;
    }
    file.write(QStringLiteral("<ui version=\"4.0\"><widget class=\"%1\" name=\"%1\"/></ui>").arg(className).toUtf8());
    file.close();
    return platform::InterfaceLoader::loadFile(file.fileName(), nullptr);
}

// "action" names the operation a control sends; a control without such a property keeps it as
// the dynamic one that the interface connector reads. A registered setting comes before a
// property of the same name.
bool apply(QWidget *root, const QString &key, const QString &value)
{
    if (key == QLatin1String("action") && root->metaObject()->indexOfProperty("action") < 0) {
        root->setProperty("action", value);
        return true;
    }
    if (const std::optional<bool> applied = kitdrive::Settings::apply(root, key, value))
        return *applied;
    if (platform::KeyValue::setValue(root, key, value))
        return true;
    platform::logError(QStringLiteral("Unknown key \"%1\" or value \"%2\" of %3").arg(key, value, QLatin1String(root->metaObject()->className())));
    return false;
}

QString text(const QVariant &value)
{
    const auto number = [](double n) { return QString::number(n, 'g', 10); };
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
    case QMetaType::Float:
        return number(value.toDouble());
    case QMetaType::QRectF:
    case QMetaType::QRect: {
        const QRectF r = value.toRectF();
        return QStringLiteral("(%1,%2,%3,%4)").arg(number(r.x()), number(r.y()), number(r.width()), number(r.height()));
    }
    case QMetaType::QSizeF:
    case QMetaType::QSize:
        return QStringLiteral("(%1,%2)").arg(number(value.toSizeF().width()), number(value.toSizeF().height()));
    case QMetaType::QPointF:
    case QMetaType::QPoint:
        return QStringLiteral("(%1,%2)").arg(number(value.toPointF().x()), number(value.toPointF().y()));
    case QMetaType::QColor:
        return value.value<QColor>().name(QColor::HexArgb);
    case QMetaType::QFont:
        return value.value<QFont>().family() + QLatin1Char(' ') + number(value.value<QFont>().pointSizeF());
    default:
        return value.toString();
    }
}

std::optional<QVariant> read(QWidget *root, const QString &key)
{
    if (std::optional<QVariant> probed = kitdrive::Probes::read(root, key))
        return probed;
    const QVariant value = platform::KeyValue::valueForKey(root, key);
    if (value.isValid())
        return value;
    platform::logError(QStringLiteral("Unknown key \"%1\" of %2").arg(key, QLatin1String(root->metaObject()->className())));
    return std::nullopt;
}

int drive(const Options &options)
{
    if (options.dark) {
        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Window, QColor(40, 40, 40));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        QApplication::setPalette(dark);
    }
    rqs::registerKitClasses();
    kitdrive::ActionRecorder recorder;
    platform::NotificationCenter::defaultCenter()->addObserver(
        &recorder, QString(), nullptr, [](const platform::Notification &n) { kitdrive::say(QStringLiteral("notify ") + n.name); });

    // The window a control lies in, so that a control that sizes itself to its contents (an empty
    // list: nothing) is still shown; a file's own window is shown as it is.
    QWidget host;
    const std::unique_ptr<QWidget> root(options.uiFile.isEmpty() ? makeControl(options.className)
                                                                  : platform::InterfaceLoader::loadFile(options.uiFile, &recorder));
    if (!root) {
        if (!options.uiFile.isEmpty())
            platform::logError(QStringLiteral("Could not load %1").arg(options.uiFile));
        return 1;
    }
    for (const auto &[key, value] : options.settings) {
        if (!apply(root.get(), key, value))
            return 1;
    }
    if (options.uiFile.isEmpty())
        platform::InterfaceConnector::connect(&recorder, root.get());
    // A file's own root size counts; a control made by name takes its size hint.
    const QSize fileSize = root->testAttribute(Qt::WA_Resized) ? root->size() : QSize();
    const QSize size = !options.size.isEmpty() ? options.size : !fileSize.isEmpty() ? fileSize : root->sizeHint().expandedTo(QSize(1, 1));
    QWidget *window = root.get();
    if (!root->inherits("QMainWindow")) {
        window = &host;
        host.resize(size);
        root->setParent(&host);
        root->move(0, 0);
    }
    root->resize(size);
    root->show();
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) {
        platform::logError(QStringLiteral("The window was never shown"));
        return 1;
    }

    kitdrive::EventDriver driver(root.get());
    for (const QString &action : options.actions) {
        if (!driver.perform(action))
            return 1;
    }
    for (const QString &key : options.prints) {
        const std::optional<QVariant> value = read(root.get(), key);
        if (!value)
            return 1;
        kitdrive::say(key + QLatin1Char('=') + text(*value));
    }
    if (!options.png.isEmpty() && !bench::writePicture(root->grab().toImage(), options.png, "png"))
        return 1;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QStringList arguments = bench::toolArguments(argc, argv);
    bench::Session session;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    const std::optional<Options> options = readOptions(arguments);
    if (!options) {
        platform::logError(QString::fromLatin1(usage));
        return 1;
    }
    return session.isValid() ? drive(*options) : 1;
}
