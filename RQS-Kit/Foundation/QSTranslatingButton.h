#pragma once

#include <QPushButton>

// A push button of an interface file that translates its title and tool tip through the strings
// table "Controls" once it is loaded.
class QSTranslatingButton : public QPushButton
{
    Q_OBJECT
public:
    explicit QSTranslatingButton(QWidget *parent = nullptr);

    Q_INVOKABLE void awakeFromNib();
};
