#pragma once

#include "RQS-Kit/Controls/QSDropViewDelegate.h"
#include "RQS-Kit/Controls/QSImageView.h"

#include <QStringList>

class QMimeData;

// An image view that takes local files dropped on it and hands their paths to its delegate (all of
// them as one list, or those of its supported types one by one). A drag is judged by its first file.
class QSDropView : public QSImageView
{
    Q_OBJECT
    Q_PROPERTY(QStringList supportedTypes READ supportedTypes WRITE setSupportedTypes)
public:
    explicit QSDropView(QWidget *parent = nullptr);

    // Lower-case file extensions.
    QStringList supportedTypes() const;
    void setSupportedTypes(const QStringList &types);

    QSDropViewDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSDropViewDelegate> delegate);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Whether the delegate took the files.
    bool performDrop(const QStringList &paths);
    bool isSupported(const QString &path) const;
    static QStringList localPaths(const QMimeData *data);

    QStringList m_supportedTypes;
    platform::WeakDelegate<QSDropViewDelegate, QSDropView> m_delegate;
};
