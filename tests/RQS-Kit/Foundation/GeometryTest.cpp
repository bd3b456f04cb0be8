#include "RQS-Kit/Foundation/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

void expectRect(const QRectF &actual, double x, double y, double width, double height)
{
    EXPECT_DOUBLE_EQ(actual.x(), x);
    EXPECT_DOUBLE_EQ(actual.y(), y);
    EXPECT_DOUBLE_EQ(actual.width(), width);
    EXPECT_DOUBLE_EQ(actual.height(), height);
}

void expectPoint(const QPointF &actual, double x, double y)
{
    EXPECT_DOUBLE_EQ(actual.x(), x);
    EXPECT_DOUBLE_EQ(actual.y(), y);
}

void expectVector(const QSVector3 &actual, double x, double y, double z)
{
    EXPECT_DOUBLE_EQ(actual.x, x);
    EXPECT_DOUBLE_EQ(actual.y, y);
    EXPECT_DOUBLE_EQ(actual.z, z);
}

// Rows of m11..m44 counted 1..16, so that every product shows which element it came from.
QSTransform3D countingTransform()
{
    return QSTransform3D{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
}

} // namespace

TEST(Geometry, ExpandRect)
{
    struct Case { QRectF rect; double distance; QRectF expected; };
    const Case cases[] = {
        {{10, 20, 30, 40}, 0, {10, 20, 30, 40}},
        {{10, 20, 30, 40}, 5, {5, 15, 40, 50}},
        {{10, 20, 30, 40}, -15, {25, 35, 0, 10}},
        {{-4, -6, 2, 2}, 1.5, {-5.5, -7.5, 5, 5}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.distance);
        expectRect(QSExpandRect(c.rect, c.distance), c.expected.x(), c.expected.y(), c.expected.width(),
                   c.expected.height());
    }
}

TEST(Geometry, CenteredSquareInRect)
{
    struct Case { QRectF rect; QRectF expected; };
    const Case cases[] = {
        {{0, 0, 50, 50}, {0, 0, 50, 50}},
        {{0, 0, 100, 40}, {30, 0, 40, 40}},
        {{0, 0, 40, 100}, {0, 30, 40, 40}},
        {{10, 20, 100, 40}, {40, 20, 40, 40}},
        {{-10, -20, 6, 9}, {-10, -18.5, 6, 6}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rect.width());
        expectRect(QSCenteredSquareInRect(c.rect), c.expected.x(), c.expected.y(), c.expected.width(),
                   c.expected.height());
    }
}

TEST(Geometry, CenteredAspectRectInRect)
{
    struct Case { QRectF rect; QSizeF size; QRectF expected; };
    const Case cases[] = {
        {{0, 0, 200, 100}, {1, 1}, {50, 0, 100, 100}},
        {{0, 0, 200, 100}, {4, 1}, {0, 25, 200, 50}},
        {{0, 0, 200, 100}, {20, 10}, {0, 0, 200, 100}},
        {{10, 10, 100, 100}, {1, 2}, {35, 10, 50, 100}},
        {{-50, 0, 100, 300}, {3, 2}, {-50, 116.66666666666667, 100, 66.666666666666671}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.size.width());
        expectRect(QSCenteredAspectRectInRect(c.rect, c.size), c.expected.x(), c.expected.y(), c.expected.width(),
                   c.expected.height());
    }
}

TEST(Geometry, PointDistanceFromRect)
{
    struct Case { QPointF point; QRectF rect; double expected; };
    const Case cases[] = {
        {{5, 5}, {0, 0, 10, 10}, 0},
        {{10, 0}, {0, 0, 10, 10}, 0},
        {{13, -4}, {0, 0, 10, 10}, 4},
        {{-7, 5}, {0, 0, 10, 10}, 7},
        {{15, 12}, {0, 0, 10, 10}, 5},
        {{5, 25}, {0, 10, 10, 10}, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.point.x());
        EXPECT_DOUBLE_EQ(QSPointDistanceFromRect(c.point, c.rect), c.expected);
    }
}

TEST(Geometry, RectMaxDifference)
{
    struct Case { QRectF a; QRectF b; double expected; };
    const Case cases[] = {
        {{1, 2, 3, 4}, {1, 2, 3, 4}, 0},
        {{0, 0, 10, 10}, {1, -5, 13, 9}, 5},
        {{0, 0, 10, 10}, {-7, 1, 13, 9}, 7},
        {{0, 0, 10, 10}, {0, 0, 10, 2.5}, 7.5},
        {{0, 0, 10, 10}, {0, 0, 16, 2.5}, 7.5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
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

TEST(Geometry, InterpolatePointsDoesNotClamp)
{
    struct Case { double fraction; QPointF expected; };
    const Case cases[] = {
        {0, {2, -4}}, {1, {12, 16}}, {0.5, {7, 6}}, {2, {22, 36}}, {-0.5, {-3, -14}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fraction);
        expectPoint(QSInterpolatePoints({2, -4}, {12, 16}, c.fraction), c.expected.x(), c.expected.y());
    }
}

TEST(Geometry, ProjectVector3)
{
    for (double d : {-3.0, 0.5, 1.0, 100.0}) {
        SCOPED_TRACE(d);
        expectPoint(QSProjectVector3({0, 0, 0}, d, 1.7), 0.5, 0.5);
    }
    expectPoint(QSProjectVector3({1, 0.5, 1}, 3, 2), 1.25, 1.25);
    expectPoint(QSProjectVector3({-0.4, 0.2, -2}, 2, 0.5), 0.4, 0.525);
}

TEST(Geometry, ProjectVector3AtTheEyeFollowsFloatingPointRules)
{
    const QPointF atEye = QSProjectVector3({1, -1, 2}, 2, 1);
    EXPECT_TRUE(std::isinf(atEye.x()) && atEye.x() > 0);
    EXPECT_TRUE(std::isinf(atEye.y()) && atEye.y() < 0);
}

TEST(Geometry, UnprojectPointOnLine)
{
    // On the line (0.2, -0.1, 1) + k (0.5, 0.25, -1) at k = 0.8 lies (0.6, 0.1, 0.2); with eye distance 4
    // and aspect 2 it projects to (0.6 * 4 / 3.8 / 2 + 0.5, 0.1 * 4 / 3.8 + 0.5).
    const QSVector3 p{0.2, -0.1, 1};
    const QSVector3 q{0.5, 0.25, -1};
    const QPointF projected(0.6 * 4 / 3.8 / 2 + 0.5, 0.1 * 4 / 3.8 + 0.5);
    expectPoint(QSProjectVector3({0.6, 0.1, 0.2}, 4, 2), projected.x(), projected.y());
    expectPoint(QSUnprojectPointOnLine(projected, 4, 2, p, q), 0.4, 0.8);

    // A line parallel to the picture plane: (0, 0, 0) + k (1, 1, 0) at k = 0.4 projects to (0.7, 0.7).
    expectPoint(QSUnprojectPointOnLine({0.7, 0.7}, 2, 1, {0, 0, 0}, {1, 1, 0}), 0.2, 0.2);
}

TEST(Geometry, UnprojectInvertsProjectAlongTheLine)
{
    struct Case { QSVector3 p; QSVector3 q; double eye; double aspect; double k; };
    const Case cases[] = {
        {{0, 0, 0}, {1, 1, 1}, 5, 1, 0.3},
        {{-0.5, 0.25, 0.5}, {0.75, -0.5, 0.25}, 3, 1.5, -0.6},
        {{0.1, 0.2, -1}, {0.3, 0.7, 2}, 10, 0.75, 1.25},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.k);
        const QSVector3 onLine{c.p.x + c.k * c.q.x, c.p.y + c.k * c.q.y, c.p.z + c.k * c.q.z};
        const QPointF back = QSUnprojectPointOnLine(QSProjectVector3(onLine, c.eye, c.aspect), c.eye, c.aspect, c.p, c.q);
        EXPECT_NEAR(back.x(), c.k * 0.5, 1e-12);
        EXPECT_NEAR(back.y(), c.k * 0.5 * c.aspect, 1e-12);
    }
}

TEST(Geometry, TransformPlanePoint)
{
    // U = 2 * 0.5 = 1, V = 2 * 1.5 / 3 = 1.
    expectVector(QSTransformPlanePoint(countingTransform(), {1, 2, 3}, 0.5, 1.5, 3), 1 + 5 + 1 + 13,
                 2 + 6 + 1 + 14, 3 + 7 + 6 + 15);
    // The identity with the centre at (0.5, 0.5, 0) leaves the plane coordinates doubled, v also divided by a.
    expectVector(QSTransformPlanePoint(QSTransform3D{}, {0.5, 0.5, 0}, 0.25, -0.5, 2), 0.5, -0.5, 0);
}

TEST(Geometry, CombineTransformAxes)
{
    expectVector(QSCombineTransformAxes(countingTransform(), 2, -1), 2 - 5, 4 - 6, 6 - 7);
    expectVector(QSCombineTransformAxes(QSTransform3D{}, 0.25, 4), 0.25, 4, 0);
}

TEST(Geometry, TransformVectorToPoint)
{
    // x = 1 * 1 + 2 * 5 + 3 * 9; y = (1 * 2 + 2 * 6 + 3 * 10) * 0.5; the translation row takes no part.
    expectPoint(QSTransformVectorToPoint({1, 2, 3}, countingTransform(), 0.5), 38, 22);
    expectPoint(QSTransformVectorToPoint({-1, 4, 7}, QSTransform3D{}, 3), -1, 12);
}
