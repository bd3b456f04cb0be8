#pragma once

#include "RQS-Kit/Foundation/QSNibContents.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyedArchive.h"
#include "platform/foundation/Notification.h"
#include "platform/ui/Window.h"

#include <QList>
#include <QObject>
#include <QString>

// The kit's window controller base: it loads its interface file the first time its window is
// asked for, keeps the file's other top-level objects alive while the window is loaded, and calls
// hooks that subclasses override. Subclasses declare Q_OBJECT, as their class name picks the file.
// A window the controller loaded from its file, or made itself, is its own, as are the top-level
// objects without a parent: replacing, unloading and the controller's end delete them. A window
// the caller gives (initWithWindow, setWindow, an archive) stays the caller's: the controller
// never deletes it. Main thread only.
class QSWindowController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(platform::Window *window READ window WRITE setWindow)

public:
    explicit QSWindowController(QObject *parent = nullptr);
    ~QSWindowController() override;

    // Called after construction, so that a subclass's own construction has run.
    void initWithWindow(platform::Window *window);
    // An empty name or a null bundle keeps the default.
    void initWithNibName(const QString &nibName, const platform::BundlePtr &nibBundle);
    // Keys "WCwindow", "WCnibName", "WCnibBundle" (its folder), "WCtopLevelObjects".
    void initWithCoder(const platform::KeyedArchive &coder);
    void encodeWithCoder(platform::KeyedArchive &coder) const;

    // Loads the file nibName() of nibBundle(); see windowWillLoad and windowDidLoad.
    void loadWindow();
    virtual void unloadWindow();
    // Runs first in loadWindow.
    virtual void windowWillLoad();
    // Runs last in a loadWindow that connected a window.
    virtual void windowDidLoad();
    // Runs on a later turn of the main queue after the window announced that it will close.
    virtual void windowDidClose();
    // Handler of the window's will-close notification.
    virtual void windowWillClose(const platform::Notification &notification);

    // Gives the window the close command if there is one (its close event may refuse; a child
    // window may hand it on to its parent); loads nothing.
    Q_INVOKABLE void close(QObject *sender);
    Q_INVOKABLE void showWindow(QObject *sender);
    // Loads the window if needed, then closes it whatever its close event would answer.
    Q_INVOKABLE void forceCloseWindow(QObject *sender);

    // Neither loads the window.
    bool isVisible() const;
    bool isLoaded() const;

    // The stored name, else the name of the nearest class, this one's first, whose file the
    // bundle has, finally "QSWindowController"; derived anew on every call.
    QString nibName() const;
    void setNibName(const QString &nibName);
    // The stored bundle, else the main bundle.
    platform::BundlePtr nibBundle() const;
    void setNibBundle(const platform::BundlePtr &nibBundle);

    // Loads the window when there is none yet; may still answer nullptr.
    platform::Window *window();
    virtual void setWindow(platform::Window *window);

    QList<QObject *> topLevelObjects() const;
    void setTopLevelObjects(const QList<QObject *> &objects);

protected:
    // Sets, through setWindow, a window the controller made itself and owns.
    void setOwnWindow(platform::Window *window);

private:
    // The root, which only setWindow sets.
    platform::Window *loadedWindow() const;

    QSNibContents m_nib{this, QStringLiteral("WC")};
};
