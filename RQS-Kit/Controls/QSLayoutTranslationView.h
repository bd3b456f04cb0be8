#pragma once

#include "platform/ui/SizeConstraint.h"
#include "platform/ui/View.h"

// A view placed by its autoresizing mask among views that Qt layouts place. While active it holds
// its own width and height as two constraints that follow its frame, so that a layout inside it
// sees a fixed size. Main thread.
class QSLayoutTranslationView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(bool active READ active WRITE setActive)

public:
    explicit QSLayoutTranslationView(QWidget *parent = nullptr);

    bool active() const;
    void setActive(bool active);
    const platform::SizeConstraint &widthConstraint() const;
    const platform::SizeConstraint &heightConstraint() const;

    // The constraints take the new size first: installed, they would hold the view at the old one.
    void setFrame(const QRectF &frame) override;

private:
    platform::SizeConstraint m_widthConstraint;
    platform::SizeConstraint m_heightConstraint;
    bool m_active = false;
};
