#include "RQS-Kit/Foundation/StringExtension.h"

#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Foundation/DataExtension.h"

#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QLocale>

#include <algorithm>
#include <optional>

namespace rqs {

namespace {

const QLatin1Char Mark('#');

QString lastPathComponent(const QString &path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

// The position of the extension's dot, or -1; a leading dot starts a hidden name, not an extension.
qsizetype extensionDot(const QString &path)
{
    const qsizetype componentStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > componentStart ? dot : -1;
}

QString deletingPathExtension(const QString &path)
{
    const qsizetype dot = extensionDot(path);
    return dot < 0 ? path : path.left(dot);
}

QString pathExtension(const QString &path)
{
    const qsizetype dot = extensionDot(path);
    return dot < 0 ? QString() : path.mid(dot + 1);
}

bool isLocaleIdentifier(const QString &text)
{
    const QLocale::Language language = QLocale(text).language();
    return language != QLocale::C && language != QLocale::AnyLanguage;
}

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Leading blanks, an optional sign, then digits up to the first other character; no digits read 0.
qint64 leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        negative = text.at(i++) == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && isAsciiDigit(text.at(i)); ++i)
        value = value * 10 + (text.at(i).unicode() - '0');
    return negative ? -value : value;
}

// The three-character field of the written form, or a longer run of digits that a larger index is
// written as.
std::optional<qint64> indexField(const QString &field)
{
    if (field.size() == 3)
        return leadingInteger(field);
    if (field.size() < 3 || !std::all_of(field.cbegin(), field.cend(), isAsciiDigit))
        return std::nullopt;
    bool ok = false;
    const qint64 value = field.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

QString stringByDroppingDeviceSuffix(const QString &name)
{
    for (const QString &suffix : {QStringLiteral("-iPhone"), QStringLiteral("-iPad"), QStringLiteral("@2x")}) {
        const qsizetype at = name.indexOf(suffix);
        if (at >= 0 && at + suffix.size() == name.size())
            return name.left(at);
    }
    return name;
}

bool holdsFont(const QTextCharFormat &attributes) { return attributes.hasProperty(QTextFormat::FontFamilies); }

QFont systemFontOfSize10() { return QFont(QGuiApplication::font().family(), 10); }

QTextCharFormat boldAttributes(const QTextCharFormat &attributes)
{
    const QFont font = holdsFont(attributes) ? attributes.font() : systemFontOfSize10();
    QTextCharFormat bold = attributes;
    bold.setFontFamilies(font.families());
    if (font.pointSizeF() > 0)
        bold.setFontPointSize(font.pointSizeF());
    bold.setFontWeight(QFont::Bold);
    bold.setFontItalic(false);
    return bold;
}

QList<QTextLayout::FormatRange> runsOf(const QList<bool> &isBold, const QTextCharFormat &plain,
                                       const QTextCharFormat &bold)
{
    QList<QTextLayout::FormatRange> ranges;
    for (qsizetype start = 0; start < isBold.size();) {
        qsizetype end = start + 1;
        while (end < isBold.size() && isBold.at(end) == isBold.at(start))
            ++end;
        ranges.append({int(start), int(end - start), isBold.at(start) ? bold : plain});
        start = end;
    }
    return ranges;
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool sameFolder(const platform::Bundle &a, const platform::Bundle &b)
{
    // Most lookups are in the main bundle itself, which needs no trip to the file system.
    return &a == &b || QFileInfo(a.bundlePath()).canonicalFilePath() == QFileInfo(b.bundlePath()).canonicalFilePath();
}

// The table, then the default table when a table was named.
QString lookUpWithFallbackTable(const QString &key, const platform::BundlePtr &bundle, const QString &table)
{
    const QString found = localizedOrNilForBundle(key, bundle, table);
    if (!found.isNull() || table.isEmpty())
        return found;
    return localizedOrNilForBundle(key, bundle, {});
}

QString lookUpInEnglishFolder(const QString &key, const platform::Bundle &bundle, const QString &table)
{
    const platform::BundlePtr english =
        platform::Bundle::bundleWithPath(bundle.bundlePath() + QStringLiteral("/en.lproj"));
    return english ? lookUpWithFallbackTable(key, english, table) : QString();
}

} // namespace

QSResourceInfo resourceInfo(const QString &string)
{
    QString rest = stringByDroppingDeviceSuffix(deletingPathExtension(lastPathComponent(string)));
    QSResourceInfo info;
    if (rest.indexOf(Mark) == 5) {
        info.setType(rest.left(5));
        rest = rest.mid(6);
    }
    const qsizetype indexMark = rest.indexOf(Mark);
    if (indexMark >= 0) {
        if (const std::optional<qint64> index = indexField(rest.left(indexMark))) {
            info.setIndex(*index);
            rest = rest.mid(indexMark + 1);
        }
    }
    const qsizetype optionsMark = rest.indexOf(Mark);
    if (optionsMark >= 0) {
        info.setName(rest.left(optionsMark));
        info.setOptions(rest.mid(optionsMark + 1));
    } else {
        info.setName(rest);
    }
    return info;
}

QString resourceID(const QString &string)
{
    const QSResourceInfo info = resourceInfo(string);
    return resourceIDForType(info.type(), info.index());
}

QString fileprefix(const QString &string) { return resourceID(string); }

QString resourceIDName(const QString &string) { return resourceIDNameFor(resourceInfo(string)); }

QString resourcePath(const QString &string) { return directoryForResourceType(string); }

QString resourceIDForType(const QString &type, qint64 index)
{
    if (index == QSResourceInfo::NotFound)
        return type.isNull() ? QStringLiteral("") : type;
    return type + QString::asprintf("#%03lld", static_cast<long long>(index));
}

QString resourceIDNameFor(const QSResourceInfo &info)
{
    const QString id = resourceIDForType(info.type(), info.index());
    return id.isEmpty() ? info.name() : id + Mark + info.name();
}

bool hasAnySubstringOf(const QString &string, const QStringList &substrings)
{
    return std::any_of(substrings.cbegin(), substrings.cend(),
                       [&](const QString &part) { return !part.isEmpty() && string.contains(part); });
}

QString stringByDeletingLocaleAndPathExtension(const QString &string)
{
    const QString stem = deletingPathExtension(string);
    const QString localeExtension = pathExtension(stem);
    return !localeExtension.isEmpty() && isLocaleIdentifier(localeExtension) ? deletingPathExtension(stem) : stem;
}

const QTextCharFormat &defaultAttributes()
{
    static const QTextCharFormat attributes = [] {
        QTextCharFormat format;
        const QFont font = systemFontOfSize10();
        format.setFontFamilies(font.families());
        format.setFontPointSize(font.pointSizeF());
        return format;
    }();
    return attributes;
}

platform::AttributedString atrributedStringWithAtributes(const QString &string,
                                                         const std::optional<QTextCharFormat> &attributes)
{
    const QTextCharFormat plain = attributes ? *attributes : defaultAttributes();
    const QLatin1String open("<b>");
    const QLatin1String close("</b>");
    QString text = string;
    QList<bool> isBold(text.size(), false);
    for (;;) {
        const qsizetype start = text.indexOf(open);
        const qsizetype end = start < 0 ? -1 : text.indexOf(close, start + open.size());
        if (end < 0)
            break;
        text.remove(end, close.size());
        isBold.remove(end, close.size());
        text.remove(start, open.size());
        isBold.remove(start, open.size());
        std::fill(isBold.begin() + start, isBold.begin() + (end - open.size()), true);
    }
    return {text, runsOf(isBold, plain, boldAttributes(plain))};
}

QString localized(const QString &string) { return localizedForTable(string, {}); }

QString localizedForTable(const QString &string, const QString &table)
{
    return localizedForBundle(string, platform::Bundle::mainBundle(), table);
}

QString localizedForBundle(const QString &string, const platform::BundlePtr &bundle, const QString &table)
{
    const platform::BundlePtr main = platform::Bundle::mainBundle();
    const platform::BundlePtr given = bundle ? bundle : main;
    QString found = lookUpWithFallbackTable(string, given, table);
    if (!found.isNull())
        return found;
    if (!sameFolder(*given, *main)) {
        found = lookUpWithFallbackTable(string, main, table);
        if (found.isNull())
            found = lookUpInEnglishFolder(string, *given, table);
        if (!found.isNull())
            return found;
    }
    found = lookUpInEnglishFolder(string, *main, table);
    return found.isNull() ? string : found;
}

QString localizedOrNilForBundle(const QString &string, const platform::BundlePtr &bundle, const QString &table)
{
    const platform::BundlePtr target = bundle ? bundle : platform::Bundle::mainBundle();
    const QString missing(Mark);
    const QString found = target->localizedStringForKey(string, missing, table);
    return found == missing ? QString() : found;
}

QString sha1StringNoKey(const QString &string) { return sha1StringWithKey(string, {}); }

QString sha1StringWithKey(const QString &string, const QByteArray &key)
{
    return sha1StringWithKey(string.toUtf8(), key);
}

QString sha1StringCompatible(const QString &string) { return sha1StringCompatible(string.toUtf8()); }

QByteArray hexstringData(const QString &string)
{
    const QByteArray digits = string.toUtf8();
    if (digits.isEmpty() || digits.size() % 2 != 0 || !std::all_of(digits.cbegin(), digits.cend(), isHexDigit))
        return {};
    return QByteArray::fromHex(digits);
}

} // namespace rqs
