#pragma once

#include <QScrollBar>

// A scroll bar that, in the light knob style, draws only a slim translucent knob and no slot, so
// that it can lie over the content it scrolls. Otherwise it is the platform's scroll bar.
class QSScroller : public QScrollBar
{
    Q_OBJECT
    Q_PROPERTY(bool lightKnob READ lightKnob WRITE setLightKnob)

public:
    explicit QSScroller(QWidget *parent = nullptr);
    explicit QSScroller(Qt::Orientation orientation, QWidget *parent = nullptr);

    bool lightKnob() const;
    void setLightKnob(bool light);

    // The light knob inside the style's knob rectangle: thin knobs keep their thickness up to 9
    // points, thicker ones lose 6, centred across the bar.
    static QRectF lightKnobRect(const QRectF &knob, Qt::Orientation orientation);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_lightKnob = false;
};
