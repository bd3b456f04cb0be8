#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"

#include "RQS-Kit/Foundation/StringExtension.h"

QSTranslatingSegmentedControl::QSTranslatingSegmentedControl(QWidget *parent)
    : QTabBar(parent)
{
}

bool QSTranslatingSegmentedControl::addSegmentsIfNone(QTabBar *bar, const QStringList &labels)
{
    if (bar->count() > 0)
        return false;
    for (const QString &label : labels)
        bar->addTab(label);
    return true;
}

void QSTranslatingSegmentedControl::awakeFromNib()
{
    for (int segment = 0; segment < count(); ++segment)
        setTabText(segment, rqs::localizedForTable(tabText(segment), QStringLiteral("Controls")));
}
