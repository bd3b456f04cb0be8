#pragma once

#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Foundation/QSWindowController.h"
#include "platform/fx/Image.h"

#include <QImage>
#include <QList>
#include <QPointer>

// A developer's window that shows pictures, image recipes and view captures handed to it from
// anywhere, keeps the last few of them and saves one as PNG. The class operations may be called
// from any thread; the window work runs on the main queue.
namespace platform {
class Layer;
}

class QSImagePreviewer : public QSWindowController
{
    Q_OBJECT
    Q_PROPERTY(QSImageView *imageView READ imageView WRITE setImageView)
    Q_PROPERTY(qint64 index READ index WRITE setIndex NOTIFY indexChanged)
    Q_PROPERTY(bool hasNext READ hasNext NOTIFY indexChanged)
    Q_PROPERTY(bool hasPrevious READ hasPrevious NOTIFY indexChanged)

public:
    struct Entry
    {
        QImage image;
        // "<given name>.Previewer<n>"; empty for an image shown without a name.
        QString name;
    };

    QSImagePreviewer();

    static QSImagePreviewer *sharedImagePreviewer();
    // Each answers the name the image is shown under, or an empty text; refused images are logged.
    static QString showNSImage(const QImage &image, const QString &name);
    static QString showCIImage(const platform::fx::Image &image, const QString &name);
    static QString showView(QWidget *view, const QString &name);
    static QString showLayer(platform::Layer *layer, const QString &name);

    void addImage(const Entry &entry);
    Q_INVOKABLE void nextImage(QObject *sender);
    Q_INVOKABLE void previousImage(QObject *sender);
    Q_INVOKABLE void clearHistory(QObject *sender);
    Q_INVOKABLE void save(QObject *sender);

    const QList<Entry> &history() const { return m_history; }
    qint64 index() const { return m_index; }
    // Kept within the history.
    void setIndex(qint64 index);
    qint64 historySize() const { return m_historySize; }
    // At least 1; stored in the user defaults.
    void setHistorySize(qint64 size);
    void checkHistorySize();
    bool hasNext() const { return m_index + 1 < m_history.size(); }
    bool hasPrevious() const { return m_index > 0; }

    QSImageView *imageView() const { return m_imageView; }
    void setImageView(QSImageView *view) { m_imageView = view; }

signals:
    void indexChanged();

private:
    // The next "<name>.Previewer<n>"; the number is shared by all names.
    static QString nameFor(const QString &name);

    QPointer<QSImageView> m_imageView;
    QList<Entry> m_history;
    qint64 m_index = 0;
    qint64 m_historySize = 1;
};
