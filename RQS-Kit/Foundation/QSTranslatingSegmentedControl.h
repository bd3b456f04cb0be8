#pragma once

#include <QStringList>
#include <QTabBar>

// A segmented control of an interface file that translates its segment labels through the strings
// table "Controls" once it is loaded. A tab bar is the segmented control: it has the numbered
// segments with one label each that the translation walks.
class QSTranslatingSegmentedControl : public QTabBar
{
    Q_OBJECT
public:
    explicit QSTranslatingSegmentedControl(QWidget *parent = nullptr);

    Q_INVOKABLE void awakeFromNib();

    // An interface file cannot list segments: a bar without any gets these labels, which the
    // translation then finds. True when they were added.
    static bool addSegmentsIfNone(QTabBar *bar, const QStringList &labels);
};
