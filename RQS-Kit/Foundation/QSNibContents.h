#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyedArchive.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// What a kit controller keeps of its interface file: the file's name and bundle, the root the
// file connects to the controller (its view or window) and the file's other top-level objects.
// It owns a root the controller loaded or made itself, and the top-level objects, while they have
// no parent: a different root, no root and the controller's end release them. A root the caller
// gave is the caller's: the controller never deletes it. It archives all but the root under keys
// that start with the controller's prefix. Main thread only.
class QSNibContents
{
public:
    QSNibContents(QObject *controller, const QString &keyPrefix);
    ~QSNibContents();
    Q_DISABLE_COPY_MOVE(QSNibContents)

    static QString unqualifiedName(const QMetaObject &meta);

    // An empty name or a null bundle keeps the default.
    void initWithNibName(const QString &nibName, const platform::BundlePtr &nibBundle);
    // Keys PREFIXnibName, PREFIXnibBundle (its folder), PREFIXtopLevelObjects.
    void initWithCoder(const platform::KeyedArchive &coder);
    void encodeWithCoder(platform::KeyedArchive &coder) const;

    // Loads the file `nibName` of nibBundle() for the controller, whose root property the file
    // sets. With no root it logs `failure` filled with the controller's class, the bundle's folder
    // and the file's name, and answers nullptr.
    QWidget *load(const QString &nibName, const QString &failure);

    // Empty when none was set.
    QString storedNibName() const;
    void setNibName(const QString &nibName);
    // The stored bundle, else the main bundle.
    platform::BundlePtr nibBundle() const;
    void setNibBundle(const platform::BundlePtr &nibBundle);

    QWidget *root() const;
    // A different root releases the one before if it was the controller's own. The root is the
    // caller's unless it is set inside load or ownRoot.
    void setRoot(QWidget *root);
    // Runs `set`, which sets the root through the controller's setter, with a root the controller
    // made itself: the controller's own.
    void ownRoot(const std::function<void()> &set);

    QList<QObject *> topLevelObjects() const;
    // Releases those that leave the list, unless one is the root.
    void setTopLevelObjects(const QList<QObject *> &objects);

private:
    QString controllerName() const;

    QObject *m_controller;
    QString m_keyPrefix;
    QPointer<QWidget> m_root;
    bool m_ownsRoot = false;
    bool m_settingOwnRoot = false;
    QString m_nibName;
    platform::BundlePtr m_nibBundle;
    QList<QPointer<QObject>> m_topLevelObjects;
};
