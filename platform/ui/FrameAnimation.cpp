#include "platform/ui/FrameAnimation.h"

#include "platform/ui/View.h"

#include <QCoreApplication>
#include <QVariantAnimation>

namespace platform {

namespace {

double g_defaultDuration = 0.25;

QRectF between(const QRectF &from, const QRectF &to, double t)
{
    return {from.x() + (to.x() - from.x()) * t, from.y() + (to.y() - from.y()) * t,
            from.width() + (to.width() - from.width()) * t, from.height() + (to.height() - from.height()) * t};
}

} // namespace

double FrameAnimation::defaultDuration() { return g_defaultDuration; }

void FrameAnimation::setDefaultDuration(double seconds) { g_defaultDuration = std::max(0.0, seconds); }

void FrameAnimation::run(const QList<Move> &moves, double seconds, std::function<void()> completion)
{
    if (seconds <= 0) {
        for (const Move &move : moves) {
            if (move.first)
                move.first->setFrame(move.second);
        }
        if (completion)
            completion();
        return;
    }
    QList<QRectF> starts;
    for (const Move &move : moves)
        starts << (move.first ? move.first->frame() : QRectF());
    // Owned by the application too, so that one still running when it ends goes with it.
    auto *animation = new QVariantAnimation(QCoreApplication::instance());
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(int(seconds * 1000));
    QObject::connect(animation, &QVariantAnimation::valueChanged, [moves, starts](const QVariant &value) {
        for (qsizetype i = 0; i < moves.size(); ++i) {
            if (moves[i].first)
                moves[i].first->setFrame(between(starts[i], moves[i].second, value.toDouble()));
        }
    });
    QObject::connect(animation, &QVariantAnimation::finished, [completion = std::move(completion)] {
        if (completion)
            completion();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace platform
