#include "platform/layers/Transaction.h"

#include "platform/foundation/Log.h"

#include <QAbstractAnimation>
#include <QList>
#include <QTimer>

#include <memory>
#include <utility>

namespace platform {

namespace {

// The completion of one committed transaction, run when its last animation ends.
struct Completion
{
    std::function<void()> block;
    int pending = 0;
};

struct Frame
{
    double duration = 0.25;
    bool disableActions = false;
    std::shared_ptr<Completion> completion = std::make_shared<Completion>();
};

QList<Frame> &frames()
{
    static QList<Frame> stack;
    return stack;
}

void finishLater(const std::shared_ptr<Completion> &completion)
{
    if (completion->block)
        QTimer::singleShot(0, [completion] { completion->block(); });
}

} // namespace

void Transaction::begin()
{
    Frame frame;
    if (!frames().isEmpty()) {
        frame.duration = frames().last().duration;
        frame.disableActions = frames().last().disableActions;
    }
    frames().append(frame);
}

bool Transaction::commit()
{
    if (frames().isEmpty()) {
        logWarning(QStringLiteral("Transaction committed without begin"));
        return false;
    }
    const std::shared_ptr<Completion> completion = frames().takeLast().completion;
    if (completion->pending == 0)
        finishLater(completion);
    // Otherwise the last tracked animation to end runs it.
    completion->pending = -completion->pending;
    return true;
}

bool Transaction::isOpen() { return !frames().isEmpty(); }

double Transaction::animationDuration() { return frames().isEmpty() ? 0 : frames().last().duration; }

void Transaction::setAnimationDuration(double seconds)
{
    if (!frames().isEmpty())
        frames().last().duration = seconds;
}

bool Transaction::disableActions() { return frames().isEmpty() || frames().last().disableActions; }

void Transaction::setDisableActions(bool disable)
{
    if (!frames().isEmpty())
        frames().last().disableActions = disable;
}

void Transaction::setCompletionBlock(std::function<void()> completion)
{
    if (!frames().isEmpty())
        frames().last().completion->block = std::move(completion);
}

bool Transaction::animates() { return !disableActions() && animationDuration() > 0; }

void Transaction::track(QAbstractAnimation *animation)
{
    if (frames().isEmpty())
        return;
    std::shared_ptr<Completion> completion = frames().last().completion;
    ++completion->pending;
    // Open transactions count up; a committed one counts down (negated) to zero. An animation
    // destroyed before its end (its layer went) has ended too, once.
    auto ended = std::make_shared<bool>(false);
    const auto end = [completion, ended] {
        if (std::exchange(*ended, true))
            return;
        if (completion->pending < 0 && ++completion->pending == 0)
            finishLater(completion);
        else if (completion->pending > 0)
            --completion->pending;
    };
    QObject::connect(animation, &QAbstractAnimation::finished, end);
    QObject::connect(animation, &QObject::destroyed, end);
}

} // namespace platform
