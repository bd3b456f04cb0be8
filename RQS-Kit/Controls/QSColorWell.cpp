#include "RQS-Kit/Controls/QSColorWell.h"

#include "platform/ui/ColorPanel.h"

QSColorWell::QSColorWell(QWidget *parent)
    : platform::ColorWell(parent)
{
}

bool QSColorWell::supportsAlpha() const { return m_supportsAlpha; }

void QSColorWell::setSupportsAlpha(bool supportsAlpha) { m_supportsAlpha = supportsAlpha; }

void QSColorWell::setColor(const QColor &color)
{
    if (!m_isOpening)
        platform::ColorWell::setColor(color);
}

void QSColorWell::activate()
{
    m_isOpening = true;
    platform::ColorWell::activate();
    platform::ColorPanel *panel = platform::ColorPanel::sharedColorPanel();
    panel->setShowsAlpha(m_supportsAlpha);
    // A panel without opacity would hand back an opaque colour; the guard keeps the well's.
    panel->setColor(color());
    m_isOpening = false;
}

void QSColorWell::changeColor(QObject *sender)
{
    if (!m_isOpening)
        platform::ColorWell::changeColor(sender);
}

bool QSColorWell::isOpening() const { return m_isOpening; }
