#pragma once

#include "platform/ui/ScrollView.h"

// A scroll view whose content runs under its scroller, the whole bounds being content, with a
// dark knob unless the light one is asked for. Main thread.
class QSOverlayScrollView : public platform::ScrollView
{
    Q_OBJECT
    Q_PROPERTY(int scrollerKnobStyle READ scrollerKnobStyle WRITE setScrollerKnobStyle)

public:
    explicit QSOverlayScrollView(QWidget *parent = nullptr);
};
