#include "RQS-Kit/Controls/QSFrameLessWindow.h"

QSFrameLessWindow::QSFrameLessWindow(QWidget *parent, Qt::WindowFlags flags)
    : platform::FramelessWindow(parent, flags)
{
}
