#include "RQS-Kit/Controls/QSOpenableListEntryView.h"

#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSDragButton.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/ui/TakenViews.h"

QSOpenableListEntryView::QSOpenableListEntryView(QWidget *parent)
    : QSOpenableListEntryView(0, parent)
{
}

QSOpenableListEntryView::QSOpenableListEntryView(quint64 features, QWidget *parent)
    : QSOpenableListEntryView(true, features, parent)
{
}

QSOpenableListEntryView::QSOpenableListEntryView(bool rightAligned, quint64 features, QWidget *parent)
    : QSListEntryView(features, parent)
    , m_taken(new platform::TakenViews(this))
{
    // It hangs from its superview's top edge.
    setAutoresizingMask(platform::Autoresizing::WidthSizable | platform::Autoresizing::FlexibleBottomMargin);
    m_rowView = new QSRowView(rightAligned, this);
    // Framed before its buttons exist: they are placed for the size it has when they are made.
    m_rowView->setFrame(QRectF(0, height() - 58, width(), 58));
    m_rowView->setDelegate(this);
    m_rowView->setDeletable(features & Removable);
    m_rowView->setDraggable(features & Draggable);
    m_rowView->setMarkable(features & Markable);
    m_rowView->setDarkLook(features & DarkLook);
    m_rowView->setEditable(features & EditableTitle);
    if (QSButton *remove = m_rowView->removeButton()) {
        remove->setTarget(this);
        remove->setAction(QStringLiteral("removeEntry"));
    }
    if (QSDragButton *drag = m_rowView->dragButton()) {
        drag->setTarget(this);
        drag->setAction(QStringLiteral("dragEntry"));
    }
    placeSubviews();
}

QSOpenableListEntryView::~QSOpenableListEntryView()
{
    // Held without a parent while the row is closed, it has none to take it along.
    if (m_contentView && !m_contentView->parent())
        delete m_contentView;
}

QSRowView *QSOpenableListEntryView::rowView() const { return m_rowView; }

QWidget *QSOpenableListEntryView::contentView() const { return m_contentView; }

QWidget *QSOpenableListEntryView::setContentView(QWidget *view)
{
    QWidget *old = nullptr;
    if (m_contentView && m_contentView != view && (!m_contentView->parent() || m_contentView->parent() == m_detailContainer))
        old = m_taken->handBack(m_contentView.data());
    m_contentView = view;
    if (view) {
        view->setParent(nullptr);
        // Set while the row is already opening or open, it would otherwise never show.
        showContent(state() == 1 || state() == 2);
    }
    if (selected() && delegate())
        delegate()->listEntryNeedUpdate(this, false);
    return old;
}

void QSOpenableListEntryView::showContent(bool shown)
{
    if (!m_contentView)
        return;
    if (shown) {
        if (m_contentView->parent() != m_detailContainer)
            m_contentView->setParent(m_detailContainer);
        m_contentView->setGeometry(0, 0, m_detailContainer->width(), m_contentView->height());
        m_contentView->show();
    } else if (m_contentView->parent() == m_detailContainer) {
        m_contentView->setParent(nullptr);
    }
}

QString QSOpenableListEntryView::subtitle() const { return m_rowView->subtitle(); }

void QSOpenableListEntryView::setSubtitle(const QString &subtitle)
{
    m_rowView->setSubtitle(rqs::localizedForTable(subtitle, QStringLiteral("Controls")));
}

QImage QSOpenableListEntryView::icon() const { return m_rowView->icon(); }

void QSOpenableListEntryView::setIcon(const QImage &icon) { m_rowView->setIcon(icon); }

void QSOpenableListEntryView::setTitle(const QString &title)
{
    QSListEntryView::setTitle(title);
    m_rowView->setTitle(this->title());
}

void QSOpenableListEntryView::setState(int state)
{
    if (state == this->state())
        return;
    // The delegate hears of the new state and may delete this row.
    const QPointer<QSOpenableListEntryView> self(this);
    QSListEntryView::setState(state);
    if (!self)
        return;
    if (state == 0)
        showContent(false);
    else if (state == 1)
        showContent(true);
}

void QSOpenableListEntryView::setSelected(bool selected)
{
    if (selected == this->selected())
        return;
    QSListEntryView::setSelected(selected);
    m_rowView->setShowElements(selected);
    const QPointer<QSOpenableListEntryView> self(this);
    m_rowView->setIsActive(selected);
    if (self && delegate())
        delegate()->listEntryNeedUpdate(this, false);
}

double QSOpenableListEntryView::preferredHeight() const
{
    if (!selected())
        return isHovered() ? 78.0 : 58.0;
    return 58.0 + (m_contentView ? m_contentView->height() : 0.0);
}

void QSOpenableListEntryView::updateTrackingAreas()
{
    QSListEntryView::updateTrackingAreas();
    m_rowView->updateTrackingAreas();
}

void QSOpenableListEntryView::contentChanged(bool instant)
{
    if (selected() && delegate())
        delegate()->listEntryNeedUpdate(this, instant);
}

void QSOpenableListEntryView::rowWasClicked(QSRowView *)
{
    if (delegate())
        delegate()->listEntryWasClicked(this);
}

void QSOpenableListEntryView::rowChangedHover(QSRowView *, bool hovered)
{
    setHovered(hovered);
    if (delegate())
        delegate()->listEntryNeedUpdate(this, false);
}

void QSOpenableListEntryView::placeSubviews()
{
    if (!m_rowView)
        return;
    const double W = width(), H = height();
    // Pinned to the top by hand: a mask gives a zero bottom margin no share of a change.
    m_rowView->setFrame(QRectF(0, H - 58, W, 58));
    m_detailContainer->setFrame(QRectF(0, 0, W, std::max(0.0, H - 58)));
    if (m_contentView && m_contentView->parent() == m_detailContainer)
        m_contentView->setGeometry(0, 0, int(W), m_contentView->height());
}
