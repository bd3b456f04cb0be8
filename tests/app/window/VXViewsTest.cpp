#include "app/booklet/VXOutputFilter.h"
#include "app/booklet/VXPageImageCache.h"
#include "app/booklet/VXStaplesFilter.h"
#include "app/window/VXDoublePageFilterView.h"
#include "app/window/VXFeatureHeader.h"
#include "app/window/VXNoScrollView.h"
#include "app/window/VXPageView.h"
#include "app/window/VXPageViewDelegate.h"
#include "app/window/VXPageRowDelegate.h"
#include "app/window/VXPagesController.h"
#include "app/window/VXTableRowView.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/ui/SizeConstraint.h"

#include "booklet/BookletExport.h"
#include "support/PdfFixture.h"
#include "support/PixelProbe.h"
#include "support/PlacedPointer.h"

#include <QElapsedTimer>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QTest>
#include <QThread>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A wheel turn at a y-down point of the widget; whether the widget took it.
bool wheel(QWidget *widget, QPointF at, int angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

// Sets the views' centre and zoom back from code while it is told, as the document does.
struct Recorder : VXPageViewDelegate
{
    void pageViewDidChangeLayout(VXPageView *view) override
    {
        ++calls;
        view->setCenter(view->center());
        view->setZoom(view->zoom());
    }
    int calls = 0;
};

// A 400 x 300 view filling a shown window, adjusting a 200 x 300 blank page at zoom 0.5: the page
// lies at y-up (150, 75, 100, 150).
struct Host
{
    Host()
    {
        top.resize(400, 300);
        view = new VXPageView(&top);
        view->setGeometry(0, 0, 400, 300);
        view->setPage(VXPage::pageWithSize(QSizeF(200, 300)));
        view->setZoom(0.5);
        view->setAllowAdjusting(true);
        view->setDelegate(&delegate);
        placePointerAway();
        top.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&top));
    }
    // Qt's y-down point for a y-up one.
    static QPoint qt(QPointF p) { return QPoint(qRound(p.x()), 300 - qRound(p.y())); }
    void hover(QPointF p) { QTest::mouseMove(top.windowHandle(), qt(p)); }
    void drag(QPointF from, QPointF to, bool release = true)
    {
        hover(from);
        QTest::mousePress(top.windowHandle(), Qt::LeftButton, {}, qt(from));
        QTest::mouseMove(top.windowHandle(), qt(to));
        if (release)
            QTest::mouseRelease(top.windowHandle(), Qt::LeftButton, {}, qt(to));
    }
    void zoomBy(QPointF at, int angle) { wheel(view, qt(at), angle, Qt::ControlModifier); }
    void expectCenter(QPointF center) const
    {
        EXPECT_NEAR(view->center().x(), center.x(), 1e-9);
        EXPECT_NEAR(view->center().y(), center.y(), 1e-9);
    }
    Qt::CursorShape cursor() const { return top.cursor().shape(); }

    QWidget top;
    VXPageView *view;
    Recorder delegate;
};

void expectNear(QRectF actual, QRectF expected)
{
    const QRectF d(actual.topLeft() - expected.topLeft(), actual.size() - expected.size());
    EXPECT_LT(std::abs(d.x()) + std::abs(d.y()) + std::abs(d.width()) + std::abs(d.height()), 1e-9)
        << actual.x() << "," << actual.y() << " " << actual.width() << " x " << actual.height();
}

// Whether a dashed blue guide line runs along the picture's column (or row, when vertical is false).
bool guideLineAt(const QImage &image, int at, bool vertical)
{
    const int length = vertical ? image.height() : image.width();
    int blue = 0;
    for (int i = 0; i < length; ++i) {
        const QColor c = image.pixelColor(vertical ? QPoint(at, i) : QPoint(i, at));
        blue += c.blue() - c.red() > 80 ? 1 : 0;
    }
    return blue > length / 2;
}

VXPagePtr fixturePage(int number, const QColor &previewColour)
{
    const VXPagePtr page = VXPage::pageForPDFPage(PdfFixture::pdfPages(PdfFixture::pages({PdfFixture::numbered(number).last()})).at(0));
    QImage preview(20, 30, QImage::Format_RGB32);
    preview.fill(previewColour);
    page->setPreview(preview);
    return page;
}

class Clicked : public platform::View
{
public:
    using View::View;
    void mouseDown(const platform::MouseEvent &) override { ++downs; }
    int downs = 0;
};

} // namespace

TEST(VXPageView, MovingSnapsToTheMiddleAndTheViewEdgesWithinThreePointsAndOnlyUserChangesAreTold)
{
    // Free margins of the 100 x 150 page: 150 across, 75 up and down.
    struct Case { QPointF to; QPointF center; };
    const QList<Case> cases{
        {{240, 180}, {0.1, 0.1}},
        {{202, 148}, {0, 0}},
        {{348, 150}, {0.375, 0}},       // right edge on the view's right edge
        {{353, 150}, {153.0 / 400, 0}}, // 3 points away: no snap
        {{49, 76}, {-0.375, -0.25}},    // left and bottom edges
    };
    Host host;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "to " << c.to.x() << "," << c.to.y());
        host.view->setCenter({0, 0});
        const int before = host.delegate.calls;
        host.drag({200, 150}, c.to, false);
        EXPECT_EQ(host.cursor(), Qt::ClosedHandCursor);
        const QImage during = host.view->grab().toImage();
        QTest::mouseRelease(host.top.windowHandle(), Qt::LeftButton, {}, Host::qt(c.to));
        host.expectCenter(c.center);
        EXPECT_EQ(host.delegate.calls, before + 1);
        EXPECT_EQ(guideLineAt(during, 200, true), c.center.x() == 0);
        EXPECT_EQ(guideLineAt(during, 150, false), c.center.y() == 0);
        EXPECT_EQ(guideLineAt(during, 399, true), c.center.x() == 0.375);
        EXPECT_FALSE(guideLineAt(host.view->grab().toImage(), 200, true)) << "guide lines go with the release";
        EXPECT_EQ(host.cursor(), Qt::OpenHandCursor);
    }

    const int calls = host.delegate.calls;
    host.view->setCenter({0.2, 0.1});
    host.view->setZoom(2);
    host.view->setOffset({0.1, 0});
    EXPECT_EQ(host.delegate.calls, calls) << "set from code";
    host.view->setAllowAdjusting(false);
    EXPECT_EQ(host.cursor(), Qt::ArrowCursor);
    host.drag({200, 150}, {240, 150});
    EXPECT_EQ(host.view->center(), QPointF(0.2, 0.1)) << "no drag outside adjust mode";
}

TEST(VXPageView, AnEdgeJumpsToThePointerAndFollowsItWhileTheOppositeEdgeStays)
{
    struct Case { QPointF from; Qt::CursorShape cursor; QPointF to; QPointF center; double zoom; QRectF frame; };
    const QList<Case> cases{
        {{252, 150}, Qt::SizeHorCursor, {300, 150}, {0.0625, 0}, 0.75, {150, 37.5, 150, 225}},
        {{252, 150}, Qt::SizeHorCursor, {397, 150}, {0.1875, 0}, 1.25, {150, -37.5, 250, 375}}, // drawn to the view's edge
        {{148, 150}, Qt::SizeHorCursor, {100, 150}, {-0.0625, 0}, 0.75, {100, 37.5, 150, 225}},
        {{200, 226}, Qt::SizeVerCursor, {200, 285}, {0, 0.1}, 0.7, {130, 75, 140, 210}},
        {{200, 73}, Qt::SizeVerCursor, {200, 3}, {0, -0.125}, 0.75, {125, 0, 150, 225}},
    };
    Host host;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.x() << "," << c.from.y() << " to " << c.to.x() << "," << c.to.y());
        host.view->setCenter({0, 0});
        host.view->setZoom(0.5);
        host.hover(c.from);
        EXPECT_EQ(host.cursor(), c.cursor);
        host.drag(c.from, c.to);
        host.expectCenter(c.center);
        EXPECT_NEAR(host.view->zoom(), c.zoom, 1e-9);
        expectNear(host.view->pageFrame(), c.frame);
    }
}

TEST(VXPageView, CtrlWheelZoomsAboutThePointerPinchesAddAndDoubleClicksToggle)
{
    Host host;
    const int calls = host.delegate.calls;
    wheel(host.view, Host::qt({250, 225}), 120);
    EXPECT_EQ(host.view->zoom(), 0.5) << "a plain wheel scrolls, it does not zoom";

    // One step up at the page's top-right corner: that corner stays where it is.
    host.zoomBy({250, 225}, 120);
    EXPECT_NEAR(host.view->zoom(), 0.6, 1e-9);
    host.expectCenter({-0.025, -0.05});
    expectNear(host.view->pageFrame(), {130, 45, 120, 180});
    host.zoomBy({250, 225}, -120 * 20);
    EXPECT_NEAR(host.view->zoom(), 0.05, 1e-9) << "never zoomed away to nothing";

    host.view->setCenter({0.1, 0});
    host.view->setZoom(0.5);
    const QPointF at = Host::qt({200, 150});
    const auto gesture = [&](Qt::NativeGestureType type, qreal value) {
        QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, at, at, host.view->mapToGlobal(at), value, {});
        QCoreApplication::sendEvent(host.view, &event);
    };
    gesture(Qt::ZoomNativeGesture, 0.25);
    EXPECT_NEAR(host.view->zoom(), 0.75, 1e-9);
    EXPECT_EQ(host.view->center(), QPointF(0.1, 0));

    // The view's proportion, 4 / 3, is the other zoom of the toggle.
    QTest::mouseDClick(host.top.windowHandle(), Qt::LeftButton, {}, Host::qt({10, 10}));
    EXPECT_NEAR(host.view->zoom(), 4.0 / 3, 1e-9);
    gesture(Qt::SmartZoomNativeGesture, 0);
    EXPECT_EQ(host.view->zoom(), 1.0);
    EXPECT_EQ(host.view->center(), QPointF(0.1, 0));
    EXPECT_EQ(host.delegate.calls, calls + 5);
}

TEST(VXPageView, DrawsThePreviewAtOnceAndTheSharpImageWhenItComesUnlessThePageChanged)
{
    const QColor previewColour(0, 0, 255);
    const VXPagePtr first = fixturePage(1, previewColour);
    const VXPagePtr second = fixturePage(3, previewColour);
    Host host;
    host.view->setZoom(1); // the page fills (100, 0, 200, 300)
    const QPoint probe(200, 40);
    const auto shows = [&](const QColor &colour) { return PixelProbe::isNear(host.view->grab().toImage(), probe, colour); };

    host.view->setPage(second);
    EXPECT_TRUE(shows(previewColour)) << "the preview stands in";
    ASSERT_TRUE(QTest::qWaitFor([&] { return shows(PdfFixture::colourOf(3)); }, 30'000));

    const int dropped = VXPage::droppedRenderCount();
    host.view->setPage(first);
    host.view->setPage(second); // its sharp image is at hand now
    // The first page's render is dropped unless it had begun already.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return VXPage::droppedRenderCount() > dropped || VXPageImageCache::shared().find(first.get()).has_value();
    }, 30'000));
    EXPECT_TRUE(shows(PdfFixture::colourOf(3))) << "the first page's late image is not shown";
}

// The sharp image is drawn at the size the page is shown (its long side rounded up to 128
// pixels), not larger; a page shown larger, by a resize or a zoom, gets a sharper one, up to 1000.
TEST(VXPageView, TheSharpImageIsDrawnAtTheSizeShown)
{
    const VXPagePtr page = fixturePage(2, Qt::blue);
    Host host;
    host.view->setZoom(1);
    host.view->setPage(page);
    const auto sharpSize = [&](int longSide) {
        return QTest::qWaitFor([&] {
            const std::optional<VXPageImageCache::Entry> entry = VXPageImageCache::shared().find(page.get());
            return entry && std::max(entry->image.width(), entry->image.height()) == longSide;
        }, 30'000);
    };
    // The long side shown, in device pixels, rounded up to the step.
    const auto shown = [&] {
        const QSizeF frame = host.view->pageFrame().size() * host.view->devicePixelRatioF();
        return int(std::min(1000.0, std::ceil(std::max(frame.width(), frame.height()) / 128) * 128));
    };
    ASSERT_LT(shown(), 1000);
    EXPECT_TRUE(sharpSize(shown()));
    host.view->setZoom(1.5);
    ASSERT_LT(shown(), 1000);
    EXPECT_TRUE(sharpSize(shown()));
    host.top.resize(800, 1200);
    host.view->setGeometry(0, 0, 800, 1200);
    EXPECT_TRUE(sharpSize(1000));
}

// A view laid out while its window is hidden passes through sizes it never shows: it asks for no
// sharp image until it is shown, and then for one at the size shown, which it tells once drawn.
TEST(VXPageView, AHiddenViewAsksForNoSharpImageAndTellsWhenTheOneShownIsDrawn)
{
    const VXPagePtr page = fixturePage(4, Qt::blue);
    QWidget top;
    top.resize(400, 300);
    auto *view = new VXPageView(&top);
    int told = 0;
    QObject::connect(view, &VXPageView::sharpImageShown, [&] { ++told; });
    view->setPage(page);
    for (const int height : {40, 120, 300}) {
        view->setGeometry(0, 0, height * 4 / 3, height);
        QCoreApplication::processEvents();
    }
    QTest::qWait(200);
    EXPECT_FALSE(VXPageImageCache::shared().find(page.get())) << "asked for while hidden";
    EXPECT_FALSE(view->showsSharpImage());

    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->showsSharpImage(); }, 30'000));
    const std::optional<VXPageImageCache::Entry> entry = VXPageImageCache::shared().find(page.get());
    ASSERT_TRUE(entry);
    const QSizeF frame = view->pageFrame().size() * view->devicePixelRatioF();
    EXPECT_EQ(std::max(entry->image.width(), entry->image.height()), int(std::ceil(std::max(frame.width(), frame.height()) / 128) * 128));
    EXPECT_EQ(told, 1);
    view->update();
    QTest::qWait(50);
    EXPECT_EQ(told, 1) << "told once";
}

// The sharp image is painted as its arrival is handled, not when the event loop comes round to
// painting after whatever else waits (a long page list laying out its rows, say).
TEST(VXPageView, PaintsTheSharpImageAsItsArrivalIsHandled)
{
    const VXPagePtr page = fixturePage(3, Qt::blue);
    QWidget top;
    top.resize(400, 300);
    auto *view = new VXPageView(&top);
    view->setGeometry(0, 0, 400, 300);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    view->setPage(page);
    ASSERT_FALSE(view->showsSharpImage());
    // Only the work posted to the application runs here (the image's arrival among it), never the
    // window's own paint requests.
    QElapsedTimer waited;
    waited.start();
    while (!VXPageImageCache::shared().find(page.get()) && waited.elapsed() < 30'000) {
        QThread::msleep(2);
        QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    }
    ASSERT_TRUE(VXPageImageCache::shared().find(page.get()));
    EXPECT_TRUE(view->showsSharpImage());
}

TEST(VXPageView, OnlyLandscapePagesTurnByTheOrientationGiven)
{
    struct Case { QSizeF size; int orientation; double ratio; };
    const QList<Case> cases{
        {{300, 200}, 1, 2.0 / 3}, {{300, 200}, 2, 1.5}, {{200, 300}, 1, 2.0 / 3}};
    VXPageView view;
    for (const Case &c : cases) {
        view.setOrientationForLandscape(c.orientation);
        view.setPage(VXPage::pageWithSize(c.size));
        EXPECT_NEAR(view.ratio(), c.ratio, 1e-9) << c.size.width() << " x " << c.size.height();
    }
}

// With landscape rotation counter-clockwise, the red marker of a page's lower-left corner lies
// lower left while the page is upright and lower right once it is turned, on screen and on paper.
TEST(VXPageView, PagesTurnOnScreenExactlyAsTheyArePrinted)
{
    const QList<std::pair<double, bool>> cases{{0.99, false}, {1.0, false}, {1.01, false}, {1.02, false}, {1.03, true}};
    for (const auto &[ratio, turned] : cases) {
        SCOPED_TRACE(ratio);
        QList<PdfFixturePage> pages = BookletExport::portraitPages(4);
        pages[0].mediaSize = QSizeF(200 * ratio, 200);
        const QByteArray pdf = PdfFixture::pages(pages);

        // Page 1 fills the right half (200, 0, 200, 300) of side 0, about 200 points high.
        BookletExport booklet(pdf);
        booklet.view.setOrientationForLandscape(1);
        const QImage printed = PdfFixture::rendered(booklet.print(), 0);
        EXPECT_EQ(PixelProbe::isNear(printed, {215, 235}, Qt::red), !turned) << PixelProbe::describe(printed, {215, 235}).toStdString();
        EXPECT_EQ(PixelProbe::isNear(printed, {385, 235}, Qt::red), turned) << PixelProbe::describe(printed, {385, 235}).toStdString();

        // On screen the page fills about (50, 0, 300, 300) of the 400 x 300 view.
        Host host;
        host.view->setZoom(1);
        host.view->setOrientationForLandscape(1);
        host.view->setPage(VXPage::pageForPDFPage(PdfFixture::pdfPages(pdf).at(0)));
        const auto redAt = [&](QPoint at) { return PixelProbe::isNear(host.view->grab().toImage(), at, Qt::red); };
        ASSERT_TRUE(QTest::qWaitFor([&] { return redAt({70, 280}) || redAt({330, 280}); }, 30'000));
        EXPECT_EQ(redAt({70, 280}), !turned);
        EXPECT_EQ(redAt({330, 280}), turned);
    }
}

TEST(VXNoScrollView, ClicksOnItsSurfaceReachTheViewBeneathAndTheWheelStopsThere)
{
    QWidget top;
    top.resize(200, 100);
    auto *beneath = new Clicked(&top);
    beneath->setGeometry(0, 0, 200, 100);
    auto *container = new VXNoScrollView(&top);
    container->setGeometry(0, 0, 200, 100);
    auto *inside = new Clicked;
    inside->setFrame(QRectF(0, 0, 50, 50));
    container->addSubview(inside);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));

    QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, QPoint(150, 20));
    QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, QPoint(20, 80));
    EXPECT_EQ(beneath->downs, 1);
    EXPECT_EQ(inside->downs, 1);
    // A wheel over the subview, passed on to the container as Qt passes an ignored one.
    EXPECT_TRUE(wheel(container, {20, 80}, 120));
}

TEST(VXDoublePageFilterView, StapleMarksShowOnSheetSidesOnlyClicksPassThroughAndTheFilterForgetsItWhenDestroyed)
{
    VXStaplesFilter staples;
    staples.setNumberOfStaples(1);
    auto view = std::make_unique<VXDoublePageFilterView>();
    view->setFrame({0, 0, 200, 100});
    view->setFilters({&staples});
    view->setPageType(VXOutputFilter::FirstSide);
    // The one mark's horizontal line crosses the fold at half the height.
    auto marked = [&] {
        const QImage image = platform::BitmapGraphicsContext::drawnImage(
            {200, 100}, 1, [&](platform::GraphicsContext &) { view->drawRect(view->bounds()); });
        return qAlpha(image.pixel(95, 49)) > 0 || qAlpha(image.pixel(95, 50)) > 0;
    };
    EXPECT_TRUE(marked());
    view->setOnlyPagesBasedFilters(true);
    EXPECT_FALSE(marked()) << "reading spreads show no staple marks";
    EXPECT_EQ(view->hitTest({100, 50}), nullptr);

    staples.setDelegate(view.get());
    EXPECT_EQ(staples.delegate(), view.get());
    view.reset();
    EXPECT_EQ(staples.delegate(), nullptr);
    staples.setNumberOfStaples(2);
}

TEST(VXFeatureHeader, AnOverlayColourTintsTheBarKeepingItsLightness)
{
    VXFeatureHeader header;
    header.resize(200, 28);
    // Half way up the bar's grey 0.803 to 0.9 gradient: grey 0.85; red with that luminosity,
    // clipped into range, is (1.0, 0.785, 0.785).
    const struct { QColor overlay; QColor expected; } cases[] = {
        {QColor(), QColor(217, 217, 217)},
        {QColor::fromRgbF(1, 0, 0), QColor(255, 200, 200)},
        {QColor(), QColor(217, 217, 217)},
    };
    for (const auto &c : cases) {
        header.setOverlayColor(c.overlay);
        const QImage image = PixelProbe::drawn(header);
        EXPECT_TRUE(PixelProbe::isNear(image, {100, 14}, c.expected, 3))
            << c.overlay.name().toStdString() << ": " << PixelProbe::describe(image, {100, 14}).toStdString();
    }
}

// A section whose content would be 100 high, held at 20 by its height constraint.
TEST(VXFeatureHeader, AClickSwitchesTheSectionsHeightBetweenHeldAndFree)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    VXFeatureHeader header;
    auto *section = new QWidget;
    auto *content = new QVBoxLayout(section);
    auto *filler = new QWidget;
    filler->setMinimumHeight(100);
    content->addWidget(filler);
    column->addWidget(section);
    header.mouseUpForLater(1);
    EXPECT_EQ(header.heightConstraint(), nullptr) << "nothing to toggle";

    auto held = std::make_shared<platform::SizeConstraint>(platform::SizeConstraint::Dimension::Height, 20);
    held->setPriority(999);
    ASSERT_TRUE(held->install(section));
    header.setHeightConstraint(held);
    window.show();
    EXPECT_EQ(section->maximumHeight(), 20);
    header.mouseUpForLater(0);
    EXPECT_EQ(header.heightConstraint(), held) << "no click, no toggle";

    const double priorities[] = {10, 1000, 10};
    const int heights[] = {QWIDGETSIZE_MAX, 20, QWIDGETSIZE_MAX};
    for (int i = 0; i < 3; ++i) {
        header.mouseUpForLater(1);
        const std::shared_ptr<platform::SizeConstraint> now = header.heightConstraint();
        EXPECT_EQ(now->priority(), priorities[i]) << i;
        EXPECT_EQ(now->constant(), 20) << i;
        EXPECT_EQ(now->view(), section) << "the copy holds the same section";
        EXPECT_EQ(section->maximumHeight(), heights[i]) << i;
    }
    EXPECT_EQ(held->view(), nullptr) << "the first constraint was taken off";
    window.adjustSize();
    EXPECT_GE(section->height(), 100) << "free, the section takes its content's height";
}

TEST(VXTableRowView, EachSubviewIsAWhitePageRingedWhenTheRowIsSelectedAndAddedOnesStayCentred)
{
    const auto darkVeil = [](const QColor &c) { return c.alpha() >= 40 && c.red() < 40; };
    VXTableRowView row;
    row.resize(200, 100);
    row.setSelected(true);
    const QImage empty = PixelProbe::drawn(row);
    EXPECT_EQ(empty.pixelColor(100, 50).alpha(), 0);
    EXPECT_EQ(empty.pixelColor(7, 50).alpha(), 0);

    (new QWidget(&row))->setGeometry(10, 10, 50, 80);
    (new QWidget(&row))->setGeometry(100, 10, 50, 80);
    for (bool selected : {false, true}) {
        row.setSelected(selected);
        const QImage image = PixelProbe::drawn(row);
        for (int x : {35, 125})
            EXPECT_EQ(image.pixelColor(x, 50), QColor(Qt::white)) << x;
        EXPECT_EQ(darkVeil(image.pixelColor(7, 50)), selected) << "left of the first page";
        EXPECT_EQ(darkVeil(image.pixelColor(97, 50)), selected) << "left of the second page";
        EXPECT_EQ(image.pixelColor(80, 50).alpha(), 0) << "between the pages";
    }

    row.show(); // a hidden widget hears of its new size only when shown
    auto *preview = new QWidget;
    row.addSubview(preview);
    EXPECT_EQ(preview->geometry(), QRect(20, 10, 160, 80)) << "centred, 20 in and 10 up";
    row.resize(300, 60);
    EXPECT_EQ(preview->geometry(), QRect(20, 10, 260, 40));
}

// A page row whose preview has not come yet shows the page's outline on the white list; once the
// preview is there, the preview alone.
TEST(VXPageRowDelegate, APageStillLoadingShowsItsOutline)
{
    QStandardItemModel model(2, 1);
    model.setData(model.index(1, 0), 0.75, VXPagesController::RatioRole);
    VXPageRowDelegate delegate;
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 120, 160);
    const QRect page = VXTableRowView::pageFrameInRow(option.rect.size());
    const auto edgeOf = [&](const QImage &preview) {
        model.setData(model.index(1, 0), preview, Qt::DecorationRole);
        QImage row(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
        row.fill(Qt::white);
        QPainter painter(&row);
        delegate.paint(&painter, option, model.index(1, 0));
        painter.end();
        return row.pixelColor(page.left(), page.center().y());
    };
    EXPECT_LT(edgeOf(QImage()).lightness(), 220) << "outlined while loading";
    QImage green(page.size(), QImage::Format_ARGB32_Premultiplied);
    green.fill(Qt::green);
    EXPECT_EQ(edgeOf(green).name(), QColor(Qt::green).name()) << "the preview alone once loaded";
}
