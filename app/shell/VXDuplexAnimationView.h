#pragma once

#include <QVariantAnimation>
#include <QWidget>

// A sheet that turns over and over like a booklet page: "1" on its front, "2" on its back, the
// back upside down while `turned` is set, so the preferences show what the back-side rotation
// means. It rests on each face most of the time and turns quickly between. Runs only between
// startAnimation and stopAnimation; stopped, it shows the front.
class VXDuplexAnimationView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool turned READ turned WRITE setTurned)

public:
    explicit VXDuplexAnimationView(QWidget *parent = nullptr);

    bool turned() const;
    void setTurned(bool turned);

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const;
    // The size the sheet is drawn for.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVariantAnimation m_turn;
    bool m_turned = false;
};
