#include "app/booklet/VXOpenFailures.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/ui/Alert.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

// The file's name, its middle left out when it is long; never between the halves of a character.
QString shortName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.size() <= VXOpenFailures::MaxNameLength)
        return name;
    qsizetype head = VXOpenFailures::MaxNameLength / 2;
    qsizetype tail = name.size() - head;
    if (name.at(head - 1).isHighSurrogate())
        --head;
    if (name.at(tail).isLowSurrogate())
        ++tail;
    return name.left(head) + QChar(0x2026) + name.mid(tail);
}

QString quoted(const QString &path) { return QChar(0x201c) + shortName(path) + QChar(0x201d); }

} // namespace

void VXOpenFailures::add(const QString &path, const QString &reason)
{
    if (!contains(path))
        m_failures.append({path, reason});
}

void VXOpenFailures::explain(const QString &path, const QString &sentence)
{
    for (Failure &failure : m_failures) {
        if (failure.path == path)
            failure.reason += QLatin1Char(' ') + sentence;
    }
}

bool VXOpenFailures::contains(const QString &path) const
{
    return std::any_of(m_failures.cbegin(), m_failures.cend(), [&](const Failure &failure) { return failure.path == path; });
}

QString VXOpenFailures::title() const
{
    if (m_failures.size() == 1)
        return rqs::localized(QStringLiteral("OpenFailedTitle")).arg(shortName(m_failures.first().path));
    return rqs::localized(QStringLiteral("OpenFailedSeveralTitle")).arg(m_failures.size());
}

QStringList VXOpenFailures::names() const
{
    QStringList all;
    for (const Failure &failure : m_failures)
        all << QFileInfo(failure.path).fileName();
    return all;
}

QString VXOpenFailures::text() const { return m_failures.size() == 1 ? m_failures.first().reason : namedText(); }

QString VXOpenFailures::namedText() const
{
    QStringList reasons;
    QList<QStringList> names;
    for (const Failure &failure : m_failures) {
        const qsizetype at = reasons.indexOf(failure.reason);
        if (at >= 0) {
            names[at] << failure.path;
        } else {
            reasons << failure.reason;
            names << QStringList{failure.path};
        }
    }
    QStringList paragraphs;
    qsizetype told = 0;
    for (qsizetype i = 0; i < std::min<qsizetype>(reasons.size(), MaxReasons); ++i) {
        QStringList shown;
        for (const QString &path : names[i].mid(0, MaxNamesPerReason))
            shown << quoted(path);
        QString files = shown.join(QStringLiteral(", "));
        if (names[i].size() > MaxNamesPerReason)
            files = rqs::localized(QStringLiteral("OpenFailedAndMore")).arg(files).arg(names[i].size() - MaxNamesPerReason);
        paragraphs << files + QLatin1Char('\n') + reasons[i];
        told += names[i].size();
    }
    if (told < m_failures.size())
        paragraphs << rqs::localized(QStringLiteral("OpenFailedOtherReasons")).arg(m_failures.size() - told);
    return paragraphs.join(QStringLiteral("\n\n"));
}

void VXOpenFailures::tell(const QString &title, platform::Window *window) const
{
    if (m_failures.isEmpty())
        return;
    platform::Alert alert;
    alert.setMessageText(title.isEmpty() ? this->title() : title);
    alert.setAlertStyle(platform::Alert::Style::Critical);
    alert.setInformativeText(title.isEmpty() ? text() : namedText());
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
    alert.beginSheetModalForWindow(window, platform::Alert::Completion());
}
