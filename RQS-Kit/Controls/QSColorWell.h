#pragma once

#include "platform/ui/ColorWell.h"

// A colour well that decides whether the shared colour panel offers opacity while it is active,
// and that keeps its own colour when the panel echoes it back during activation. Main thread.
class QSColorWell : public platform::ColorWell
{
    Q_OBJECT
    Q_PROPERTY(bool supportsAlpha READ supportsAlpha WRITE setSupportsAlpha)

public:
    explicit QSColorWell(QWidget *parent = nullptr);

    // Takes effect at the next activation.
    bool supportsAlpha() const;
    void setSupportsAlpha(bool supportsAlpha);

    // Ignored while the well pushes its colour into the panel.
    void setColor(const QColor &color) override;
    void activate() override;
    // An echo during activation is no user's pick: no action.
    void changeColor(QObject *sender) override;

protected:
    bool isOpening() const;

private:
    bool m_supportsAlpha = false;
    bool m_isOpening = false;
};
