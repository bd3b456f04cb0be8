#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"

#include "RQS-Kit/Foundation/StringExtension.h"

QSTranslatingSegmentedControl::QSTranslatingSegmentedControl(QWidget *parent)
    : QTabBar(parent)
{
}

void QSTranslatingSegmentedControl::awakeFromNib()
{
    for (int segment = 0; segment < count(); ++segment)
        setTabText(segment, rqs::localizedForTable(tabText(segment), QStringLiteral("Controls")));
}
