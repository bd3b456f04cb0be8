#include "RQS-Kit/Foundation/Geometry.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

TEST(Geometry, RectanglesPointsProjectionsAndTransformsFollowTheArithmeticWorkedOut)
{
    EXPECT_EQ(QSExpandRect({10, 20, 30, 40}, -15), QRectF(25, 35, 0, 10));
    EXPECT_EQ(QSCenteredSquareInRect({10, 20, 100, 40}), QRectF(40, 20, 40, 40));
    EXPECT_EQ(QSCenteredAspectRectInRect({10, 10, 100, 100}, {1, 2}), QRectF(35, 10, 50, 100));

    const QRectF square(0, 0, 10, 10);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({10, 0}, square), 0);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({-7, 5}, square), 7);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({15, 12}, square), 5);
    EXPECT_DOUBLE_EQ(QSRectMaxDifference(square, {0, 0, 10, 2.5}), 7.5);

    // Maxima skip comparands that are not numbers. A naive "a > b ? a : b" would answer not-a-number
    // or drop a real value depending on the order of the comparands; both positions are tried here.
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({NaN, 15}, square), 5);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({15, NaN}, square), 5);
    EXPECT_DOUBLE_EQ(QSPointDistanceFromRect({NaN, NaN}, square), 0);

    const QRectF other(1, -5, 13, 9);
    EXPECT_DOUBLE_EQ(QSRectMaxDifference({0, 0, 10, NaN}, other), 5);
    EXPECT_DOUBLE_EQ(QSRectMaxDifference({NaN, 0, 10, 10}, other), 5);
    EXPECT_TRUE(std::isnan(QSRectMaxDifference({NaN, NaN, NaN, NaN}, other)));

    // Interpolation does not clamp; projection follows floating-point rules at the eye.
    EXPECT_EQ(QSInterpolatePoints({2, -4}, {12, 16}, 2), QPointF(22, 36));
    EXPECT_EQ(QSProjectVector3({-0.4, 0.2, -2}, 2, 0.5), QPointF(0.4, 0.525));
    const QPointF atEye = QSProjectVector3({1, -1, 2}, 2, 1);
    EXPECT_TRUE(std::isinf(atEye.x()) && atEye.x() > 0);
    EXPECT_TRUE(std::isinf(atEye.y()) && atEye.y() < 0);

    // On the line (0.2, -0.1, 1) + k (0.5, 0.25, -1) at k = 0.8 lies (0.6, 0.1, 0.2); with eye distance 4
    // and aspect 2 it projects to (0.6 * 4 / 3.8 / 2 + 0.5, 0.1 * 4 / 3.8 + 0.5).
    const QPointF projected(0.6 * 4 / 3.8 / 2 + 0.5, 0.1 * 4 / 3.8 + 0.5);
    EXPECT_EQ(QSUnprojectPointOnLine(projected, 4, 2, {0.2, -0.1, 1}, {0.5, 0.25, -1}), QPointF(0.4, 0.8));

    // Transforms take the matrix rows as worked out.
    // U = 2 * 0.5 = 1, V = 2 * 1.5 / 3 = 1.
    expectVector(QSTransformPlanePoint(countingTransform(), {1, 2, 3}, 0.5, 1.5, 3), 1 + 5 + 1 + 13, 2 + 6 + 1 + 14, 3 + 7 + 6 + 15);
    expectVector(QSCombineTransformAxes(countingTransform(), 2, -1), 2 - 5, 4 - 6, 6 - 7);
    // x = 1 * 1 + 2 * 5 + 3 * 9; y = (1 * 2 + 2 * 6 + 3 * 10) * 0.5; the translation row is not used.
    EXPECT_EQ(QSTransformVectorToPoint({1, 2, 3}, countingTransform(), 0.5), QPointF(38, 22));
}
