#pragma once

#include "RQS-Kit/Controls/QSPatternView.h"

#include <QColor>

// A column behind the kit's list rows: filled with the rows' light colour, and swallowing clicks.
// Its colours, shade and noise image are kept for interface files but not drawn. Main thread.
class QSColumnView : public QSPatternView
{
    Q_OBJECT
    Q_PROPERTY(QString startColorName READ startColorName WRITE setStartColorName)
    Q_PROPERTY(QString endColorName READ endColorName WRITE setEndColorName)
    Q_PROPERTY(int shade READ shade WRITE setShade)
public:
    explicit QSColumnView(QWidget *parent = nullptr);

    QColor startColor() const;
    void setStartColor(const QColor &color);
    QColor endColor() const;
    void setEndColor(const QColor &color);
    QString startColorName() const;
    void setStartColorName(const QString &name);
    QString endColorName() const;
    void setEndColorName(const QString &name);
    int shade() const;
    void setShade(int shade);

    void drawRect(const QRectF &dirtyRect) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;

private:
    QColor m_startColor = QColor::fromRgbF(1, 1, 1, 0.95f);
    QColor m_endColor = QColor::fromRgbF(212 / 255.0f, 212 / 255.0f, 212 / 255.0f, 0.95f);
    QString m_startColorName, m_endColorName;
    int m_shade = 0;
};
