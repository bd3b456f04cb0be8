#pragma once

#include "platform/ui/ScrollView.h"

#include <QPointer>

class QSImageView;

// A scroll view with a soft shadow band along its top and bottom edges, each fading in over the
// first 15 points of content that lies beyond that edge. The bands are views beside it in its
// superview, in front of it. Main thread.
class QSShadowedScrollView : public platform::ScrollView
{
    Q_OBJECT
    Q_PROPERTY(bool showTopShadow READ showTopShadow WRITE setShowTopShadow)
    Q_PROPERTY(bool showBottomShadow READ showBottomShadow WRITE setShowBottomShadow)
    Q_PROPERTY(double contentHeight READ contentHeight WRITE setContentHeight)

public:
    struct BandAlphas
    {
        double top = 0;
        double bottom = 0;
    };
    // For the document's visible rectangle (y-up) and height; a content height of 0 or more is
    // the height of the real content inside a taller document.
    static BandAlphas bandAlphas(const QRectF &visible, double documentHeight, double contentHeight);

    explicit QSShadowedScrollView(QWidget *parent = nullptr);
    ~QSShadowedScrollView() override;

    bool showTopShadow() const;
    void setShowTopShadow(bool show);
    bool showBottomShadow() const;
    void setShowBottomShadow(bool show);
    double contentHeight() const;
    void setContentHeight(double height);
    QSImageView *topShadow() const;
    QSImageView *bottomShadow() const;
    // In front of the superview's views added since.
    void pushShadowsToFront();
    void scrollViewDidScroll();

protected:
    bool event(QEvent *event) override;

private:
    void makeBands();
    void placeBands();

    QPointer<QSImageView> m_topShadow;
    QPointer<QSImageView> m_bottomShadow;
    bool m_showTopShadow = true;
    bool m_showBottomShadow = true;
    double m_contentHeight = -1;
};
