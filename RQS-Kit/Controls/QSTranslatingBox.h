#pragma once

#include <QGroupBox>

// A box of an interface file whose title and tool tip are translated through the strings table
// "Controls" once it is loaded.
class QSTranslatingBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit QSTranslatingBox(QWidget *parent = nullptr);

    Q_INVOKABLE void awakeFromNib();
};
