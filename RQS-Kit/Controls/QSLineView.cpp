#include "RQS-Kit/Controls/QSLineView.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include <QEvent>
#include <QPointer>

QSLineView::QSLineView(QWidget *parent)
    : platform::View(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSLineView *QSLineView::sharedLineSnapView()
{
    static QPointer<QSLineView> shared;
    if (!shared) {
        shared = new QSLineView;
        shared->setLinePrototype({1, {4, 1}, 0, Qt::FlatCap});
        shared->setColor(Qt::blue);
        shared->m_followsSuperview = true;
    }
    return shared;
}

const QList<QSLine> &QSLineView::lines() const { return m_lines; }

qsizetype QSLineView::addLine(const QSLine &line)
{
    m_lines.append(line);
    setNeedsDisplay(true);
    return m_lines.size() - 1;
}

void QSLineView::removeLineAtIndex(qsizetype index)
{
    if (index < 0 || index >= m_lines.size()) {
        platform::logWarning(QStringLiteral("No guide line %1 to remove; there are %2").arg(index).arg(m_lines.size()));
        return;
    }
    m_lines.removeAt(index);
    setNeedsDisplay(true);
}

void QSLineView::removeAllLines()
{
    m_lines.clear();
    setNeedsDisplay(true);
}

QSLineView::LinePrototype QSLineView::linePrototype() const { return m_linePrototype; }

void QSLineView::setLinePrototype(const LinePrototype &prototype)
{
    m_linePrototype = prototype;
    setNeedsDisplay(true);
}

QColor QSLineView::color() const { return m_color; }

void QSLineView::setColor(const QColor &color)
{
    m_color = color;
    setNeedsDisplay(true);
}

bool QSLineView::event(QEvent *event)
{
    if (m_followsSuperview && event->type() == QEvent::ParentAboutToChange && parentWidget())
        parentWidget()->removeEventFilter(this);
    if (m_followsSuperview && event->type() == QEvent::ParentChange && parentWidget()) {
        parentWidget()->installEventFilter(this);
        setFrame(QRectF(QPointF(0, 0), parentWidget()->size()));
    }
    return platform::View::event(event);
}

bool QSLineView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setFrame(QRectF(QPointF(0, 0), parentWidget()->size()));
    return platform::View::eventFilter(watched, event);
}

void QSLineView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    context->setStroke(m_color);
    context->setLineWidth(m_linePrototype.width);
    context->setLineDash(m_linePrototype.dash, m_linePrototype.dashPhase);
    context->setLineCap(m_linePrototype.cap);
    const double w = bounds().width(), h = bounds().height();
    for (const QSLine &line : m_lines) {
        QPainterPath path(QPointF(line.startPoint().x() * w, line.startPoint().y() * h));
        path.lineTo(line.endPoint().x() * w, line.endPoint().y() * h);
        context->strokePath(path);
    }
}
