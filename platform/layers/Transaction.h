#pragma once

#include <QPointer>

#include <functional>

class QAbstractAnimation;

namespace platform {

// Groups layer changes: inside an open transaction with actions enabled and a duration above 0,
// a layer's animatable change glides from the shown value to the new one. Outside any transaction
// changes show at once (there is no run-loop transaction on this platform). Nested transactions
// start with the enclosing one's duration and flag. GUI thread.
class Transaction
{
public:
    static void begin();
    // False with a warning when no transaction is open. The completion runs once, on a later turn
    // of the event loop, once every animation started in the transaction has ended: reached its
    // end, been overtaken by a new change of its value, or gone with its layer.
    static bool commit();

    static bool isOpen();
    static double animationDuration();
    static void setAnimationDuration(double seconds);
    static bool disableActions();
    static void setDisableActions(bool disable);
    static void setCompletionBlock(std::function<void()> completion);

    // True when a change made now should animate.
    static bool animates();
    // Keeps the transaction's completion waiting for the animation.
    static void track(QAbstractAnimation *animation);
};

} // namespace platform
