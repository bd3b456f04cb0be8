#include "RQS-Kit/Controls/QSListEntryView.h"

#include "RQS-Kit/Controls/QSDragButton.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"

#include <QAbstractButton>
#include <QDebug>
#include <QResizeEvent>

#include <cmath>

QSListEntryView::QSListEntryView(QWidget *parent)
    : QSListEntryView(0, parent)
{
}

QSListEntryView::QSListEntryView(quint64 features, QWidget *parent)
    : platform::View(parent)
    , m_features(features)
{
    setFrame(QRectF(0, 0, 349, 58));
    m_detailContainer = new platform::View(this);
    m_detailContainer->setFrame(QRectF(0, 0, 349, 0));
}

quint64 QSListEntryView::features() const { return m_features; }

platform::View *QSListEntryView::detailContainer() const { return m_detailContainer; }

QSListEntryViewDelegate *QSListEntryView::delegate() const { return m_delegate.get(); }

void QSListEntryView::setDelegate(platform::Delegate<QSListEntryViewDelegate> delegate) { m_delegate.set(delegate); }

std::shared_ptr<QObject> QSListEntryView::context() const { return m_context; }

void QSListEntryView::setContext(std::shared_ptr<QObject> context) { m_context = std::move(context); }

QString QSListEntryView::title() const { return m_title; }

QString QSListEntryView::description() const
{
    QString self;
    QDebug(&self).nospace().noquote() << static_cast<const QObject *>(this);
    return QStringLiteral("%1: %2").arg(self, m_title);
}

void QSListEntryView::setTitle(const QString &title)
{
    m_title = rqs::localizedForTable(title, QStringLiteral("Controls"));
    setNeedsDisplay(true);
}

int QSListEntryView::state() const { return m_state; }

void QSListEntryView::setState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    QSListEntryViewDelegate *list = delegate();
    if (!list)
        return;
    switch (state) {
    case 0: list->entryDidClose(this); break;
    case 1: list->entryWillOpen(this); break;
    case 2: list->entryDidOpen(this); break;
    case 3: list->entryWillClose(this); break;
    default: break;
    }
}

bool QSListEntryView::selected() const { return m_selected; }

void QSListEntryView::setSelected(bool selected) { m_selected = selected; }

bool QSListEntryView::isHovered() const { return m_hovered; }

void QSListEntryView::setHovered(bool hovered) { m_hovered = hovered; }

double QSListEntryView::preferredHeight() const { return 58.0 + (m_selected ? m_detailContainer->height() : 0.0); }

void QSListEntryView::layoutWillChange()
{
    if (m_selected || m_hovered) {
        if (m_state != 2)
            setState(1);
    } else if (m_state != 0) {
        setState(3);
    }
}

void QSListEntryView::layoutDidChange()
{
    const bool arrived = std::round(frame().height() - preferredHeight()) == 0;
    // The delegate hears of the new state and may delete this row.
    const QPointer<QSListEntryView> self(this);
    if (m_selected) {
        if (arrived)
            setState(2);
    } else if (!m_hovered && arrived) {
        setState(0);
    }
    if (self)
        updateTrackingAreas();
}

void QSListEntryView::needsUpdate(bool instant)
{
    if (m_selected && delegate())
        delegate()->listEntryNeedUpdate(this, instant);
}

void QSListEntryView::enableEntry(QObject *sender)
{
    const auto *box = qobject_cast<QAbstractButton *>(sender);
    if (delegate())
        delegate()->listEntryEnableDidChange(this, box && box->isChecked());
}

void QSListEntryView::removeEntry(QObject *)
{
    if (delegate())
        delegate()->removeListEntry(this);
}

void QSListEntryView::dragEntry(QObject *sender)
{
    const auto *handle = qobject_cast<QSDragButton *>(sender);
    if (!handle) {
        platform::logWarning(QStringLiteral("Dragged by something not a QSDragButton"));
        return;
    }
    if (delegate())
        delegate()->dragListEntry(this, handle->lastDragDistance(), handle->dragState() == 2);
}

void QSListEntryView::copyEntry(QObject *)
{
    if (delegate())
        delegate()->copyListEntry(this);
}

void QSListEntryView::pasteEntry(QObject *)
{
    if (delegate())
        delegate()->pasteListEntry(this);
}

void QSListEntryView::resizeEvent(QResizeEvent *event)
{
    platform::View::resizeEvent(event);
    placeSubviews();
}
