#include "RQS-Kit/Controls/QSActivityPanel.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"

#include <QMainWindow>

#include <utility>

QSActivityPanel::QSActivityPanel(QObject *parent)
    : QSViewController(parent)
{
    m_slide.setPropertyName("pos");
    m_slide.setDuration(600);
    connect(&m_slide, &QPropertyAnimation::finished, this, &QSActivityPanel::finishSlide);
}

QSActivityPanel::~QSActivityPanel() { finishSlide(); }

void QSActivityPanel::loadView()
{
    QSViewController::loadView();
    if (m_panel) {
        const platform::BundlePtr bundle = platform::Bundle::mainBundle();
        m_panel->setLeftImg(bundle->imageNamed(QStringLiteral("SettingsBackgroundLeft.png")));
        m_panel->setMidImg(bundle->imageNamed(QStringLiteral("SettingsBackgroundMid.png")));
        m_panel->setRightImg(bundle->imageNamed(QStringLiteral("SettingsBackgroundRight.png")));
    }
    m_activities.clear();
}

bool QSActivityPanel::setWindow(QWidget *window)
{
    QWidget *panelView = view();
    if (!panelView || !m_panel || !window) {
        platform::logError(QStringLiteral("The activity panel could not be put on a window"));
        return false;
    }
    m_window = window;
    auto *main = qobject_cast<QMainWindow *>(window);
    QWidget *contents = main && main->centralWidget() ? main->centralWidget() : window;
    panelView->setParent(contents);
    // Qt's y-down: the top edge is y 0.
    panelView->move(int(m_xLocation), 0);
    panelView->show();
    finishSlide();
    m_panel->move(m_panel->x(), -panelView->height());
    setOutOfSight(true);
    return true;
}

QWidget *QSActivityPanel::window() const { return m_window; }

void QSActivityPanel::startActivity(const QString &message, std::function<void()> work)
{
    const auto run = [work] {
        if (work)
            work();
    };
    if (!m_window) {
        platform::MainQueue::post(run);
        return;
    }
    m_activities << message;
    if (m_messageTF)
        m_messageTF->setText(message);
    if (m_activities.size() == 1)
        animatePanelIn(run);
    else
        platform::MainQueue::post(run);
}

void QSActivityPanel::stopActivity(const QString &message)
{
    m_activities.removeAll(message);
    if (m_activities.isEmpty())
        animatePaneOut();
    else if (m_messageTF)
        m_messageTF->setText(m_activities.last());
}

QStringList QSActivityPanel::activities() const { return m_activities; }
bool QSActivityPanel::isShown() const { return !m_activities.isEmpty(); }

void QSActivityPanel::animatePanelIn(std::function<void()> done)
{
    // A slide out cut short stops the bar first.
    finishSlide();
    setOutOfSight(false);
    if (m_progressIndicator)
        m_progressIndicator->setRange(0, 0);
    slide(0, std::move(done));
}

void QSActivityPanel::animatePaneOut()
{
    slide(view() ? -view()->height() : 0, [panel = QPointer<QSActivityPanel>(this)] {
        if (!panel)
            return;
        if (panel->m_progressIndicator)
            panel->m_progressIndicator->setRange(0, 1);
        panel->setOutOfSight(true);
    });
}

void QSActivityPanel::slide(int y, std::function<void()> done)
{
    finishSlide();
    if (!m_panel || !view()) {
        if (done)
            platform::MainQueue::post(std::move(done));
        return;
    }
    m_slideDone = std::move(done);
    connect(m_panel, &QObject::destroyed, this, &QSActivityPanel::panelGone, Qt::UniqueConnection);
    m_slide.setTargetObject(m_panel);
    m_slide.setEndValue(QPoint(m_panel->x(), y));
    m_slide.start();
}

void QSActivityPanel::finishSlide()
{
    m_slide.stop();
    if (const std::function<void()> done = std::exchange(m_slideDone, {}))
        done();
}

// The panel went with its window: the slide stopped short of its end without finishing, and its
// work runs on the next turn, out of the window's destruction.
void QSActivityPanel::panelGone()
{
    m_slide.stop();
    if (std::function<void()> done = std::exchange(m_slideDone, {}))
        platform::MainQueue::post(std::move(done));
}

void QSActivityPanel::setOutOfSight(bool outOfSight)
{
    // Slid away, the panel's view still covers the top of the window: clicks go through it to
    // what lies beneath.
    if (isViewLoaded())
        view()->setAttribute(Qt::WA_TransparentForMouseEvents, outOfSight);
}

double QSActivityPanel::xLocation() const { return m_xLocation; }
void QSActivityPanel::setXLocation(double x) { m_xLocation = x; }
QProgressBar *QSActivityPanel::progressIndicator() const { return m_progressIndicator; }
void QSActivityPanel::setProgressIndicator(QProgressBar *indicator) { m_progressIndicator = indicator; }
QLabel *QSActivityPanel::messageTF() const { return m_messageTF; }
void QSActivityPanel::setMessageTF(QLabel *field) { m_messageTF = field; }
QS3PartImageView *QSActivityPanel::panel() const { return m_panel; }
void QSActivityPanel::setPanel(QS3PartImageView *panel) { m_panel = panel; }
