#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSFeedPageView.h"
#include "RQS-Kit/Controls/QSNewsletterController.h"
#include "support/MappedFiles.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool webEngineMapped() { return mappedFiles().contains("libQt6WebEngineCore"); }

} // namespace

// This suite links nothing of the web engine, as the application: its windows, the newsletter's
// among them, leave the engine's libraries out of the process until a page is to be shown.
TEST(WebEngineOnDemand, TheEngineIsLoadedOnlyWhenAPageIsToBeShown)
{
    rqs::registerKitClasses();
    ASSERT_FALSE(webEngineMapped()) << "mapped before any window was made";
    QSNewsletterController newsletter;
    newsletter.showWindow(nullptr);
    ASSERT_NE(newsletter.webView(), nullptr);
    EXPECT_TRUE(newsletter.webView()->isVisible());
    EXPECT_EQ(newsletter.webView()->engineView(), nullptr);
    EXPECT_FALSE(webEngineMapped()) << "mapped by a newsletter window with no page";

    QTemporaryDir folder;
    QFile page(folder.filePath("page.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<body style='background: #ff00ff'><p>Shown on demand</p></body>");
    page.close();
    QSFeedPageView view;
    view.setNavigationPolicy([](const QUrl &) { return true; });
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(view.navigate(QUrl::fromLocalFile(page.fileName())));
    EXPECT_TRUE(webEngineMapped());
    ASSERT_NE(view.engineView(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.plainText().contains("Shown on demand"); }, 20000));
    const QPoint inside(view.width() - 20, view.height() - 20);
    EXPECT_TRUE(QTest::qWaitFor([&] { return PixelProbe::isNear(view.grab().toImage(), inside, QColor(255, 0, 255), 4); }, 10000))
        << "the page is drawn: " << PixelProbe::describe(view.grab().toImage(), inside).toStdString();
}
