#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <functional>

namespace platform {
class Layer;
class View;
}

// Animates a change of views by way of copies of their layers: the copies, in an overlay over
// the top view, glide from the recorded start state to the state the end block records, while
// the real layers are hidden and the window keeps its size. Runs one animation.
class QSAnimator : public QObject
{
    Q_OBJECT
public:
    explicit QSAnimator(QObject *parent = nullptr);
    ~QSAnimator() override;

    // Nothing for an empty list; the first group makes the overlay.
    void recordStartLayers(const QList<platform::Layer *> &layers, platform::View *view);
    // Called by the end block, one group per start group and in the same order.
    void recordEndLayers(const QList<platform::Layer *> &layers, platform::View *view);

    QList<platform::Layer *> hideLayers() const;
    void setHideLayers(const QList<platform::Layer *> &layers);
    // The content view of the first recorded view's window unless set: a main window's central
    // widget, any other window itself.
    QWidget *topView() const { return m_topView; }
    void setTopView(QWidget *view) { m_topView = view; }

    // The completion runs once, when the animation ends or is cut short: by a new animation, by
    // the animator's end, or when the views it animates go (the top view replaced or deleted,
    // its window deleted, the end block's swap of the central widget included). Cut short before
    // it ran, the end block still runs, unless the views went.
    void animateWithEndState(std::function<void()> endState, std::function<void()> completion);

private:
    struct Group
    {
        QList<QPointer<platform::Layer>> copies;
        QPointer<platform::Layer> base;
        QList<QPointer<platform::Layer>> endLayers;
        QPointer<platform::View> endView;
    };

    void setupLayers(const QList<QPointer<platform::Layer>> &copies, const QList<QPointer<platform::Layer>> &sources,
                     platform::Layer *base, platform::View *view);
    void recordAnimation();
    void runAnimation();
    void finalizeAnimation();
    // The overlay went with the views it lies over: the animation ends on the next turn.
    void overlayWent();
    QWidget *window() const;

    QList<Group> m_groups;
    int m_endGroups = 0;
    QList<QPointer<platform::Layer>> m_hideLayers;
    QList<double> m_hiddenOpacities;
    QPointer<QWidget> m_topView;
    QPointer<platform::View> m_animationView;
    QPointer<QWidget> m_window;
    bool m_running = false;
    bool m_overlayGone = false;
    // Tells the steps of a later animation from those of one cut short.
    int m_runs = 0;
    QSize m_fixedSize;
    QSize m_minimumSize;
    QSize m_maximumSize;
    std::function<void()> m_endBlock;
    std::function<void()> m_completion;
};
