#pragma once

#include <QLineEdit>

// A text field that announces "QSResignFirstResponder" (itself as the object) when it gives up the
// focus; a window merely going inactive keeps the field its focus, so that says nothing.
class QSTextField : public QLineEdit
{
    Q_OBJECT
public:
    explicit QSTextField(QWidget *parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent *event) override;
};
