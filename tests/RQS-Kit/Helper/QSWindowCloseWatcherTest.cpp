#include "RQS-Kit/Helper/QSWindowCloseWatcher.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QSignalSpy>

namespace {

class RefusingWindow : public QWidget
{
protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

TEST(QSWindowCloseWatcher, ReportsAnAcceptedCloseOnceAndNeitherARefusedCloseNorHiding)
{
    QWidget window;
    RefusingWindow refusing;
    window.show();
    refusing.show();
    QSWindowCloseWatcher watcher(&window), refusingWatcher(&refusing);
    QSignalSpy reports(&watcher, &QSWindowCloseWatcher::windowWillClose);
    QSignalSpy refusals(&refusingWatcher, &QSWindowCloseWatcher::windowWillClose);

    window.close();
    window.show();
    window.close();
    EXPECT_FALSE(refusing.close());
    QCoreApplication::processEvents();
    refusing.hide();
    EXPECT_EQ(reports.count(), 1) << "a watcher reports one close";
    EXPECT_EQ(refusals.count(), 0);
}
