#pragma once

#include "platform/ui/View.h"

#include <QBrush>

// A colour under a glass sheen whose bright upper part ends in a sharp edge. Main thread.
class QSGlassView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QString colorName READ colorName WRITE setColorName)
public:
    explicit QSGlassView(QWidget *parent = nullptr);

    QBrush color() const;
    void setColor(const QBrush &color);
    QString colorName() const;
    // A colour description.
    void setColorName(const QString &name);

    void drawRect(const QRectF &dirtyRect) override;

private:
    QBrush m_color = Qt::black;
    QString m_colorName;
};
