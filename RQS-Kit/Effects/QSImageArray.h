#pragma once

#include "RQS-Kit/Controls/QSDropViewDelegate.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QSCachedImage;
class QSDropView;

// The shared list of sample pictures that effects and frames are previewed on: filled by drops,
// stepped through with next and previous. Each change of the current picture is announced once
// per turn of the event loop as "QSIACurrentChangedNotification". Main thread.
class QSImageArray : public QObject, public QSDropViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(bool hasNext READ hasNext NOTIFY navigationChanged)
    Q_PROPERTY(bool hasPrevious READ hasPrevious NOTIFY navigationChanged)

public:
    static QSImageArray &sharedImageArray();
    QSImageArray() = default;

    // False, with a warning, for a file that holds no readable picture.
    bool addImageAtPath(const QString &path);
    void selectLast();
    Q_INVOKABLE void next(QObject *sender = nullptr);
    Q_INVOKABLE void previous(QObject *sender = nullptr);
    // Clamped to the last picture; an empty list keeps 0.
    void setCurrentIndex(qsizetype index);
    qsizetype currentIndex() const { return m_currentIndex; }
    bool hasNext() const;
    bool hasPrevious() const;

    // The placeholder when the list is empty.
    std::shared_ptr<QSCachedImage> currentImage();
    const std::vector<std::shared_ptr<QSCachedImage>> &images() const { return m_images; }
    std::shared_ptr<QSCachedImage> placeholder();
    void setPlaceholder(std::shared_ptr<QSCachedImage> placeholder);
    void setPlaceholderName(const QString &name);

    QSDropView *dropView() const { return m_dropView; }
    void setDropView(QSDropView *view);
    std::optional<bool> dropViewDroppedFiles(QSDropView *view, const QStringList &paths) override;

signals:
    void navigationChanged();

private:
    void currentChanged();

    std::vector<std::shared_ptr<QSCachedImage>> m_images;
    qsizetype m_currentIndex = 0;
    bool m_reportPending = false;
    QPointer<QSDropView> m_dropView;
    std::shared_ptr<QSCachedImage> m_placeholder;
};
