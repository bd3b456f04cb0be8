#pragma once

#include <QObject>
#include <QRegion>

class QImage;
class QWidget;

namespace platform {

// A window that is clear where it draws nothing, so that what lies beneath shows through. On X11
// only a compositing manager shows that; without one the clear pixels come out black on the
// screen (while a grab() of the window looks right), and there the window falls back on a
// background of its own. Set before the window is first shown. GUI thread.
class ClearBackground : public QObject
{
    Q_OBJECT
public:
    enum class Fallback {
        // An opaque panel in the window's palette colour, outlined when the window has no frame.
        Panel,
        // Only what the window draws shows, on the window's palette colour; the rest is cut away
        // (a shape mask that follows the window's size).
        Shape,
    };

    static void apply(QWidget *window, Fallback fallback);
    // Whether the window asked to be clear and shows its fallback instead: what it draws
    // translucently lies on its own background, not on what is beneath it.
    static bool fellBack(const QWidget *window);
    // The pixels of a picture that are at least half covered.
    static QRegion coveredRegion(const QImage &picture);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ClearBackground(QWidget *window, Fallback fallback);
    void paintPanel();
    void reshape();

    QWidget *m_window;
    Fallback m_fallback;
    bool m_reshapePosted = false;
};

} // namespace platform
