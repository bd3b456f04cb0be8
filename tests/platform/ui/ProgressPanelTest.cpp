#include "platform/foundation/Progress.h"
#include "platform/ui/ProgressPanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTest>

#include <memory>

namespace {

QProgressDialog *shownDialog()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QProgressDialog *>(window); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

// Work that knows no total, such as a PDF that qpdf repairs and reads again and again, shows a busy
// bar however much it has done, never a share of a guess; once the work knows its total the bar
// shows its share: 5,000 of 20,000 units are a quarter, 10,000 a half.
TEST(ProgressPanel, ShowsABusyBarUntilTheWorkKnowsItsTotalThenItsShare)
{
    const auto progress = std::make_shared<platform::Progress>();
    progress->addCompletedUnits(5000);
    platform::ProgressPanel panel(progress, QStringLiteral("Opening “Broken.pdf”…"));
    ASSERT_TRUE(QTest::qWaitFor([] { return shownDialog() != nullptr; }, 5000));
    QProgressBar *bar = shownDialog()->findChild<QProgressBar *>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 0) << "busy";
    progress->addCompletedUnits(qint64(1) << 40);
    QTest::qWait(300);
    EXPECT_EQ(bar->maximum(), 0) << "still busy, however much was read";

    const auto fresh = std::make_shared<platform::Progress>();
    fresh->addCompletedUnits(5000);
    platform::ProgressPanel known(fresh, QStringLiteral("Opening “Scan.png”…"));
    panel.close();
    ASSERT_TRUE(QTest::qWaitFor([] { return shownDialog() != nullptr; }, 5000));
    bar = shownDialog()->findChild<QProgressBar *>();
    EXPECT_EQ(bar->maximum(), 0) << "busy until the total is known";
    const auto shares = [&] { return std::tuple(bar->minimum(), bar->maximum(), bar->value()); };
    fresh->setTotalUnitCount(20000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shares() == std::tuple(0, 1000, 250); }, 5000)) << bar->maximum() << " " << bar->value();
    fresh->addCompletedUnits(5000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shares() == std::tuple(0, 1000, 500); }, 5000)) << bar->value();
}
