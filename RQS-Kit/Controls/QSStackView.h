#pragma once

#include "platform/foundation/WeakDelegate.h"
#include "platform/ui/View.h"

#include <QPointer>
#include <QVariant>

#include <random>

class QS3DLayer;
class QSGridItem;
namespace platform {
class TakenViews;
}
class QSStackView;

// Told of a click on the pile; a QObject, held weakly.
class QSStackViewDelegate
{
public:
    virtual ~QSStackViewDelegate() = default;
    virtual void didSelectStackView(QSStackView *stackView) = 0;
};

// A pile of tiles lying tilted back in perspective, each jittered sideways, over a shadow. The
// pile is one click target; the tiles themselves get no mouse events and are drawn through their
// layers, which follow the tiles' pictures (QSHostedView).
class QSStackView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(bool shadowVisible READ shadowVisible WRITE setShadowVisible)
public:
    // Made in code, the pile casts its shadow.
    explicit QSStackView(QWidget *parent = nullptr);
    ~QSStackView() override;
    // Made from an interface file, it casts none until the file or its client says so.
    static QSStackView *fromInterfaceFile(QWidget *parent);

    double aspectRatio() const { return m_aspectRatio; }
    void setAspectRatio(double ratio);
    // The frame every card gets, from the present width.
    QRectF baseRect() const;

    // On top of the pile unless appended beneath it; a card of an equal context is replaced, and a
    // card already in the pile moves. The pile parents its cards and hands none back: every call
    // that takes cards out drops them (see platform::TakenViews), to be deleted soon unless the
    // caller adds them again within the same turn of the event loop or gives them a parent of its
    // own. A card the caller deletes leaves the pile. Contexts match as QSGridItem::hasContext
    // says: a card without one matches no context.
    void addGridItem(QSGridItem *item, bool append);
    void instantReplaceGridItems(const QList<QSGridItem *> &items);
    void removeItemWithContext(const QVariant &context);
    void removeAllItems();
    // Index 0 is the top card.
    QList<QSGridItem *> gridItems() const;
    // How high the pile reaches in the view; 0 without cards.
    double neededHeight() const;
    double trackingTop() const;

    bool shadowVisible() const { return m_shadowVisible; }
    void setShadowVisible(bool visible);
    QS3DLayer *containerLayer() const { return m_layer3D; }
    platform::Layer *shadowLayer() const { return m_shadowLayer; }
    void setDelegate(platform::Delegate<QSStackViewDelegate> delegate) { m_delegate.set(delegate); }

    QWidget *hitTest(const QPointF &point) override;
    void mouseUp(const platform::MouseEvent &event) override;
    // The pointing hand goes on the window's cursor stack while the pointer is over the pile in the
    // active window.
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;
    void updateTrackingAreas() override;

protected:
    bool event(QEvent *event) override;

private:
    void updateLayers();
    QVariant cursorKey();
    void takeOut(QSGridItem *item);
    void forgetItem();

    double m_aspectRatio = 16.0 / 9.0;
    QList<QPointer<QSGridItem>> m_items;
    QS3DLayer *m_layer3D;
    platform::Layer *m_shadowLayer;
    bool m_shadowVisible = true;
    // The jitter of each place stays the same at every relayout; the generator is the view's own.
    std::uint32_t m_seed;
    std::mt19937 m_random;
    platform::TakenViews *m_taken;
    platform::WeakDelegate<QSStackViewDelegate, QSStackView> m_delegate;
    int m_trackingArea = 0;
};
