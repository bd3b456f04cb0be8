#pragma once

#include "platform/ui/View.h"

#include <QPointer>

// A dark callout: a rounded rectangle with an arrow on one side. Its content lives in a container
// view that leaves the arrow's 10-point margin free. Main thread.
class QSPointingView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(int pointingSide READ pointingSide WRITE setPointingSide)
    Q_PROPERTY(double distance READ distance WRITE setDistance)
public:
    enum Side { Left = 1, Top = 2, Right = 4, Bottom = 8 };

    explicit QSPointingView(QWidget *parent = nullptr);

    QWidget *containerView() const;
    // Subviews go into the container.
    void addSubview(QWidget *view) override;

    int pointingSide() const;
    void setPointingSide(int side);
    // Where along its side the arrow sits, from the view's origin.
    double distance() const;
    void setDistance(double distance);

    // The bounds inset by 1, and by 10 more on the arrow's side.
    QRectF containerFrame() const;
    // The arrow's place along its side, kept 14 points from either end.
    double arrowPosition() const;
    void updateContainerFrame();
    void drawRect(const QRectF &dirtyRect) override;

protected:
    // Widgets that an interface file gave this view move into the container before it shows.
    void showEvent(QShowEvent *event) override;
    // The container follows the view's size.
    void resizeEvent(QResizeEvent *event) override;

private:
    void createContainerView();
    void adoptSubviews();

    QPointer<platform::View> m_containerView;
    int m_pointingSide = Left;
    double m_distance = 0;
};
