#pragma once

#include "RQS-Kit/Controls/QSColorWell.h"

#include <QImage>

#include <array>

// A colour well drawn from named images: a grid whose alpha masks the colour, then one overlay per
// state. The state is 0 normal, 1 hovered, 2 pressed, plus 3 while the well is active; a click
// switches the well on or off when it is released inside. Main thread.
class QSSimpleColorWell : public QSColorWell
{
    Q_OBJECT
    Q_PROPERTY(int wellState READ wellState)

public:
    explicit QSSimpleColorWell(QWidget *parent = nullptr);

    int wellState() const;

    void drawRect(const QRectF &dirtyRect) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;

protected:
    // Disabled while pressed, the well hears no release: the press ends there.
    void changeEvent(QEvent *event) override;

private:
    void setMouseDown(bool down, bool hovered);

    QImage m_gridImage;
    std::array<QImage, 6> m_stateImages;
    bool m_mouseDown = false;
    bool m_mouseHovered = false;
    int m_baseState = 0;
};
