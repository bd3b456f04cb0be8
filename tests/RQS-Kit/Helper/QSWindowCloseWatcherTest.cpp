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

TEST(QSWindowCloseWatcher, ReportsAnAcceptedCloseOnceAndNeitherRefusedClosesNorHiding)
{
    QWidget window;
    RefusingWindow refusing;
    QWidget hidden;
    for (QWidget *shown : std::initializer_list<QWidget *>{&window, &refusing, &hidden})
        shown->show();
    QSWindowCloseWatcher watcher(&window), refusingWatcher(&refusing), hiddenWatcher(&hidden);
    QSignalSpy reports(&watcher, &QSWindowCloseWatcher::windowWillClose);
    QSignalSpy refusals(&refusingWatcher, &QSWindowCloseWatcher::windowWillClose);
    QSignalSpy hides(&hiddenWatcher, &QSWindowCloseWatcher::windowWillClose);

    window.close();
    window.show();
    window.close();
    EXPECT_FALSE(refusing.close());
    QCoreApplication::processEvents();
    refusing.hide();
    hidden.hide();
    EXPECT_EQ(reports.count(), 1) << "a watcher reports one close";
    EXPECT_EQ(refusals.count(), 0);
    EXPECT_EQ(hides.count(), 0);
}
