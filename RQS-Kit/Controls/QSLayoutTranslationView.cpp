#include "RQS-Kit/Controls/QSLayoutTranslationView.h"

QSLayoutTranslationView::QSLayoutTranslationView(QWidget *parent)
    : View(parent),
      m_widthConstraint(platform::SizeConstraint::Dimension::Width, width()),
      m_heightConstraint(platform::SizeConstraint::Dimension::Height, height())
{
}

bool QSLayoutTranslationView::active() const { return m_active; }

void QSLayoutTranslationView::setActive(bool active)
{
    m_active = active;
    if (!active) {
        m_widthConstraint.uninstall();
        m_heightConstraint.uninstall();
        return;
    }
    // An interface file sizes the view through Qt, not through setFrame.
    m_widthConstraint.setConstant(width());
    m_heightConstraint.setConstant(height());
    m_widthConstraint.install(this);
    m_heightConstraint.install(this);
}

const platform::SizeConstraint &QSLayoutTranslationView::widthConstraint() const { return m_widthConstraint; }

const platform::SizeConstraint &QSLayoutTranslationView::heightConstraint() const { return m_heightConstraint; }

void QSLayoutTranslationView::setFrame(const QRectF &frame)
{
    m_widthConstraint.setConstant(frame.width());
    m_heightConstraint.setConstant(frame.height());
    View::setFrame(frame);
}
