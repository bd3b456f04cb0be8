#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

namespace platform {

// The shadow a frameless window casts on X11, where window managers draw none for it: a window of
// its own around its owner, above it but with a hole where the owner is, that lets every click
// through and follows the owner's place, size and visibility. With a compositing manager it is
// soft; without one no window can be translucent, so the shadow is a dithered shape in the shadow
// colour through whose gaps what lies beneath shows. Other platforms get none. GUI thread.
class WindowShadow : public QWidget
{
    Q_OBJECT
public:
    // Casts the owner's shadow from now on; nullptr where there is no X11.
    static WindowShadow *cast(QWidget *owner);
    // Whether an X11 compositing manager runs on the first screen.
    static bool compositing();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    explicit WindowShadow(QWidget *owner);
    void follow();
    void shape();

    QPointer<QWidget> m_owner;
    bool m_soft;
    QImage m_picture;
};

} // namespace platform
