#include "RQS-Kit/Foundation/QSTranslatingButton.h"

#include "RQS-Kit/Foundation/StringExtension.h"

QSTranslatingButton::QSTranslatingButton(QWidget *parent)
    : QPushButton(parent)
{
}

void QSTranslatingButton::awakeFromNib()
{
    const QString controls = QStringLiteral("Controls");
    setText(rqs::localizedForTable(text(), controls));
    setToolTip(rqs::localizedForTable(toolTip(), controls));
}
