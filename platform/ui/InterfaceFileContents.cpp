#include "platform/ui/InterfaceFileContents.h"

#include "platform/foundation/RegularFile.h"
#include "platform/ui/InterfaceFileCheck.h"
#include "platform/ui/RichTextCheck.h"

#include <QFile>
#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>

#include <cmath>

namespace platform::InterfaceFileContents {

bool namesPicture(QStringView element)
{
    static const QStringList pictures{"pixmap", "iconset", "normaloff", "normalon", "disabledoff", "disabledon",
                                      "activeoff", "activeon", "selectedoff", "selectedon"};
    return pictures.contains(element);
}

namespace {

bool makesObject(QStringView element)
{
    static const QStringList objects{"widget", "layout", "spacer", "action", "actiongroup"};
    return objects.contains(element);
}

QString naming(const QString &name, const QString &refusal)
{
    return refusal.isEmpty() ? QString() : QStringLiteral("names \"%1\", %2").arg(name, refusal);
}

// Qt's style sheets name their pictures as url(…). They undo escapes, which could hide a name from
// this reading.
QString styleSheetRefusal(const QString &sheet, const InterfaceFilePlaces &places)
{
    if (sheet.contains(u'\\'))
        return QStringLiteral("holds a style sheet with an escape, which could hide the files it names");
    const QLatin1StringView url("url(");
    for (qsizetype at = sheet.indexOf(url, 0, Qt::CaseInsensitive); at >= 0; at = sheet.indexOf(url, at, Qt::CaseInsensitive)) {
        at += url.size();
        const qsizetype end = sheet.indexOf(u')', at);
        QString name = sheet.mid(at, end < 0 ? -1 : end - at).trimmed();
        if (name.size() >= 2 && (name.front() == u'"' || name.front() == u'\'') && name.back() == name.front())
            name = name.mid(1, name.size() - 2);
        if (const QString refused = naming(name, places.absoluteRefusal(name)); !refused.isEmpty())
            return refused;
    }
    return {};
}

// A style sheet a rich text links, read as Qt's text document reads it: a name without a scheme is
// a file's. Its name has passed the places' check.
QByteArray styleSheetOf(const QUrl &name)
{
    const QString resource = name.scheme() == QLatin1String("qrc") ? u':' + name.path() : name.toString();
    if (resource.startsWith(u':')) {
        QFile compiledIn(resource);
        return compiledIn.open(QIODevice::ReadOnly) ? compiledIn.read(InterfaceFileCheck::MaxFileSize) : QByteArray();
    }
    QUrl file = name;
    if (file.isRelative())
        file.setScheme(QStringLiteral("file"));
    return RegularFile::read(file.toLocalFile(), InterfaceFileCheck::MaxFileSize).value_or(QByteArray());
}

// A value's place in the file, for telling where a refused value lies.
struct Place
{
    // The open elements, their names in lower case as Qt's loader matches them.
    QStringList elements;
    // The names of the open widgets, layouts, spacers and actions.
    QStringList objects;
    // The names of the open properties and attributes.
    QStringList properties;

    QString told() const
    {
        if (properties.isEmpty())
            return QStringLiteral("the element \"%1\"").arg(elements.value(elements.size() - 1));
        return QStringLiteral("the property \"%1\" of \"%2\"").arg(properties.last(), objects.value(objects.size() - 1));
    }
};

// A text value: every text may be a URL where a property takes one, a style sheet, and rich text.
class TextCheck
{
public:
    explicit TextCheck(const InterfaceFilePlaces &places)
        : m_places(places)
    {
    }

    QString refusal(const QString &text, const Place &place)
    {
        const QString property = place.properties.value(place.properties.size() - 1);
        // A text browser reads the file its source names.
        if (place.elements.value(place.elements.size() - 2) == QLatin1String("url") || property == QLatin1String("source")) {
            if (const QString refused = naming(text, m_places.absoluteRefusal(text)); !refused.isEmpty())
                return refused;
        }
        if (property == QLatin1String("styleSheet")) {
            if (const QString refused = styleSheetRefusal(text, m_places); !refused.isEmpty())
                return refused;
        }
        const RichTextCheck::Tables tables = RichTextCheck::tablesOf(text);
        if (tables.depth > RichTextCheck::MaxTableDepth)
            return QStringLiteral("nests tables %1 deep, more than %2").arg(tables.depth).arg(RichTextCheck::MaxTableDepth);
        m_cells = std::min(tables.cells, MaxTableCells + 1) + m_cells;
        if (m_cells > MaxTableCells)
            return QStringLiteral("brings the table cells of the file's rich texts past %1, a cell counting twice for each "
                                  "table around it").arg(MaxTableCells);
        for (const QString &name : RichTextCheck::resourcesOf(text)) {
            if (const QString refused = naming(name, m_places.absoluteRefusal(name)); !refused.isEmpty())
                return refused;
        }
        const RichTextCheck::Length longest = RichTextCheck::longestLengthOf(text, styleSheetOf);
        if (!(std::abs(longest.value) <= MaxRichTextLength))
            return QStringLiteral("asks for a %1 of %2, more than the %3 points or percent a length of rich text may have")
                .arg(longest.name)
                .arg(longest.value)
                .arg(MaxRichTextLength);
        return {};
    }

private:
    const InterfaceFilePlaces &m_places;
    qint64 m_cells = 0;
};

} // namespace

QString refusal(const QByteArray &file, const InterfaceFilePlaces &places)
{
    QXmlStreamReader reader(file);
    Place place;
    TextCheck texts(places);
    // The text of the innermost open element, its pieces run together as Qt's loader reads them.
    QString text;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference) {
            if (!reader.isWhitespace())
                text += reader.text();
            continue;
        }
        if (token == QXmlStreamReader::StartElement) {
            const QString element = reader.name().toString().toLower();
            place.elements.append(element);
            text.clear();
            const QString name = reader.attributes().value(QLatin1StringView("name")).toString();
            if (element == QLatin1String("property") || element == QLatin1String("attribute")) {
                place.properties.append(name);
            } else if (makesObject(element)) {
                place.objects.append(name);
            } else if (element == QLatin1String("iconset")) {
                // Qt looks a theme's icon up by a name that a path would lead elsewhere.
                const QString theme = reader.attributes().value(QLatin1StringView("theme")).toString();
                if (theme.contains(u'/'))
                    return QStringLiteral("%1 names the theme icon \"%2\", which is a path").arg(place.told(), theme);
            }
            continue;
        }
        if (token != QXmlStreamReader::EndElement)
            continue;
        QString refused;
        const QString element = place.elements.last();
        if (namesPicture(element))
            refused = naming(text, places.pictureRefusal(text));
        else if (element == QLatin1String("string") || element == QLatin1String("cstring"))
            refused = texts.refusal(text, place);
        if (!refused.isEmpty())
            return QStringLiteral("%1 %2").arg(place.told(), refused);
        place.elements.removeLast();
        if (element == QLatin1String("property") || element == QLatin1String("attribute"))
            place.properties.removeLast();
        else if (makesObject(element))
            place.objects.removeLast();
        text.clear();
    }
    return {};
}

} // namespace platform::InterfaceFileContents
