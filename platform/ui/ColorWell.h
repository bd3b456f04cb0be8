#pragma once

#include "platform/ui/Control.h"

#include <QColor>

namespace platform {

// A control that holds one colour and edits it through the shared ColorPanel: while it is the
// panel's active well, the colours the user picks become its colour and send its action. A click
// released inside an enabled well switches it on or off. Draws a swatch of its colour. GUI thread.
class ColorWell : public Control
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool active READ isActive)

public:
    explicit ColorWell(QWidget *parent = nullptr);
    ~ColorWell() override;

    virtual QColor color() const;
    virtual void setColor(const QColor &color);

    bool isActive() const;
    // The panel shows; the one well is this one. The panel keeps one active well, so activation is
    // always exclusive.
    virtual void activate();
    // Also the panel's message when another well takes it.
    Q_INVOKABLE virtual void deactivate();

    // The panel's message: its colour becomes this well's, and the action is sent.
    Q_INVOKABLE virtual void changeColor(QObject *sender);

    void drawRect(const QRectF &dirtyRect) override;
    void mouseUp(const MouseEvent &event) override;

private:
    QColor m_color = Qt::white;
};

} // namespace platform
