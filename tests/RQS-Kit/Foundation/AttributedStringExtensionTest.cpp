#include "RQS-Kit/Foundation/AttributedStringExtension.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QTextBoundaryFinder>

#include <cmath>

using platform::AttributedString;

namespace {

QTextCharFormat pixelFont(int size)
{
    QFont font;
    font.setPixelSize(size);
    QTextCharFormat format;
    format.setFont(font);
    return format;
}

AttributedString plain(const QString &text) { return {text, {{0, int(text.size()), pixelFont(12)}}}; }

} // namespace

TEST(AttributedStringExtension, HeightSumsTheLinesWrapsToTheWidthAndTruncationKeepsWholeCharacters)
{
    QFont font;
    font.setPixelSize(12);
    const QFontMetricsF metrics(font);
    const double line = metrics.ascent() + metrics.descent() + metrics.leading();
    EXPECT_NEAR(rqs::heightForWidth(plain(QStringLiteral("First\nSecond")), 500), std::ceil(2 * line), 1.0);

    const AttributedString sentence = plain(QStringLiteral("a sentence long enough to wrap at a narrow width"));
    EXPECT_GT(rqs::heightForWidth(sentence, 60), rqs::heightForWidth(sentence, 1000));
    EXPECT_LE(rqs::sizeForWidth(sentence, 60, 1000).width(), 60);
    EXPECT_EQ(rqs::sizeForWidth(plain(QString()), 60, 100), QSizeF());

    // Truncation keeps whole characters and never fails.
    const QString thumbs = QString::fromUtf8("\U0001F44D\U0001F3FD").repeated(6); // with a skin tone
    const QString accents = QStringLiteral("e\u0301").repeated(12);                    // e + combining acute
    const struct { QString text; int width; } cases[] = {{thumbs, 40}, {accents, 20}, {QStringLiteral("WW"), 1}};
    for (const auto &c : cases) {
        const AttributedString cut = rqs::truncatedStringWithWidth(plain(c.text), c.width);
        ASSERT_TRUE(cut.text.endsWith(QChar(0x2026))) << c.text.toStdString();
        const QString kept = cut.text.chopped(1);
        EXPECT_TRUE(c.text.startsWith(kept)) << c.text.toStdString();
        QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, c.text);
        boundaries.setPosition(kept.size());
        EXPECT_TRUE(boundaries.isAtBoundary()) << "split inside a character: " << cut.text.toStdString();
        EXPECT_TRUE(kept.isEmpty() || rqs::widthForHeight(cut, 1000) <= c.width) << cut.text.toStdString();
        ASSERT_FALSE(cut.ranges.isEmpty());
        EXPECT_EQ(cut.ranges.last().start + cut.ranges.last().length, cut.text.size()) << "the ellipsis keeps a format";
    }
    const AttributedString fits = plain(QStringLiteral("Fits"));
    EXPECT_EQ(rqs::truncatedStringWithWidth(fits, 500).text, fits.text);
}
