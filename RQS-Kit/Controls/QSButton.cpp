#include "RQS-Kit/Controls/QSButton.h"

#include "RQS-Kit/Foundation/StringExtension.h"

QSButton::QSButton(QWidget *parent)
    : QPushButton(parent)
{
}

QString QSButton::title() const { return text(); }

void QSButton::setTitle(const QString &title)
{
    setText(rqs::localizedForTable(title, QStringLiteral("Controls")));
    updateGeometry();
}

QSizeF QSButton::intrinsicContentSize() const { return QPushButton::sizeHint(); }
