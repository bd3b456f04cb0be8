#include "RQS-Kit/Controls/QSInfoHoverButton.h"

QSInfoHoverButton::QSInfoHoverButton(QWidget *parent)
    : QSButton(parent)
{
}

QSInfoHoverButton::~QSInfoHoverButton() = default;

void QSInfoHoverButton::setButtonState(int request)
{
    // A click's target may delete this button or its window.
    const QPointer<QSInfoHoverButton> self(this);
    QSButton::setButtonState(request);
    if (self && buttonState() == 2)
        hoverWC()->showWindow(this, this);
}

QSHoverWindowController *QSInfoHoverButton::hoverWC()
{
    if (!m_hoverWC)
        m_hoverWC = std::make_unique<QSHoverWindowController>();
    return m_hoverWC.get();
}

QString QSInfoHoverButton::infoTitle()
{
    QLabel *field = hoverWC()->titleTF();
    return field ? field->text() : QString();
}

void QSInfoHoverButton::setInfoTitle(const QString &title)
{
    if (QLabel *field = hoverWC()->titleTF())
        field->setText(title);
}

QString QSInfoHoverButton::infoDescription()
{
    QLabel *field = hoverWC()->descriptionTF();
    return field ? field->text() : QString();
}

void QSInfoHoverButton::setInfoDescription(const QString &description)
{
    if (QLabel *field = hoverWC()->descriptionTF()) {
        field->setText(description);
        hoverWC()->shrinkToFit();
    }
}
