#include "platform/ui/ColorPanel.h"

#include "platform/foundation/Log.h"

#include <QApplication>
#include <QColorDialog>
#include <QMouseEvent>

namespace platform {

ColorPanel *ColorPanel::sharedColorPanel()
{
    // Never deleted: a widget may not outlive the application object, and this one lives as long.
    static ColorPanel *const panel = new ColorPanel;
    return panel;
}

ColorPanel::ColorPanel()
    : m_dialog(new QColorDialog)
{
    m_dialog->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
    m_dialog->setModal(false);
    connect(m_dialog, &QColorDialog::currentColorChanged, this, &ColorPanel::colorChanged);
    connect(m_dialog, &QColorDialog::colorSelected, this, &ColorPanel::sendColor);
    // The end of a drag in any of the dialog's pickers ends a pick.
    m_dialog->installEventFilter(this);
    for (QWidget *child : m_dialog->findChildren<QWidget *>())
        child->installEventFilter(this);
}

QColorDialog *ColorPanel::dialog() const { return m_dialog; }

QColor ColorPanel::color() const { return m_dialog->currentColor(); }

void ColorPanel::setColor(const QColor &color)
{
    m_settingColor = true;
    m_dialog->setCurrentColor(color);
    m_settingColor = false;
}

bool ColorPanel::showsAlpha() const { return m_dialog->testOption(QColorDialog::ShowAlphaChannel); }

void ColorPanel::setShowsAlpha(bool showsAlpha) { m_dialog->setOption(QColorDialog::ShowAlphaChannel, showsAlpha); }

bool ColorPanel::isContinuous() const { return m_continuous; }

void ColorPanel::setContinuous(bool continuous) { m_continuous = continuous; }

void ColorPanel::activate(QObject *well)
{
    m_dialog->show();
    if (m_activeWell == well)
        return;
    // The well active before ends its own editing (a gradient picker lets go of its stop).
    if (QObject *before = m_activeWell) {
        m_activeWell = nullptr;
        if (before->metaObject()->indexOfMethod("deactivate()") >= 0)
            QMetaObject::invokeMethod(before, "deactivate", Qt::DirectConnection);
    }
    m_activeWell = well;
    m_pending = false;
    emit activeWellChanged();
}

void ColorPanel::deactivate(QObject *well)
{
    if (!well || m_activeWell != well)
        return;
    m_activeWell = nullptr;
    emit activeWellChanged();
}

QObject *ColorPanel::activeWell() const { return m_activeWell; }

bool ColorPanel::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && m_pending)
        sendColor();
    return false;
}

void ColorPanel::colorChanged()
{
    if (m_settingColor)
        return;
    if (m_continuous || QApplication::mouseButtons() == Qt::NoButton)
        sendColor();
    else
        m_pending = true;
}

void ColorPanel::sendColor()
{
    m_pending = false;
    if (!m_activeWell)
        return;
    if (!QMetaObject::invokeMethod(m_activeWell, "changeColor", Qt::DirectConnection, Q_ARG(QObject *, this)))
        logWarning(QStringLiteral("The active colour well %1 does not take colours").arg(QLatin1String(m_activeWell->metaObject()->className())));
}

} // namespace platform
