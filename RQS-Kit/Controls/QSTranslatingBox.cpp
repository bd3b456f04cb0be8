#include "RQS-Kit/Controls/QSTranslatingBox.h"

#include "RQS-Kit/Foundation/StringExtension.h"

QSTranslatingBox::QSTranslatingBox(QWidget *parent)
    : QGroupBox(parent)
{
}

void QSTranslatingBox::awakeFromNib()
{
    const QString controls = QStringLiteral("Controls");
    setTitle(rqs::localizedForTable(title(), controls));
    setToolTip(rqs::localizedForTable(toolTip(), controls));
}
