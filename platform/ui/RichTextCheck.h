#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace platform {

// What a rich text asks of Qt before it is shown, read without laying it out. Qt lays a table out
// again for every pass the table around it makes, so that the time grows with the cells and
// doubles with each level of nesting: 250 tables nested in a label of 4,000 characters never
// finished, 780 cells inside 8 nested tables took 17 s. Lists, quotes and blocks nested as deep as
// such a text allows take milliseconds.
namespace RichTextCheck {

// Tables inside tables inside tables inside tables.
inline constexpr int MaxTableDepth = 4;

// The tables of a text, read from its tags as Qt's HTML reader reads them (names in any case,
// quoted or bare words, character references) and from the pipes of Markdown tables. The count
// never falls short of Qt's: a cell counts 2^(n - 1) times in a table nested n deep, and a table
// holds its rows times its widest row, spans and all.
struct Tables
{
    int depth = 0;
    qint64 cells = 0;
};
Tables tablesOf(QStringView text);

// The names of the pictures, backgrounds and style sheets Qt would load for the text, as its own
// HTML and Markdown readers find them. Only worth asking of a text whose tables are bounded.
QStringList resourcesOf(const QString &text);

// A length a text asks Qt to lay out: a padding, spacing, margin, border, width, height, indent,
// line height, letter or word spacing or font size, in points, pixels or percent, however the
// text gives it (HTML attributes, style attributes, style elements, linked style sheets). Qt lays
// a table out once per page its cells' lengths reach over: a cell padding of 10^8 never finished,
// one of 10^7 took 0.07 s.
struct Length
{
    double value = 0;
    QString name;
};
// The length of the text farthest from 0 (NaN before any other), as Qt's HTML and Markdown readers
// read the text; an indent counts the 40 points Qt gives each step. A linked style sheet is read
// through readStyleSheet, which answers its bytes (none when it cannot be read). Only worth asking
// of a text whose tables are bounded and whose named files may be read.
Length longestLengthOf(const QString &text, const std::function<QByteArray(const QUrl &name)> &readStyleSheet);

} // namespace RichTextCheck

} // namespace platform
