#include "RQS-Kit/Controls/QSFittedTextCell.h"
#include "RQS-Kit/Controls/QSFontTextCell.h"
#include "RQS-Kit/Controls/QSLabel.h"
#include "RQS-Kit/Controls/QSLeanientNumberFormatter.h"
#include "RQS-Kit/Controls/QSTextField.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/TextLayout.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QPainter>
#include <QStandardItemModel>

namespace {

// The rows and columns (y-down) of pixels darker than mid grey: the text's ink.
QRect ink(const QImage &image)
{
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128 && qAlpha(image.pixel(x, y)) > 128)
                found |= QRect(x, y, 1, 1);
    return found;
}

QFont dejaVu(double points)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    return font;
}

double naturalWidth(const QSLabel &label)
{
    const QSLabel::FieldString field = label.stringWithFieldAttributes();
    return platform::TextLayout(field.string, field.attributes).size().width();
}

} // namespace

TEST(QSLabel, TextTwiceTheWidthIsDrawnAt0_4995OfItsFontAndNarrowerTextKeepsTheFont)
{
    QSLabel label;
    label.resize(100, 40);
    label.setShrinkToFit(true);
    // Text sizes come in whole points, and this one sets exactly 200 points wide.
    label.setText(QString(40, QLatin1Char('l')));
    label.setFont(dejaVu(18));
    ASSERT_EQ(naturalWidth(label), 200);

    EXPECT_NEAR(label.fittedFont().pointSizeF() / label.font().pointSizeF(), 0.4995, 1e-4);
    const QRect drawn = ink(label.grab().toImage());
    EXPECT_LE(drawn.left(), 2);
    EXPECT_GE(drawn.right(), 90) << "the shrunk text spans the width on one line";
    EXPECT_LT(drawn.height(), 20);

    label.setText("W");
    EXPECT_EQ(label.fittedFont(), label.font());
}

TEST(QSLabel, TextSixteenHighInAFortyHighLabelStartsAtY12AndADisabledLabelIsDrawnAtHalfAlpha)
{
    QSLabel label;
    label.resize(60, 40);
    label.setText(QString(QChar(0x2588))); // a full block inks its whole line
    double points = 10;
    for (label.setFont(dejaVu(points)); label.preferredHeight() < 16; label.setFont(dejaVu(points)))
        points += 0.125;
    ASSERT_EQ(label.preferredHeight(), 16);
    const QRect drawn = ink(label.grab().toImage());
    EXPECT_NEAR(40 - drawn.bottom() - 1, 12, 1) << "y-up bottom of the text";
    EXPECT_NEAR(40 - drawn.top(), 28, 1) << "y-up top of the text";

    label.setText({});
    label.setDrawsBackground(true);
    label.setBackgroundColor(Qt::red);
    label.setEnabled(false);
    EXPECT_EQ(label.preferredHeight(), 0);
    const QImage dimmed = PixelProbe::drawn(label);
    EXPECT_TRUE(PixelProbe::isNear(dimmed, {30, 20}, QColor(255, 0, 0, 128), 2)) << PixelProbe::describe(dimmed, {30, 20}).toStdString();
}

TEST(QSFittedTextCell, FillsTheWidthOfATallControlAndTheHeightOfAWideOneAndKeepsTheFontWithNothingToMeasure)
{
    QLabel tall;
    tall.resize(50, 200);
    QSFittedTextCell cell(&tall);
    cell.setStringValue("AB");
    const QRect narrow = ink(tall.grab().toImage());
    EXPECT_GE(narrow.width(), 40);
    EXPECT_LE(narrow.right(), 50);
    EXPECT_EQ(tall.font().pointSizeF(), cell.font().pointSizeF()) << "the control takes the fitted font";

    QCoreApplication::processEvents(); // the fit in progress ends after the event
    tall.resize(500, 20);
    const QRect flat = ink(tall.grab().toImage());
    EXPECT_LE(flat.height(), 20);
    EXPECT_LT(flat.width(), 100) << "the height decides";

    QCoreApplication::processEvents();
    const double fitted = cell.font().pointSizeF();
    cell.setStringValue(QString(QChar(0x200B))); // zero width
    EXPECT_EQ(cell.font().pointSizeF(), fitted);
    tall.resize(0, 0);
    cell.setStringValue("AB");
    EXPECT_EQ(cell.font().pointSizeF(), fitted);
}

TEST(QSFittedTextCell, AControlViewThatIsNoControlIsWarnedOfAndTheCellKeepsTheFittedFont)
{
    QWidget plain;
    plain.resize(50, 200);
    QSFittedTextCell cell(&plain);
    platform::LogCapture log;
    cell.setStringValue("AB");
    EXPECT_TRUE(log.contains("Warning: unknown controlView"));
    EXPECT_NE(cell.font().pointSizeF(), 12);
}

TEST(QSFontTextCell, DrawsTenPointsInFromTheCellsOwnLeftEdgeCentredAndCutToTheCellLess18)
{
    QStandardItemModel model;
    model.appendRow(new QStandardItem(QString(40, QLatin1Char('l'))));
    model.item(0)->setFont(dejaVu(18)); // 200 points wide
    QImage image(300, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(100, 10, 120, 40);
    QSFontTextCell().paint(&painter, option, model.index(0, 0));
    painter.end();
    const QRect drawn = ink(image);
    EXPECT_NEAR(drawn.left(), 110, 2);
    EXPECT_LE(drawn.right(), 212) << "the cell ends 8 points before its right edge";
    EXPECT_NEAR(drawn.center().y(), 30, 2);
}

TEST(QSTextField, AnnouncesOnlyThatItGaveUpTheFocusNotThatItsWindowWentInactive)
{
    QWidget window;
    auto *first = new QSTextField(&window);
    auto *second = new QSTextField(&window);
    QList<QObject *> senders;
    platform::NotificationCenter::defaultCenter()->addObserver(
        &window, "QSResignFirstResponder", nullptr, [&](const platform::Notification &n) { senders << n.object; });
    QFocusEvent inactive(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(first, &inactive);
    EXPECT_TRUE(senders.isEmpty());
    QFocusEvent tabbed(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(second, &tabbed);
    EXPECT_EQ(senders, QList<QObject *>{second});
}

// Typing is never refused; only a number becomes the field's value.
TEST(QSLeanientNumberFormatter, LetsEveryPartialTextStandAndAcceptsOnlyNumbers)
{
    QSLeanientNumberFormatter formatter;
    formatter.setLocale(QLocale::c());
    const struct { const char *text; QValidator::State state; } cases[] = {
        {"12.5", QValidator::Acceptable}, {"-", QValidator::Intermediate}, {"", QValidator::Intermediate},
        {"1e", QValidator::Intermediate}, {"abc", QValidator::Intermediate}, {"3,5", QValidator::Intermediate},
    };
    for (const auto &c : cases) {
        QString text = c.text;
        int position = int(text.size());
        EXPECT_EQ(formatter.validate(text, position), c.state) << c.text;
        EXPECT_EQ(text, c.text) << "left as typed";
    }
    QLineEdit field;
    field.setValidator(&formatter);
    QTest::keyClicks(&field, "x1");
    EXPECT_EQ(field.text(), "x1") << "a plain number validator would have refused the x";
    EXPECT_FALSE(field.hasAcceptableInput());
    field.clear();
    QTest::keyClicks(&field, "2.5");
    EXPECT_TRUE(field.hasAcceptableInput());
}
