#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>

class QColorDialog;

namespace platform {

// The application's one colour panel: a non-modal QColorDialog without buttons, shared by every
// colour well. One well is active at a time; the colours the user picks go to it as the message
// "changeColor" (its Q_INVOKABLE changeColor(QObject *sender), the sender being the panel), and
// it reads them from color(). Main thread.
class ColorPanel : public QObject
{
    Q_OBJECT
public:
    static ColorPanel *sharedColorPanel();

    QColorDialog *dialog() const;

    QColor color() const;
    // Shows the colour; the panel does not send it back to the active well.
    void setColor(const QColor &color);

    bool showsAlpha() const;
    void setShowsAlpha(bool showsAlpha);

    // Continuous: every change is sent while the user picks; otherwise only the colour picked when
    // the mouse button goes up or the dialog's own selection is made.
    bool isContinuous() const;
    void setContinuous(bool continuous);

    // The well becomes the one active well and the panel shows; the well active before is not
    // active any more, and is sent "deactivate" when it takes that message (Q_INVOKABLE).
    void activate(QObject *well);
    // Nothing unless the well is the active one.
    void deactivate(QObject *well);
    QObject *activeWell() const;

signals:
    void activeWellChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ColorPanel();
    void colorChanged();
    void sendColor();

    QColorDialog *m_dialog;
    QPointer<QObject> m_activeWell;
    bool m_continuous = true;
    bool m_settingColor = false;
    bool m_pending = false;
};

} // namespace platform
