#include "platform/ui/RichTextCheck.h"

#include <QImage>
#include <QTextBlock>
#include <QTextFormat>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace platform::RichTextCheck {

namespace {

constexpr qint64 most = std::numeric_limits<qint64>::max();

qint64 times(qint64 a, qint64 b) { return a != 0 && b > most / a ? most : a * b; }

qint64 plus(qint64 a, qint64 b) { return b > most - a ? most : a + b; }

// Qt's widest span of a cell.
constexpr int MaxColumnSpan = 20480;

// A tag as Qt's HTML reader finds it.
struct Tag
{
    QString name;
    bool closing = false;
    QList<std::pair<QString, QString>> attributes;
};

// Reads the tags of a text step for step with Qt's HTML reader, so that what it takes for a tag,
// a name or a value is what Qt takes. Character references in text are passed over: what they
// stand for is never a tag.
class TagReader
{
public:
    explicit TagReader(QStringView text)
        : m_text(text)
    {
    }

    // The next tag, comments and declarations passed over; false at the end of the text.
    bool next(Tag &tag)
    {
        while (m_at < m_text.size()) {
            if (m_text.at(m_at++) != u'<')
                continue;
            skipSpace();
            if (ahead(u'!')) {
                skipDeclaration();
                continue;
            }
            tag = {};
            tag.closing = ahead(u'/');
            if (tag.closing)
                ++m_at;
            tag.name = word().toLower();
            if (tag.closing)
                tag.name = tag.name.trimmed();
            else if (m_at < m_text.size() && m_text.at(m_at).isSpace())
                readAttributes(tag);
            while (m_at < m_text.size() && m_text.at(m_at) != u'>')
                ++m_at;
            ++m_at;
            return true;
        }
        return false;
    }

private:
    bool ahead(QChar c) const { return m_at < m_text.size() && m_text.at(m_at) == c; }

    void skipSpace()
    {
        while (m_at < m_text.size() && m_text.at(m_at).isSpace() && m_text.at(m_at) != QChar::ParagraphSeparator)
            ++m_at;
    }

    void skipDeclaration()
    {
        ++m_at;
        if (ahead(u'-') && m_at + 1 < m_text.size() && m_text.at(m_at + 1) == u'-') {
            const qsizetype end = m_text.indexOf(u"-->", m_at + 2);
            m_at = end < 0 ? m_text.size() : end + 3;
            return;
        }
        while (m_at < m_text.size() && m_text.at(m_at++) != u'>') {
        }
    }

    void readAttributes(Tag &tag)
    {
        while (m_at < m_text.size()) {
            skipSpace();
            if (ahead(u'>') || ahead(u'/'))
                return;
            const QString key = word().toLower();
            if (key.isEmpty())
                return;
            QString value = QStringLiteral("1");
            skipSpace();
            if (ahead(u'=')) {
                ++m_at;
                skipSpace();
                value = word();
            }
            if (!value.isEmpty())
                tag.attributes.append({key, value});
        }
    }

    // A character reference after "&": what it stands for, or "&" with nothing taken when Qt
    // would not resolve it. A number is resolved as Qt resolves it. A name stands for no letter or
    // digit, but some stand for a space, which Qt passes over around a number: every name is taken
    // for one.
    QString reference()
    {
        const qsizetype from = m_at;
        qsizetype length = 0;
        while (m_at < m_text.size()) {
            const QChar c = m_text.at(m_at++);
            if (c.isSpace() || m_at - from > 9) {
                m_at = from;
                return QStringLiteral("&");
            }
            if (c == u';')
                break;
            ++length;
        }
        QStringView name = m_text.mid(from, length);
        if (name.size() > 1 && name.at(0) == u'#') {
            name = name.mid(1);
            int base = 10;
            if (name.at(0).toLower() == u'x') {
                name = name.mid(1);
                base = 16;
            }
            bool ok = false;
            const char32_t code = name.toUInt(&ok, base);
            if (ok)
                return code >= 0x80 && code < 0xa0 ? QString(QChar::ReplacementCharacter) : QString::fromUcs4(&code, 1);
        } else if (!name.isEmpty() && std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 0x80; })) {
            return QStringLiteral(" ");
        }
        m_at = from;
        return QStringLiteral("&");
    }

    QString word()
    {
        QString word;
        if (ahead(u'"')) {
            ++m_at;
            while (m_at < m_text.size()) {
                const QChar c = m_text.at(m_at++);
                if (c == u'"')
                    break;
                word += c == u'&' ? reference() : QString(c);
            }
        } else if (ahead(u'\'')) {
            ++m_at;
            while (m_at < m_text.size()) {
                const QChar c = m_text.at(m_at++);
                if (c == u'\'' && m_text.at(m_at - 2) != u'\\')
                    break;
                word += c;
            }
        } else {
            while (m_at < m_text.size()) {
                const QChar c = m_text.at(m_at++);
                if (c == u'>' || (c == u'/' && ahead(u'>')) || c == u'<' || c == u'=' || c.isSpace()) {
                    --m_at;
                    break;
                }
                word += c == u'&' ? reference() : QString(c);
            }
        }
        return word;
    }

    QStringView m_text;
    qsizetype m_at = 0;
};

// A table open while its tags are read.
struct OpenTable
{
    int depth = 1;
    qint64 rows = 0;
    qint64 columns = 0;
    qint64 rowWidth = 0;
    // The columns that cells spanning rows take in every row after theirs.
    qint64 spanned = 0;
    bool inRow = false;

    void startRow()
    {
        rows = plus(rows, 1);
        rowWidth = spanned;
        inRow = true;
    }

    // Qt takes the last span a cell gives that reads as a number.
    void addCell(const Tag &cell)
    {
        if (!inRow)
            startRow();
        int columnSpan = 1;
        int rowSpan = 1;
        for (const auto &[key, value] : cell.attributes) {
            bool ok = false;
            const int span = value.toInt(&ok);
            if (ok && key == QLatin1String("colspan"))
                columnSpan = std::clamp(span, 1, MaxColumnSpan);
            else if (ok && key == QLatin1String("rowspan"))
                rowSpan = std::max(1, span);
        }
        rowWidth = plus(rowWidth, columnSpan);
        if (rowSpan > 1)
            spanned = plus(spanned, columnSpan);
        columns = std::max(columns, rowWidth);
    }

    qint64 weightedCells() const { return times(times(rows, columns), depth > 62 ? most : qint64(1) << (depth - 1)); }
};

void readHtmlTables(QStringView text, Tables &tables)
{
    std::vector<OpenTable> open;
    const auto close = [&] {
        tables.cells = plus(tables.cells, open.back().weightedCells());
        open.pop_back();
    };
    const auto innermost = [&]() -> OpenTable & {
        // Qt puts a row or cell outside any table into a table of its own.
        if (open.empty())
            open.push_back({});
        return open.back();
    };
    TagReader reader(text);
    Tag tag;
    while (reader.next(tag)) {
        if (tag.name == QLatin1String("table")) {
            if (!tag.closing) {
                open.push_back({int(open.size()) + 1});
                tables.depth = std::max(tables.depth, int(open.size()));
            } else if (!open.empty()) {
                close();
            }
        } else if (tag.name == QLatin1String("tr") && !tag.closing) {
            innermost().startRow();
        } else if ((tag.name == QLatin1String("td") || tag.name == QLatin1String("th")) && !tag.closing) {
            innermost().addCell(tag);
        }
        tables.depth = std::max(tables.depth, int(open.size()));
    }
    while (!open.empty())
        close();
}

// A Markdown table: a delimiter row of pipes and dashes under its header. It holds no more rows
// than the text has lines, nor more columns than its delimiter row.
void readMarkdownTables(QStringView text, Tables &tables)
{
    const QList<QStringView> lines = text.split(u'\n');
    for (QStringView line : lines) {
        const bool delimiter = line.contains(u'|') && line.contains(u'-')
                            && std::all_of(line.cbegin(), line.cend(), [](QChar c) { return QStringView(u"|-: \t\r").contains(c); });
        if (!delimiter)
            continue;
        tables.depth = std::max(tables.depth, 1);
        tables.cells = plus(tables.cells, times(lines.size(), line.count(u'|') + 1));
    }
}

// A document that writes down each resource Qt asks it for while it reads a text, and answers with
// a picture, so that Qt reads no file itself.
class RecordingDocument : public QTextDocument
{
public:
    explicit RecordingDocument(QStringList &names)
        : m_names(names)
    {
    }

protected:
    QVariant loadResource(int, const QUrl &name) override
    {
        m_names.append(name.toString());
        return QImage(1, 1, QImage::Format_ARGB32);
    }

private:
    QStringList &m_names;
};

// A document that reads the style sheets a text links through the caller, and answers any other
// resource with a picture, so that Qt reads no file itself.
class StyledDocument : public QTextDocument
{
public:
    explicit StyledDocument(const std::function<QByteArray(const QUrl &)> &readStyleSheet)
        : m_readStyleSheet(readStyleSheet)
    {
    }

protected:
    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(m_readStyleSheet(name));
        return QImage(1, 1, QImage::Format_ARGB32);
    }

private:
    const std::function<QByteArray(const QUrl &)> &m_readStyleSheet;
};

// The properties of Qt's text formats that hold a length, each with how many points one of its
// units takes.
struct LengthProperty
{
    int property;
    const char *name;
    double points = 1;
};

constexpr double IndentStep = 40;

constexpr LengthProperty LengthProperties[] = {
    {QTextFormat::BlockTopMargin, "margin"},
    {QTextFormat::BlockBottomMargin, "margin"},
    {QTextFormat::BlockLeftMargin, "margin"},
    {QTextFormat::BlockRightMargin, "margin"},
    {QTextFormat::TextIndent, "text indent"},
    {QTextFormat::BlockIndent, "indent", IndentStep},
    {QTextFormat::LineHeight, "line height"},
    {QTextFormat::BlockTrailingHorizontalRulerWidth, "rule width"},
    {QTextFormat::FontLetterSpacing, "letter spacing"},
    {QTextFormat::FontWordSpacing, "word spacing"},
    {QTextFormat::FontPointSize, "font size"},
    {QTextFormat::FontPixelSize, "font size"},
    {QTextFormat::ListIndent, "list indent", IndentStep},
    {QTextFormat::FrameBorder, "border width"},
    {QTextFormat::FrameMargin, "margin"},
    {QTextFormat::FramePadding, "padding"},
    {QTextFormat::FrameWidth, "width"},
    {QTextFormat::FrameHeight, "height"},
    {QTextFormat::FrameTopMargin, "margin"},
    {QTextFormat::FrameBottomMargin, "margin"},
    {QTextFormat::FrameLeftMargin, "margin"},
    {QTextFormat::FrameRightMargin, "margin"},
    {QTextFormat::TableColumnWidthConstraints, "column width"},
    {QTextFormat::TableCellSpacing, "cell spacing"},
    {QTextFormat::TableCellPadding, "cell padding"},
    {QTextFormat::TableCellTopPadding, "cell padding"},
    {QTextFormat::TableCellBottomPadding, "cell padding"},
    {QTextFormat::TableCellLeftPadding, "cell padding"},
    {QTextFormat::TableCellRightPadding, "cell padding"},
    {QTextFormat::TableCellTopBorder, "border width"},
    {QTextFormat::TableCellBottomBorder, "border width"},
    {QTextFormat::TableCellLeftBorder, "border width"},
    {QTextFormat::TableCellRightBorder, "border width"},
    {QTextFormat::ImageWidth, "picture width"},
    {QTextFormat::ImageHeight, "picture height"},
};

// The numbers a property's value holds: a number, a length (fixed or in percent) or a list of lengths.
QList<double> numbersOf(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QTextLength>())
        return {value.value<QTextLength>().rawValue()};
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QList<double> numbers;
        for (const QVariant &each : value.toList())
            numbers += numbersOf(each);
        return numbers;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? QList<double>{number} : QList<double>{};
}

// Farther from 0, NaN farthest of all.
bool isLonger(double value, double than) { return std::isnan(value) ? !std::isnan(than) : !std::isnan(than) && std::abs(value) > std::abs(than); }

void findLongest(const QTextDocument &document, Length &longest)
{
    const QList<QTextFormat> formats = document.allFormats();
    for (const QTextFormat &format : formats) {
        for (const LengthProperty &length : LengthProperties) {
            if (!format.hasProperty(length.property))
                continue;
            for (const double number : numbersOf(format.property(length.property))) {
                if (isLonger(number * length.points, longest.value))
                    longest = {number * length.points, QString::fromLatin1(length.name)};
            }
        }
    }
}

// Every name the document's pictures carry.
void collectPictureNames(const QTextDocument &document, QStringList &names)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.isImageFormat())
                names.append(format.toImageFormat().name());
        }
    }
}

} // namespace

Tables tablesOf(QStringView text)
{
    Tables tables;
    if (text.contains(u'<'))
        readHtmlTables(text, tables);
    if (text.contains(u'|'))
        readMarkdownTables(text, tables);
    return tables;
}

Length longestLengthOf(const QString &text, const std::function<QByteArray(const QUrl &name)> &readStyleSheet)
{
    Length longest;
    if (!text.contains(u'<'))
        return longest;
    StyledDocument html(readStyleSheet);
    html.setHtml(text);
    findLongest(html, longest);
    // Markdown takes HTML among its text.
    StyledDocument markdown(readStyleSheet);
    markdown.setMarkdown(text);
    findLongest(markdown, longest);
    return longest;
}

QStringList resourcesOf(const QString &text)
{
    QStringList names;
    if (text.contains(u'<')) {
        RecordingDocument document(names);
        document.setHtml(text);
        collectPictureNames(document, names);
    }
    if (text.contains(QLatin1String("!["))) {
        RecordingDocument document(names);
        document.setMarkdown(text);
        collectPictureNames(document, names);
    }
    names.removeDuplicates();
    return names;
}

} // namespace platform::RichTextCheck
