#pragma once

#include "platform/ui/View.h"

#include <QPointer>

// A thin rounded outline with a translucent fill that bends around a title view lying on its upper
// or lower edge, following the title view when it moves. Main thread.
class QSShapedBox : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(double outlineIntensity MEMBER m_outlineIntensity)
    Q_PROPERTY(double backgroundIntensity MEMBER m_backgroundIntensity)
    Q_PROPERTY(double cornerRadius MEMBER m_cornerRadius)
    Q_PROPERTY(QString outlineColorName READ outlineColorName WRITE setOutlineColorName)
    Q_PROPERTY(QString backgroundColorName READ backgroundColorName WRITE setBackgroundColorName)
public:
    explicit QSShapedBox(QWidget *parent = nullptr);

    // Anywhere in the box's window: beside the box as often as inside it.
    QWidget *titleView() const;
    void setTitleView(QWidget *titleView);
    // 1 when there is more room above the title view than below it: the bottom edge bends.
    int edge() const;
    void updateEdge();
    // Interface files may name colours; the intensities give them, so the names are ignored and
    // none is named.
    QString outlineColorName() const { return {}; }
    void setOutlineColorName(const QString &) {}
    QString backgroundColorName() const { return {}; }
    void setBackgroundColorName(const QString &) {}

    // The outline d points inside the base outline.
    QPainterPath boxWithDistance(double d) const;
    void drawRect(const QRectF &dirtyRect) override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QRectF titleFrame() const;

    QPointer<QWidget> m_titleView;
    int m_edge = 0;
    double m_outlineIntensity = 0;
    double m_backgroundIntensity = 0;
    double m_cornerRadius = 4;
};
