#pragma once

#include "RQS-Kit/Foundation/QSNibContents.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyedArchive.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QWidget>

// The kit's view controller base: it loads its interface file, named after its own class, the
// first time its view is asked for, and keeps the file's other top-level objects alive. It owns
// the view it loaded until the view gets a parent (is put into a window), and its top-level objects
// without a parent: replacing, unloading and the controller's end delete them. A view the caller
// gives (setView, an archive) stays the caller's: the controller never deletes it. Main thread
// only.
class QSViewController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QWidget *view READ view WRITE setView)

public:
    explicit QSViewController(QObject *parent = nullptr);

    // Called after construction; an empty name or a null bundle keeps the default.
    void initWithNibName(const QString &nibName, const platform::BundlePtr &nibBundle);
    // Keys "VCview", "VCnibName", "VCnibBundle" (its folder), "VCtopLevelObjects".
    void initWithCoder(const platform::KeyedArchive &coder);
    void encodeWithCoder(platform::KeyedArchive &coder) const;

    // Overrides call the base first.
    virtual void loadView();
    bool isViewLoaded() const;

    // The stored name, else the class's own name, whether or not a file of that name exists.
    QString nibName() const;
    void setNibName(const QString &nibName);
    platform::BundlePtr nibBundle() const;
    void setNibBundle(const platform::BundlePtr &nibBundle);

    // Loads the view when there is none yet; may still answer nullptr.
    QWidget *view();
    void setView(QWidget *view);

    QList<QObject *> topLevelObjects() const;
    void setTopLevelObjects(const QList<QObject *> &objects);

private:
    QSNibContents m_nib{this, QStringLiteral("VC")};
};
