#include "RQS-Kit/Foundation/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

// Readable rectangles and points in failure messages.
static void PrintTo(const QRectF &r, std::ostream *os) { *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height(); }
static void PrintTo(const QPointF &p, std::ostream *os) { *os << p.x() << "," << p.y(); }

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

void expectVector(const QSVector3 &actual, double x, double y, double z)
{
    EXPECT_DOUBLE_EQ(actual.x, x);
    EXPECT_DOUBLE_EQ(actual.y, y);
    EXPECT_DOUBLE_EQ(actual.z, z);
}

// Rows of m11..m44 counted 1..16, so that every product shows which element it came from.
QSTransform3D countingTransform() { return QSTransform3D{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}; }

} // namespace

TEST(Geometry, RectanglesExpandAndCentreAsWorkedOut)
{
    const struct { QRectF rect; double distance; QRectF expected; } expanded[] = {
        {{10, 20, 30, 40}, 0, {10, 20, 30, 40}},
        {{10, 20, 30, 40}, 5, {5, 15, 40, 50}},
        {{10, 20, 30, 40}, -15, {25, 35, 0, 10}},
        {{-4, -6, 2, 2}, 1.5, {-5.5, -7.5, 5, 5}},
    };
    for (const auto &c : expanded)
        EXPECT_EQ(QSExpandRect(c.rect, c.distance), c.expected) << c.distance;

    const struct { QRectF rect; QRectF expected; } squares[] = {
        {{0, 0, 50, 50}, {0, 0, 50, 50}},
        {{0, 0, 100, 40}, {30, 0, 40, 40}},
        {{0, 0, 40, 100}, {0, 30, 40, 40}},
        {{10, 20, 100, 40}, {40, 20, 40, 40}},
        {{-10, -20, 6, 9}, {-10, -18.5, 6, 6}},
    };
    for (const auto &c : squares)
        EXPECT_EQ(QSCenteredSquareInRect(c.rect), c.expected) << c.rect.width();

    const struct { QRectF rect; QSizeF size; QRectF expected; } aspects[] = {
        {{0, 0, 200, 100}, {1, 1}, {50, 0, 100, 100}},
        {{0, 0, 200, 100}, {4, 1}, {0, 25, 200, 50}},
        {{0, 0, 200, 100}, {20, 10}, {0, 0, 200, 100}},
        {{10, 10, 100, 100}, {1, 2}, {35, 10, 50, 100}},
        {{-50, 0, 100, 300}, {3, 2}, {-50, 116.66666666666667, 100, 66.666666666666671}},
    };
    for (const auto &c : aspects)
        EXPECT_EQ(QSCenteredAspectRectInRect(c.rect, c.size), c.expected) << c.size.width();
}

TEST(Geometry, DistancesOfAPointFromARectAndBetweenRects)
{
    const struct { QPointF point; QRectF rect; double expected; } points[] = {
        {{5, 5}, {0, 0, 10, 10}, 0},  {{10, 0}, {0, 0, 10, 10}, 0},  {{13, -4}, {0, 0, 10, 10}, 4},
        {{-7, 5}, {0, 0, 10, 10}, 7}, {{15, 12}, {0, 0, 10, 10}, 5}, {{5, 25}, {0, 10, 10, 10}, 5},
    };
    for (const auto &c : points)
        EXPECT_DOUBLE_EQ(QSPointDistanceFromRect(c.point, c.rect), c.expected) << c.point.x();

    const struct { QRectF a; QRectF b; double expected; } rects[] = {
        {{1, 2, 3, 4}, {1, 2, 3, 4}, 0},        {{0, 0, 10, 10}, {1, -5, 13, 9}, 5},  {{0, 0, 10, 10}, {-7, 1, 13, 9}, 7},
        {{0, 0, 10, 10}, {0, 0, 10, 2.5}, 7.5}, {{0, 0, 10, 10}, {0, 0, 16, 2.5}, 7.5},
    };
    for (const auto &c : rects) {
        EXPECT_DOUBLE_EQ(QSRectMaxDifference(c.a, c.b), c.expected);
        EXPECT_DOUBLE_EQ(QSRectMaxDifference(c.b, c.a), c.expected);
    }
}

// A naive "a > b ? a : b" would answer not-a-number or drop a real value depending on the order of
// the comparands; every position is tried here.
TEST(Geometry, MaximaSkipComparandsThatAreNotNumbers)
{
    const QRectF square(0, 0, 10, 10);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({NaN, 15}, square), 5);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({15, NaN}, square), 5);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({NaN, NaN}, square), 0);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({13, -4}, {0, 0, NaN, 10}), 4);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({13, -4}, {NaN, 0, 10, 10}), 4);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({-6, 14}, {0, 0, 10, NaN}), 6);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({-6, 14}, {0, NaN, 10, 10}), 6);

    const QRectF other(1, -5, 13, 9);
    EXPECT_DOUBLE_EQ(QSRectMaxDifference({0, 0, 10, NaN}, other), 5);
    EXPECT_DOUBLE_EQ(QSRectMaxDifference({0, 0, NaN, 10}, other), 5);
    EXPECT_DOUBLE_EQ(QSRectMaxDifference({0, NaN, 10, 10}, other), 3);
    EXPECT_DOUBLE_EQ(QSRectMaxDifference({NaN, 0, 10, 10}, other), 5);
    EXPECT_DOUBLE_EQ(QSRectMaxDifference({NaN, NaN, NaN, 10}, other), 1);
    EXPECT_TRUE(std::isnan(QSRectMaxDifference({NaN, NaN, NaN, NaN}, other)));
}

TEST(Geometry, InterpolationDoesNotClampAndProjectionFollowsFloatingPointRulesAtTheEye)
{
    const std::pair<double, QPointF> fractions[] = {{0, {2, -4}}, {1, {12, 16}}, {0.5, {7, 6}}, {2, {22, 36}}, {-0.5, {-3, -14}}};
    for (const auto &[fraction, expected] : fractions)
        EXPECT_EQ(QSInterpolatePoints({2, -4}, {12, 16}, fraction), expected) << fraction;

    for (double d : {-3.0, 0.5, 1.0, 100.0})
        EXPECT_EQ(QSProjectVector3({0, 0, 0}, d, 1.7), QPointF(0.5, 0.5)) << d;
    EXPECT_EQ(QSProjectVector3({1, 0.5, 1}, 3, 2), QPointF(1.25, 1.25));
    EXPECT_EQ(QSProjectVector3({-0.4, 0.2, -2}, 2, 0.5), QPointF(0.4, 0.525));
    const QPointF atEye = QSProjectVector3({1, -1, 2}, 2, 1);
    EXPECT_TRUE(std::isinf(atEye.x()) && atEye.x() > 0);
    EXPECT_TRUE(std::isinf(atEye.y()) && atEye.y() < 0);
}

TEST(Geometry, UnprojectInvertsProjectAlongTheLine)
{
    // On the line (0.2, -0.1, 1) + k (0.5, 0.25, -1) at k = 0.8 lies (0.6, 0.1, 0.2); with eye distance 4
    // and aspect 2 it projects to (0.6 * 4 / 3.8 / 2 + 0.5, 0.1 * 4 / 3.8 + 0.5).
    const QPointF projected(0.6 * 4 / 3.8 / 2 + 0.5, 0.1 * 4 / 3.8 + 0.5);
    EXPECT_EQ(QSProjectVector3({0.6, 0.1, 0.2}, 4, 2), projected);
    EXPECT_EQ(QSUnprojectPointOnLine(projected, 4, 2, {0.2, -0.1, 1}, {0.5, 0.25, -1}), QPointF(0.4, 0.8));
    // A line parallel to the picture plane: (0, 0, 0) + k (1, 1, 0) at k = 0.4 projects to (0.7, 0.7).
    EXPECT_EQ(QSUnprojectPointOnLine({0.7, 0.7}, 2, 1, {0, 0, 0}, {1, 1, 0}), QPointF(0.2, 0.2));

    const struct { QSVector3 p; QSVector3 q; double eye; double aspect; double k; } cases[] = {
        {{0, 0, 0}, {1, 1, 1}, 5, 1, 0.3},
        {{-0.5, 0.25, 0.5}, {0.75, -0.5, 0.25}, 3, 1.5, -0.6},
        {{0.1, 0.2, -1}, {0.3, 0.7, 2}, 10, 0.75, 1.25},
    };
    for (const auto &c : cases) {
        const QSVector3 onLine{c.p.x + c.k * c.q.x, c.p.y + c.k * c.q.y, c.p.z + c.k * c.q.z};
        const QPointF back = QSUnprojectPointOnLine(QSProjectVector3(onLine, c.eye, c.aspect), c.eye, c.aspect, c.p, c.q);
        EXPECT_NEAR(back.x(), c.k * 0.5, 1e-12) << c.k;
        EXPECT_NEAR(back.y(), c.k * 0.5 * c.aspect, 1e-12) << c.k;
    }
}

TEST(Geometry, TransformsTakeTheMatrixRowsAsWorkedOut)
{
    // U = 2 * 0.5 = 1, V = 2 * 1.5 / 3 = 1.
    expectVector(QSTransformPlanePoint(countingTransform(), {1, 2, 3}, 0.5, 1.5, 3), 1 + 5 + 1 + 13, 2 + 6 + 1 + 14, 3 + 7 + 6 + 15);
    // The identity with the centre at (0.5, 0.5, 0) leaves the plane coordinates doubled, v also divided by a.
    expectVector(QSTransformPlanePoint(QSTransform3D{}, {0.5, 0.5, 0}, 0.25, -0.5, 2), 0.5, -0.5, 0);
    expectVector(QSCombineTransformAxes(countingTransform(), 2, -1), 2 - 5, 4 - 6, 6 - 7);
    expectVector(QSCombineTransformAxes(QSTransform3D{}, 0.25, 4), 0.25, 4, 0);
    // x = 1 * 1 + 2 * 5 + 3 * 9; y = (1 * 2 + 2 * 6 + 3 * 10) * 0.5; the translation row takes no part.
    EXPECT_EQ(QSTransformVectorToPoint({1, 2, 3}, countingTransform(), 0.5), QPointF(38, 22));
    EXPECT_EQ(QSTransformVectorToPoint({-1, 4, 7}, QSTransform3D{}, 3), QPointF(-1, 12));
}
