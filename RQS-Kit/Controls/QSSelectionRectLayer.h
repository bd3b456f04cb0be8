#pragma once

#include "platform/layers/Layer.h"

#include <QPointer>

#include <QTimer>

namespace platform {
class TextLayer;
}

// A selection rectangle in one of four looks; the default look's dashes march while animated.
// The timer belongs to the layer and goes with it; taking the layer off its superlayer stops it.
class QSSelectionRectLayer : public platform::Layer
{
    Q_OBJECT
public:
    explicit QSSelectionRectLayer(QObject *parent = nullptr);

    int selectionStyle() const { return m_style; }
    void setSelectionStyle(int style);
    double linePhase() const { return m_linePhase; }
    bool animate() const { return m_timer; }
    void setAnimate(bool animate);
    // Empty without a sub-title; an empty text removes it.
    QString subTitle() const;
    void setSubTitle(const QString &title);
    QRectF imageArea() const { return m_imageArea; }
    void setImageArea(const QRectF &area) { m_imageArea = area; }

    void removeFromSuperlayer() override;
    void setBounds(const QRectF &bounds) override;
    void drawInContext(platform::GraphicsContext &context) override;
    bool actionForKey(const QString &key) const override;

private:
    void advance();

    int m_style = 0;
    double m_linePhase = 0;
    QPointer<QTimer> m_timer;
    QPointer<platform::TextLayer> m_textLayer;
    QRectF m_imageArea;
};
