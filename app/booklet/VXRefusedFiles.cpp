#include "app/booklet/VXRefusedFiles.h"

#include <QFileInfo>

#include <algorithm>

void VXRefusedFiles::add(const QString &path, const QString &reason)
{
    const QString name = QFileInfo(path).fileName();
    const auto same = std::find_if(m_namesByReason.begin(), m_namesByReason.end(), [&](const auto &entry) { return entry.first == reason; });
    if (same != m_namesByReason.end())
        same->second.append(name);
    else
        m_namesByReason.append({reason, {name}});
}

bool VXRefusedFiles::isEmpty() const { return m_namesByReason.isEmpty(); }

QStringList VXRefusedFiles::names() const
{
    QStringList all;
    for (const auto &[reason, names] : m_namesByReason)
        all += names;
    return all;
}

QString VXRefusedFiles::text() const
{
    QStringList paragraphs;
    for (const auto &[reason, names] : m_namesByReason) {
        QStringList quoted;
        for (const QString &name : names)
            quoted << QStringLiteral("“%1”").arg(name);
        paragraphs << quoted.join(QStringLiteral(", ")) + QLatin1Char('\n') + reason;
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}
