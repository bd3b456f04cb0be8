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

TEST(QSWindowCloseWatcher, ReportsAnAcceptedCloseOnce)
{
    QWidget window;
    window.show();
    QSWindowCloseWatcher watcher(&window);
    QSignalSpy reports(&watcher, &QSWindowCloseWatcher::windowWillClose);

    window.close();
    EXPECT_EQ(reports.count(), 1);

    window.show();
    window.close();
    EXPECT_EQ(reports.count(), 1) << "a watcher reports one close";
}

TEST(QSWindowCloseWatcher, IgnoresRefusedClosesAndPlainHiding)
{
    RefusingWindow refusing;
    refusing.show();
    QSWindowCloseWatcher refusingWatcher(&refusing);
    QSignalSpy refusals(&refusingWatcher, &QSWindowCloseWatcher::windowWillClose);
    QWidget hidden;
    hidden.show();
    QSWindowCloseWatcher hiddenWatcher(&hidden);
    QSignalSpy hides(&hiddenWatcher, &QSWindowCloseWatcher::windowWillClose);

    EXPECT_FALSE(refusing.close());
    QCoreApplication::processEvents();
    refusing.hide();
    hidden.hide();

    EXPECT_EQ(refusals.count(), 0);
    EXPECT_EQ(hides.count(), 0);
}
