#include "RQS-Kit/Controls/QSSimpleColorWell.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include <QEvent>
#include <QPainterPath>

namespace {

QImage namedImage(const QString &name)
{
    const QImage image = platform::Bundle::mainBundle()->imageNamed(name);
    if (image.isNull())
        platform::logWarning(QStringLiteral("The colour well's image %1 is missing").arg(name));
    return image;
}

} // namespace

QSSimpleColorWell::QSSimpleColorWell(QWidget *parent)
    : QSColorWell(parent)
    , m_gridImage(namedImage(QStringLiteral("SimpleColorWellGrid")))
{
    const QImage normal = namedImage(QStringLiteral("SimpleColorWellOverlay"));
    const QImage hover = namedImage(QStringLiteral("SimpleColorWellOverlayHover"));
    const QImage down = namedImage(QStringLiteral("SimpleColorWellOverlayDown"));
    // An active well at rest looks pressed, and pressing it shows the plain overlay.
    m_stateImages = {normal, hover, down, down, hover, normal};
    addTrackingArea({{}, platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::InVisibleRect});
}

int QSSimpleColorWell::wellState() const { return m_baseState + (isActive() ? 3 : 0); }

void QSSimpleColorWell::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QRectF rect = bounds();
    context->drawImage(m_gridImage, rect);
    context->saveGState();
    if (!m_gridImage.isNull())
        context->clipToMask(m_gridImage, rect);
    QPainterPath rounded;
    rounded.addRoundedRect(rect, 3.0, 3.0);
    context->setFill(color());
    context->fillPath(rounded);
    context->restoreGState();
    context->drawImage(m_stateImages.at(wellState()), rect);
}

void QSSimpleColorWell::mouseDown(const platform::MouseEvent &) { setMouseDown(true, m_mouseHovered); }

void QSSimpleColorWell::mouseUp(const platform::MouseEvent &event)
{
    QSColorWell::mouseUp(event);
    setMouseDown(false, m_mouseHovered);
}

void QSSimpleColorWell::mouseEntered(const platform::MouseEvent &) { setMouseDown(m_mouseDown, true); }

void QSSimpleColorWell::mouseExited(const platform::MouseEvent &) { setMouseDown(m_mouseDown, false); }

void QSSimpleColorWell::changeEvent(QEvent *event)
{
    QSColorWell::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_mouseDown)
        setMouseDown(false, false);
}

void QSSimpleColorWell::setMouseDown(bool down, bool hovered)
{
    m_mouseDown = down;
    m_mouseHovered = !down && hovered;
    m_baseState = down ? 2 : m_mouseHovered ? 1 : 0;
    update();
}
