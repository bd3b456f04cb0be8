#include "RQS-Kit/Controls/QSToolBarView.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/GraphicsContext.h"

#include <QEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

const QString currentBarKey = QStringLiteral("ToolBar.CurrentBar");

QVariantMap readDescriptions()
{
    const QString path = platform::Bundle::mainBundle()->pathForResource(QStringLiteral("ToolBar"), QStringLiteral("plist"));
    if (path.isEmpty()) {
        platform::logInfo(QStringLiteral("No ToolBar.plist: tool bars draw nothing"));
        return {};
    }
    QString error;
    const QVariant contents = platform::PropertyList::read(path, &error);
    if (!error.isEmpty())
        platform::logWarning(QStringLiteral("Could not read %1: %2").arg(path, error));
    return contents.toMap();
}

} // namespace

QSToolBarView::QSToolBarView(QWidget *parent)
    : platform::View(parent)
    , m_toolBarDescriptions(readDescriptions())
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    if (!m_toolBarDescriptions.isEmpty()) {
        const QString initial = m_toolBarDescriptions.contains(QStringLiteral("Default")) ? QStringLiteral("Default")
                                                                                           : m_toolBarDescriptions.firstKey();
        defaults->registerDefaults({{currentBarKey, initial}});
    }
    setCurrentBar(defaults->stringForKey(currentBarKey));
}

QSToolBarView::~QSToolBarView() = default;

QString QSToolBarView::currentBar() const { return m_currentBar; }

void QSToolBarView::setCurrentBar(const QString &name)
{
    if (m_toolBarDescriptions.isEmpty())
        return;
    m_currentBar = name;
    m_toolBarShades.clear();
    if (name.isEmpty())
        return;
    if (!m_toolBarDescriptions.contains(name))
        platform::logWarning(QStringLiteral("ToolBar.plist has no bar \"%1\"").arg(name));
    for (const QVariant &shade : m_toolBarDescriptions.value(name).toList()) {
        const QVariantMap settings = shade.toMap();
        m_toolBarShades.push_back(std::make_unique<QSToolBarShade>(settings.value(QStringLiteral("Image")).toString(), settings));
    }
}

bool QSToolBarView::rightAlign() const { return m_rightAlign; }

void QSToolBarView::setRightAlign(bool rightAlign) { m_rightAlign = rightAlign; }

const std::vector<std::unique_ptr<QSToolBarShade>> &QSToolBarView::toolBarShades() const { return m_toolBarShades; }

QList<QRectF> QSToolBarView::barSegments()
{
    if (m_barSegments.isEmpty())
        updateBarSegments();
    return m_barSegments;
}

void QSToolBarView::registerBarButton(QWidget *button)
{
    if (!button || m_barButtons.contains(button))
        return;
    m_barButtons.append(button);
    m_barSegments.clear();
    setNeedsDisplay(true);
}

void QSToolBarView::removeBarButton(QWidget *button)
{
    m_barButtons.removeAll(button);
    m_barSegments.clear();
    setNeedsDisplay(true);
}

void QSToolBarView::resizeEvent(QResizeEvent *event)
{
    platform::View::resizeEvent(event);
    m_barSegments.clear();
}

bool QSToolBarView::event(QEvent *event)
{
    // Drawn above its siblings, as the band lies over what is beneath it.
    if (event->type() == QEvent::ParentChange && parentWidget())
        raise();
    return platform::View::event(event);
}

void QSToolBarView::updateBarSegments()
{
    m_barSegments.clear();
    const QRectF bar = bounds();
    // By x, whatever the order of registration, so that no segment runs under a button.
    QList<QRectF> frames;
    for (const QPointer<QWidget> &button : m_barButtons) {
        if (button)
            frames.append(QRectF(button->geometry()));
    }
    std::sort(frames.begin(), frames.end(), [](const QRectF &a, const QRectF &b) { return a.x() < b.x(); });
    double cursor = bar.x();
    for (const QRectF &frame : frames) {
        if (frame.x() > cursor)
            m_barSegments.append(QRectF(cursor, bar.y(), frame.x() - cursor, bar.height()));
        cursor = std::max(cursor, frame.x() + frame.width());
    }
    if (bar.width() > cursor)
        m_barSegments.append(QRectF(cursor, bar.y(), bar.width() - cursor, bar.height()));
}

void QSToolBarView::drawRect(const QRectF &)
{
    const QList<QRectF> segments = barSegments();
    for (const std::unique_ptr<QSToolBarShade> &shade : m_toolBarShades) {
        if (shade->fullWidth()) {
            drawShade(*shade, bounds());
            continue;
        }
        for (const QRectF &segment : segments)
            drawShade(*shade, segment);
    }
}

void QSToolBarView::drawShade(QSToolBarShade &shade, const QRectF &rect)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    shade.setUseRetina(window()->windowHandle() && window()->windowHandle()->devicePixelRatio() > 1.5);
    const QImage &left = shade.left();
    const QImage &mid = shade.mid();
    const QImage &right = shade.right();
    double band = 0;
    for (const QImage *part : {&mid, &left, &right}) {
        if (!part->isNull())
            band = std::max(band, part->deviceIndependentSize().height());
    }
    const double x = rect.x(), y = rect.y(), w = rect.width();
    const double barWidth = bounds().width();
    context->saveGState();
    context->setBlendMode(shade.blendMode());
    // A segment at the bar's left edge has no left cap, one at its right edge no right cap.
    double leftWidth = 0;
    if (!left.isNull() && x != 0 && shade.leftMargin() <= w) {
        leftWidth = shade.leftMargin();
        context->drawImage(left, QRectF(x, y, leftWidth, band));
    }
    double rightWidth = 0;
    if (!right.isNull() && std::round(x + w - barWidth) != 0 && shade.rightMargin() + x + leftWidth <= x + w)
        rightWidth = shade.rightMargin();
    const double midWidth = w - leftWidth - rightWidth;
    if (!mid.isNull() && midWidth > 0) {
        if (shade.repeat()) {
            context->saveGState();
            context->clipToRect(QRectF(x + leftWidth, y, midWidth, band));
            const double originX = m_rightAlign ? barWidth : x;
            context->drawTiledImage(mid, QRectF(originX, 0, mid.deviceIndependentSize().width(), band));
            context->restoreGState();
        } else {
            context->drawImage(mid, QRectF(x + leftWidth, y, midWidth, band));
        }
    }
    if (rightWidth > 0)
        context->drawImage(right, QRectF(x + leftWidth + midWidth, y, rightWidth, band));
    context->restoreGState();
}
