#include "RQS-Kit/Controls/QSDropView.h"

#include "platform/foundation/Log.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QSDropView::QSDropView(QWidget *parent)
    : QSImageView(parent)
{
    setAcceptDrops(true);
}

QStringList QSDropView::supportedTypes() const { return m_supportedTypes; }

void QSDropView::setSupportedTypes(const QStringList &types) { m_supportedTypes = types; }

QSDropViewDelegate *QSDropView::delegate() const { return m_delegate.get(); }

void QSDropView::setDelegate(platform::Delegate<QSDropViewDelegate> delegate) { m_delegate.set(delegate); }

bool QSDropView::isSupported(const QString &path) const
{
    return m_supportedTypes.contains(QFileInfo(path).suffix().toLower());
}

QStringList QSDropView::localPaths(const QMimeData *data)
{
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

void QSDropView::dragEnterEvent(QDragEnterEvent *event)
{
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty() || !isSupported(paths.first())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void QSDropView::dropEvent(QDropEvent *event)
{
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty() || !performDrop(paths)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool QSDropView::performDrop(const QStringList &paths)
{
    QSDropViewDelegate *delegate = m_delegate.get();
    if (!delegate) {
        platform::logWarning(QStringLiteral("Dropped files not taken: %1").arg(paths.join(QStringLiteral(", "))));
        return false;
    }
    // The delegate may delete this view, or itself, as it hears of each file.
    const QPointer<QSDropView> self(this);
    if (const std::optional<bool> taken = delegate->dropViewDroppedFiles(this, paths))
        return *taken;
    bool anyTaken = false;
    for (const QString &path : paths) {
        if (!self || !m_delegate.get())
            return anyTaken;
        if (isSupported(path))
            anyTaken = m_delegate.get()->dropViewDroppedFile(this, path).value_or(false) || anyTaken;
    }
    if (self && m_delegate.get())
        m_delegate.get()->dropViewFinishedDropping(this);
    return anyTaken;
}
