#include "platform/ui/InterfaceFileCheck.h"

#include "platform/ui/InterfaceLimits.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace platform::InterfaceFileCheck {

namespace {

using InterfaceLimits::MaxExtent;

// A whole number as the file gives it. Qt's loader reads what is no number of its kind as 0,
// which places nothing out of reach, and so does this.
qint64 number(QStringView text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok ? value : 0;
}

// How many rows or columns a property's value asks for. Qt converts a value of any kind to the int
// the property takes: it rounds a fraction and wraps what lies past int's range, so that a value
// far below 0 can turn into one far above. The size asked for is therefore how far from 0 it lies.
qint64 size(QStringView text)
{
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    const QStringView trimmed = text.trimmed();
    bool ok = false;
    qint64 value = trimmed.toLongLong(&ok);
    if (!ok) {
        const double fraction = trimmed.toDouble(&ok);
        if (!ok)
            return 0;
        if (!(std::abs(fraction) < 9.0e18))
            return most;
        value = std::llround(fraction);
    }
    return value == std::numeric_limits<qint64>::min() ? most : std::abs(value);
}

// A grid or form layout's item: its row and column from 0, spanning at least one of each, all
// within what a window can hold.
QString itemRefusal(const QXmlStreamAttributes &attributes, const QString &layout)
{
    const auto value = [&](QLatin1StringView name, qint64 absent) {
        return attributes.hasAttribute(name) ? number(attributes.value(name)) : absent;
    };
    const qint64 row = value(QLatin1StringView("row"), 0);
    const qint64 column = value(QLatin1StringView("column"), 0);
    const qint64 rows = value(QLatin1StringView("rowspan"), 1);
    const qint64 columns = value(QLatin1StringView("colspan"), 1);
    const auto fits = [](qint64 at, qint64 span) { return at >= 0 && at < MaxExtent && span >= 1 && span <= MaxExtent - at; };
    if (fits(row, rows) && fits(column, columns))
        return {};
    return QStringLiteral("an item of the layout \"%1\" lies at row %2, column %3, spanning %4 by %5, outside the %6 rows "
                          "and columns a window can hold")
        .arg(layout)
        .arg(row)
        .arg(column)
        .arg(rows)
        .arg(columns)
        .arg(MaxExtent);
}

// A layout open in the file and, of a form, the cells its items took so far (a row's label
// column 0, its field column 1). Qt's loader puts an item in a taken cell of a form nowhere and
// loses it (LeakSanitizer reports it). A grid lays the items of one cell over each other, as
// windows lay a shadow over a view, and loses none.
struct OpenLayout
{
    QString name;
    bool form = false;
    QSet<qint64> taken;
};

// An item placed in a cell its form has filled already. Qt's loader puts an item of a column span
// of more than one across the row, and one of any column but the first into the field's.
QString formItemRefusal(OpenLayout &form, const QXmlStreamAttributes &attributes)
{
    const auto value = [&](QLatin1StringView name, qint64 absent) {
        return attributes.hasAttribute(name) ? number(attributes.value(name)) : absent;
    };
    const qint64 row = value(QLatin1StringView("row"), 0);
    const qint64 column = value(QLatin1StringView("column"), 0);
    const bool spanning = value(QLatin1StringView("colspan"), 1) > 1;
    const qint64 first = spanning || column == 0 ? 0 : 1;
    const qint64 last = spanning ? 1 : first;
    for (qint64 cell = first; cell <= last; ++cell) {
        if (form.taken.contains(row * 2 + cell))
            return QStringLiteral("two items of the form layout \"%1\" take the %2 of row %3")
                .arg(form.name, cell == 0 ? QStringLiteral("label") : QStringLiteral("field"))
                .arg(row);
    }
    for (qint64 cell = first; cell <= last; ++cell)
        form.taken.insert(row * 2 + cell);
    return {};
}

// A layout's stretch factors and least sizes, listed one a row or column.
QString layoutListRefusal(const QXmlStreamAttributes &attributes, const QString &layout)
{
    for (const char *list : {"stretch", "rowstretch", "columnstretch", "rowminimumheight", "columnminimumwidth"}) {
        const QStringView given = attributes.value(QLatin1StringView(list));
        if (given.count(QLatin1Char(',')) >= MaxExtent)
            return QStringLiteral("the layout \"%1\" gives its %2 for more than the %3 rows or columns a window can hold")
                .arg(layout, QLatin1StringView(list))
                .arg(MaxExtent);
    }
    return {};
}

// A widget open in the file: a table's rows and columns (its counts, or the headers it lists when
// they are more), and whether it was given its layout.
struct OpenWidget
{
    QString name;
    qint64 rows = 0;
    qint64 columns = 0;
    bool laidOut = false;
};

// A table's count being read from the property that sets it, whose element lies at depth; none
// while no such property is open.
struct Counting
{
    std::size_t table = 0;
    qint64 OpenWidget::*count = nullptr;
    std::size_t depth = 0;
};

// One more row or column listed. A count set to the most a number holds stays there: it must not
// wrap to one that fits.
void countOneMore(qint64 &count)
{
    if (count < std::numeric_limits<qint64>::max())
        ++count;
}

// Cells are counted only once both counts are known to fit, so that the product cannot overflow.
QString tableRefusal(const OpenWidget &table)
{
    if (table.rows <= MaxExtent && table.columns <= MaxExtent && table.rows * table.columns <= MaxCells)
        return {};
    return QStringLiteral("\"%1\" asks for %2 rows and %3 columns; a window holds at most %4 of each and %5 cells")
        .arg(table.name)
        .arg(table.rows)
        .arg(table.columns)
        .arg(MaxExtent)
        .arg(MaxCells);
}

// A text longer than MaxTextLength, told by where it lies: in a property of the innermost widget,
// or else in the element.
QString textRefusal(qsizetype length, const QString &property, const std::vector<OpenWidget> &widgets, QStringView element)
{
    if (length <= MaxTextLength)
        return {};
    const QString where = property.isEmpty() || widgets.empty()
                              ? QStringLiteral("the element \"%1\"").arg(element)
                              : QStringLiteral("the property \"%1\" of \"%2\"").arg(property, widgets.back().name);
    return QStringLiteral("%1 holds a text of %2 characters, more than the %3 a text may hold").arg(where).arg(length).arg(MaxTextLength);
}

// Qt makes a custom class as the class it extends, and that one as the class it extends in turn.
// The classes are followed in the file's order.
QString extendsRefusal(const QStringList &classes, const QHash<QString, QString> &extends)
{
    // How many classes a class extends in a row, for those already followed to the end.
    QHash<QString, int> lengths;
    for (const QString &custom : classes) {
        QStringList path;
        QString at = custom;
        while (extends.contains(at) && !lengths.contains(at)) {
            if (const qsizetype repeated = path.indexOf(at); repeated >= 0)
                return QStringLiteral("its classes extend each other in a circle: %1").arg((path.mid(repeated) << at).join(QStringLiteral(" → ")));
            path.append(at);
            if (path.size() + lengths.value(extends.value(at)) > MaxDepth)
                return QStringLiteral("the class \"%1\" extends more than %2 classes in a row").arg(custom).arg(MaxDepth);
            at = extends.value(at);
        }
        int length = lengths.value(at, 0);
        for (auto step = path.crbegin(); step != path.crend(); ++step)
            lengths.insert(*step, ++length);
    }
    return {};
}

// The elements the check looks at; the rest are only counted for their depth. Qt's loader matches
// element names whatever their case, and so does this; attribute names it matches exactly.
enum class Element { Widget, Layout, Spacer, Action, Item, Row, Column, Property, CustomWidget, Class, Extends, Other };

Element elementNamed(QStringView name)
{
    static const std::pair<QLatin1StringView, Element> named[] = {
        {QLatin1StringView("widget"), Element::Widget},
        {QLatin1StringView("layout"), Element::Layout},
        {QLatin1StringView("spacer"), Element::Spacer},
        {QLatin1StringView("action"), Element::Action},
        {QLatin1StringView("actiongroup"), Element::Action},
        {QLatin1StringView("addaction"), Element::Action},
        {QLatin1StringView("item"), Element::Item},
        {QLatin1StringView("row"), Element::Row},
        {QLatin1StringView("column"), Element::Column},
        {QLatin1StringView("property"), Element::Property},
        {QLatin1StringView("customwidget"), Element::CustomWidget},
        {QLatin1StringView("class"), Element::Class},
        {QLatin1StringView("extends"), Element::Extends},
    };
    for (const auto &[text, element] : named) {
        if (name.compare(text, Qt::CaseInsensitive) == 0)
            return element;
    }
    return Element::Other;
}

// How much the file asks Qt's loader to make and keep: its elements, the objects among them, the
// items of its views and the characters of its texts.
struct Tally
{
    qint64 elements = 0;
    qint64 objects = 0;
    qint64 items = 0;
    qint64 characters = 0;

    QString refusal() const
    {
        if (elements > MaxElements)
            return QStringLiteral("it holds more than %1 elements").arg(MaxElements);
        if (objects > MaxObjects)
            return QStringLiteral("it makes more than %1 widgets, layouts, spacers and actions").arg(MaxObjects);
        if (items > MaxItems)
            return QStringLiteral("its views list more than %1 items").arg(MaxItems);
        if (characters > MaxTotalText)
            return QStringLiteral("its texts hold more than %1 characters in all").arg(MaxTotalText);
        return {};
    }
};

} // namespace

QString refusal(const QByteArray &file)
{
    if (file.size() > MaxFileSize)
        return QStringLiteral("it is larger than %1 bytes").arg(MaxFileSize);
    QXmlStreamReader reader(file);
    Tally tally;
    std::vector<Element> open;
    std::vector<OpenLayout> layouts;
    std::vector<OpenWidget> widgets;
    Counting counting;
    // The text of the innermost open element, as Qt's loader reads a value: comments and all
    // the pieces between them run together.
    QString text;
    qsizetype textLength = 0;
    QString textElement;
    // The innermost open property's name.
    QString property;
    QStringList classes;
    QHash<QString, QString> extends;
    QString customClass;
    QString customBase;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference) {
            if (counting.count)
                text += reader.text();
            // Qt's loader passes over white space between the pieces.
            if (!reader.isWhitespace()) {
                textLength += reader.text().size();
                tally.characters += reader.text().size();
            }
            continue;
        }
        if (token == QXmlStreamReader::EndElement) {
            if (const QString refused = textRefusal(std::exchange(textLength, 0), property, widgets, textElement); !refused.isEmpty())
                return refused;
            const Element closed = open.back();
            open.pop_back();
            if (counting.count && open.size() >= counting.depth) {
                // Qt takes whichever value the property holds, of whatever kind, even within one
                // (a character's code); every one is counted.
                qint64 &count = widgets[counting.table].*(counting.count);
                count = std::max(count, size(std::exchange(text, {})));
            } else if (counting.count) {
                counting = {};
            }
            if (closed == Element::Widget) {
                if (const QString refused = tableRefusal(widgets.back()); !refused.isEmpty())
                    return refused;
                widgets.pop_back();
            } else if (closed == Element::Layout) {
                layouts.pop_back();
            } else if (closed == Element::Property) {
                property.clear();
            } else if (closed == Element::CustomWidget && !customBase.isEmpty()) {
                classes.append(customClass);
                extends.insert(std::exchange(customClass, {}), std::exchange(customBase, {}));
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        text.clear();
        textLength = 0;
        textElement = reader.name().toString();
        const Element parent = open.empty() ? Element::Other : open.back();
        const Element element = elementNamed(reader.name());
        open.push_back(element);
        if (open.size() > std::size_t(MaxDepth))
            return QStringLiteral("its elements nest more than %1 deep").arg(MaxDepth);
        ++tally.elements;
        if (element == Element::Widget || element == Element::Layout || element == Element::Spacer || element == Element::Action)
            ++tally.objects;
        else if (element == Element::Item && (parent == Element::Widget || parent == Element::Item))
            ++tally.items;
        if (const QString refused = tally.refusal(); !refused.isEmpty())
            return refused;
        switch (element) {
        case Element::Widget:
            widgets.push_back({reader.attributes().value(QLatin1StringView("name")).toString()});
            break;
        case Element::Layout: {
            const QXmlStreamAttributes attributes = reader.attributes();
            layouts.push_back({attributes.value(QLatin1StringView("name")).toString(),
                               attributes.value(QLatin1StringView("class")) == QLatin1StringView("QFormLayout"), {}});
            if (parent == Element::Widget && std::exchange(widgets.back().laidOut, true))
                return QStringLiteral("the widget \"%1\" is given a second layout \"%2\"").arg(widgets.back().name, layouts.back().name);
            if (const QString refused = layoutListRefusal(attributes, layouts.back().name); !refused.isEmpty())
                return refused;
            break;
        }
        case Element::Item:
            if (parent != Element::Layout)
                break;
            if (const QString refused = itemRefusal(reader.attributes(), layouts.back().name); !refused.isEmpty())
                return refused;
            if (!layouts.back().form)
                break;
            if (const QString refused = formItemRefusal(layouts.back(), reader.attributes()); !refused.isEmpty())
                return refused;
            break;
        case Element::Row:
        case Element::Column:
            if (parent == Element::Widget)
                countOneMore(element == Element::Row ? widgets.back().rows : widgets.back().columns);
            break;
        case Element::Property: {
            property = reader.attributes().value(QLatin1StringView("name")).toString();
            if (parent != Element::Widget || counting.count)
                break;
            if (property == QLatin1StringView("rowCount"))
                counting = Counting{widgets.size() - 1, &OpenWidget::rows, open.size()};
            else if (property == QLatin1StringView("columnCount"))
                counting = Counting{widgets.size() - 1, &OpenWidget::columns, open.size()};
            break;
        }
        case Element::Class:
        case Element::Extends:
            if (parent == Element::CustomWidget) {
                QString &name = element == Element::Class ? customClass : customBase;
                name = reader.readElementText();
                tally.characters += name.size();
                open.pop_back();
                if (const QString refused = textRefusal(name.size(), {}, widgets, textElement); !refused.isEmpty())
                    return refused;
            }
            break;
        case Element::Spacer:
        case Element::Action:
        case Element::CustomWidget:
        case Element::Other:
            break;
        }
    }
    if (reader.hasError())
        return {};
    if (const QString refused = tally.refusal(); !refused.isEmpty())
        return refused;
    return extendsRefusal(classes, extends);
}

} // namespace platform::InterfaceFileCheck
