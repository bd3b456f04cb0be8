#include "RQS-Kit/Controls/QSTextField.h"

#include "platform/foundation/NotificationCenter.h"

#include <QFocusEvent>

QSTextField::QSTextField(QWidget *parent)
    : QLineEdit(parent)
{
}

void QSTextField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    platform::NotificationCenter::defaultCenter()->post(QStringLiteral("QSResignFirstResponder"), this);
}
