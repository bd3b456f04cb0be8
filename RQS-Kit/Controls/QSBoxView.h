#pragma once

#include "RQS-Kit/Controls/QSTitledView.h"
#include "platform/ui/View.h"

#include <QSizeF>

// A titled box shaped like a folder: a tab carrying the title (on top, or along the left side for
// box type 0) over a textured inside with a one-point gradient rim. Main thread.
class QSBoxView : public platform::View, public QSTitledView
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(bool lightLook READ lightLook WRITE setLightLook)
    Q_PROPERTY(int boxType READ boxType WRITE setBoxType)
public:
    explicit QSBoxView(QWidget *parent = nullptr);
    // A box of no size with the title and the dark look.
    explicit QSBoxView(const QString &title, QWidget *parent = nullptr);

    QString title() const;
    // Translated through the strings table "Controls", the title being its own key.
    void setTitle(const QString &title);
    bool lightLook() const;
    void setLightLook(bool lightLook);
    int boxType() const;
    void setBoxType(int boxType);

    // The tab: the title's width + 30 by 20, or 30 by 0 without a title. The title is measured
    // within the bounds (height and width swapped for box type 0), so a long one wraps.
    QSizeF titleSize() const override;
    // Fills the frame, rounded by 2, with blue in the current graphics context; the flag and the
    // view are not read.
    void highlight(bool flag, const QRectF &frame, QWidget *view);
    // Inset 1 and radius 9 gives the inside, 0 and 10 the rim's outer edge.
    QPainterPath outline(double inset, double radius) const;

    void drawRect(const QRectF &dirtyRect) override;

private:
    QString m_title;
    bool m_lightLook = false;
    int m_boxType = 0;
};
