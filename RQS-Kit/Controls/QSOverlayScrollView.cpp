#include "RQS-Kit/Controls/QSOverlayScrollView.h"

QSOverlayScrollView::QSOverlayScrollView(QWidget *parent)
    : platform::ScrollView(parent)
{
    setOverlayScrollers(true);
}
