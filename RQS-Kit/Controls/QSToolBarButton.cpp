#include "RQS-Kit/Controls/QSToolBarButton.h"

#include "RQS-Kit/Controls/QSToolBarView.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>

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
void QSToolBarButton::setName(const QString &name)
{
    m_name = name;
    updateButton();
}

QString QSToolBarButton::barName() const { return m_barName; }

void QSToolBarButton::setBarName(const QString &barName)
{
    m_barName = barName;
    updateButton();
}

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

QString QSToolBarButton::descriptionFolder() const
{
    if (m_name.isEmpty() || m_barName.isEmpty())
        return {};
    const QString bar = QDir(platform::Bundle::mainBundle()->bundlePath()).filePath(m_barName + QStringLiteral(".barButton"));
    if (!QFileInfo(bar).isDir()) {
        platform::logWarning(QStringLiteral("The tool bar %1 has no button folder").arg(m_barName));
        return {};
    }
    const QString folder = QDir(bar).filePath(m_name + QStringLiteral(".button"));
    if (!QFileInfo(folder).isDir()) {
        platform::logWarning(QStringLiteral("The tool bar %1 has no button %2").arg(m_barName, m_name));
        return {};
    }
    return folder;
}

QSToolBarView *QSToolBarButton::toolBar() const { return qobject_cast<QSToolBarView *>(parentWidget()); }
