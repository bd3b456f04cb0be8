#pragma once

#include "platform/graphics/AttributedString.h"
#include "platform/graphics/Shadow.h"
#include "platform/graphics/TextAttributes.h"

#include <QColor>
#include <QLabel>

#include <optional>

// A label that draws its own text y-up: centred vertically, over an optional rounded background,
// with a named text shadow, optionally shrunk to fit its width, and at half opacity while
// disabled. Interface files set it up by its properties. Main thread only.
class QSLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(double cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(bool shrinkToFit READ shrinkToFit WRITE setShrinkToFit)
    Q_PROPERTY(QString textShadowName READ textShadowName WRITE setTextShadowName)
    Q_PROPERTY(bool drawsBackground READ drawsBackground WRITE setDrawsBackground)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
public:
    // The text with its attributes, as drawn.
    struct FieldString
    {
        platform::AttributedString string;
        platform::TextAttributes attributes;
    };

    explicit QSLabel(QWidget *parent = nullptr);

    Q_INVOKABLE void awakeFromNib();

    double cornerRadius() const;
    void setCornerRadius(double radius);
    std::optional<platform::Shadow> textShadow() const;
    void setTextShadow(const std::optional<platform::Shadow> &shadow);
    bool shrinkToFit() const;
    void setShrinkToFit(bool shrink);
    QString textShadowName() const;
    // The preset's shadow and its text colour.
    void setTextShadowName(const QString &name);
    bool drawsBackground() const;
    void setDrawsBackground(bool draws);
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor &color);
    QColor textColor() const;
    void setTextColor(const QColor &color);

    FieldString stringWithFieldAttributes() const;
    // The font the text is drawn with: the label's own, unless it shrinks to fit a text wider
    // than its bounds.
    QFont fittedFont() const;
    // For the current width; 0 without text.
    double preferredHeight() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    void drawRect();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    double m_cornerRadius = 0;
    std::optional<platform::Shadow> m_textShadow;
    bool m_shrinkToFit = false;
    QString m_textShadowName;
    bool m_drawsBackground = false;
    QColor m_backgroundColor = Qt::white;
    QColor m_textColor = Qt::black;
};
