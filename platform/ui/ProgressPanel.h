#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>

class QProgressDialog;

namespace platform {

class Progress;

// A small window telling how far work on another thread has come, with a Cancel button: a share
// of the progress's total, or a busy bar while the work knows no total. It shows only once the
// work has taken more than a moment, so that quick work never flashes it, and is modal to nothing:
// every other window stays usable meanwhile. Cancel, Escape and the window's close button cancel
// the progress and emit cancelled. Tools without widgets show nothing. GUI thread.
class ProgressPanel : public QObject
{
    Q_OBJECT
public:
    // Milliseconds of work before the panel shows.
    static constexpr int ShowDelay = 500;

    ProgressPanel(std::shared_ptr<Progress> progress, const QString &label, QObject *parent = nullptr);
    ~ProgressPanel() override;
    // Once the work is over; the panel is not shown again.
    void close();

signals:
    void cancelled();

private:
    void show();
    void cancel();
    void update();

    std::shared_ptr<Progress> m_progress;
    QString m_label;
    QTimer m_timer;
    QPointer<QProgressDialog> m_dialog;
};

} // namespace platform
