#pragma once

#include "RQS-Kit/Controls/QSLine.h"
#include "platform/ui/View.h"

#include <QColor>
#include <QList>

// An overlay that strokes guide lines, each scaled to the view's size, all in one colour and one
// line style. Main thread.
class QSLineView : public platform::View
{
    Q_OBJECT
public:
    // Width, dash pattern (user-space lengths, on and off) and caps that every line is stroked with.
    struct LinePrototype
    {
        double width = 1;
        QList<double> dash;
        double dashPhase = 0;
        Qt::PenCapStyle cap = Qt::FlatCap;
    };

    explicit QSLineView(QWidget *parent = nullptr);

    // One for the whole application: dashed 4 on 1 off, blue, following its superview's size. The
    // client places it over the view being edited.
    static QSLineView *sharedLineSnapView();

    const QList<QSLine> &lines() const;
    // The new line's index.
    qsizetype addLine(const QSLine &line);
    // A bad index changes nothing and is logged.
    void removeLineAtIndex(qsizetype index);
    void removeAllLines();

    LinePrototype linePrototype() const;
    void setLinePrototype(const LinePrototype &prototype);
    QColor color() const;
    void setColor(const QColor &color);

    void drawRect(const QRectF &dirtyRect) override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QSLine> m_lines;
    LinePrototype m_linePrototype;
    QColor m_color = Qt::black;
    bool m_followsSuperview = false;
};
