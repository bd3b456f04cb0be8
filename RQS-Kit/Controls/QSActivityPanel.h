#pragma once

#include "RQS-Kit/Controls/QS3PartImageView.h"
#include "RQS-Kit/Foundation/QSViewController.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QStringList>

#include <functional>

// A panel that slides down from the top of a window while activities run, showing a busy bar and
// the message of the latest activity still running, and slides back up after the last one. Its
// view comes from its interface file. Main thread only.
class QSActivityPanel : public QSViewController
{
    Q_OBJECT
    Q_PROPERTY(QProgressBar *progressIndicator READ progressIndicator WRITE setProgressIndicator)
    Q_PROPERTY(QLabel *messageTF READ messageTF WRITE setMessageTF)
    Q_PROPERTY(QS3PartImageView *panel READ panel WRITE setPanel)
public:
    explicit QSActivityPanel(QObject *parent = nullptr);
    // A slide under way is cut short: its work runs.
    ~QSActivityPanel() override;

    void loadView() override;
    // Pins the panel, hidden, to the top edge of the window's contents; false (logged) when the
    // panel's view does not load.
    bool setWindow(QWidget *window);
    QWidget *window() const;

    // The work runs once the panel is in place, or on the next turn when it already is or there
    // is no window (then nothing is shown). It runs once whatever happens to the slide: a slide
    // cut short (by a stop, a new start, setWindow) ends there, and its work runs then.
    void startActivity(const QString &message, std::function<void()> work = {});
    // Ends every activity of that message; the latest one still running shows again.
    void stopActivity(const QString &message);
    // The busy bar runs and the panel slides down into its place over 0.6 s; then the work runs.
    void animatePanelIn(std::function<void()> done);
    // The panel slides up out of sight over 0.6 s, its view staying in the window; then the busy
    // bar stops and clicks pass through the view to what lies beneath.
    void animatePaneOut();
    QStringList activities() const;
    // True from the first start until the last stop.
    bool isShown() const;

    double xLocation() const;
    void setXLocation(double x);
    QProgressBar *progressIndicator() const;
    void setProgressIndicator(QProgressBar *indicator);
    QLabel *messageTF() const;
    void setMessageTF(QLabel *field);
    QS3PartImageView *panel() const;
    void setPanel(QS3PartImageView *panel);

private:
    // Moves the panel to the height given (Qt's y-down, 0 its place) within its view; a slide
    // under way ends first.
    void slide(int y, std::function<void()> done);
    // Stops the slide under way and runs its completion, once.
    void finishSlide();
    void panelGone();
    void setOutOfSight(bool outOfSight);

    QStringList m_activities;
    double m_xLocation = 0;
    QPointer<QWidget> m_window;
    QPointer<QProgressBar> m_progressIndicator;
    QPointer<QLabel> m_messageTF;
    QPointer<QS3PartImageView> m_panel;
    QPropertyAnimation m_slide;
    std::function<void()> m_slideDone;
};
