#pragma once

#include "RQS-Kit/Controls/QSStackView.h"

#include <QObject>

// A pile's delegate that counts the clicks it is told of.
struct PileClicks : QObject, QSStackViewDelegate
{
    explicit PileClicks(int &clicks)
        : clicks(clicks)
    {
    }
    void didSelectStackView(QSStackView *) override { ++clicks; }
    int &clicks;
};
