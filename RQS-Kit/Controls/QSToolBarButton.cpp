#include "RQS-Kit/Controls/QSToolBarButton.h"

#include "RQS-Kit/Controls/QSToolBarView.h"

#include <QEvent>

QSToolBarButton::QSToolBarButton(QWidget *parent)
    : QSButton(parent)
{
}

QSToolBarButton::~QSToolBarButton()
{
    if (QSToolBarView *bar = toolBar())
        bar->removeBarButton(this);
}

QString QSToolBarButton::name() const { return m_name; }
void QSToolBarButton::setName(const QString &name) { m_name = name; }
QString QSToolBarButton::barName() const { return m_barName; }
void QSToolBarButton::setBarName(const QString &barName) { m_barName = barName; }
bool QSToolBarButton::cutsBar() const { return m_cutsBar; }

void QSToolBarButton::setCutsBar(bool cutsBar)
{
    if (cutsBar == m_cutsBar)
        return;
    m_cutsBar = cutsBar;
    if (QSToolBarView *bar = toolBar()) {
        if (cutsBar)
            bar->registerBarButton(this);
        else
            bar->removeBarButton(this);
    }
}

bool QSToolBarButton::event(QEvent *event)
{
    if (event->type() == QEvent::ParentAboutToChange && m_cutsBar) {
        if (QSToolBarView *bar = toolBar())
            bar->removeBarButton(this);
    } else if (event->type() == QEvent::ParentChange && m_cutsBar) {
        if (QSToolBarView *bar = toolBar())
            bar->registerBarButton(this);
    } else if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
        // A button that moves moves its gap with it.
        if (QSToolBarView *bar = toolBar(); bar && m_cutsBar) {
            bar->removeBarButton(this);
            bar->registerBarButton(this);
        }
    }
    return QSButton::event(event);
}

QSToolBarView *QSToolBarButton::toolBar() const { return qobject_cast<QSToolBarView *>(parentWidget()); }
