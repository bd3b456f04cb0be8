#include "platform/foundation/EdgeInsets.h"

#include "platform/foundation/Log.h"

#include <QList>

namespace platform {

EdgeInsets EdgeInsets::fromString(const QString &text)
{
    const QList<QStringView> words = QStringView(text).split(u' ', Qt::SkipEmptyParts);
    if (words.size() > 4)
        logWarning(QStringLiteral("Edge insets \"%1\" have more than four numbers; the rest are ignored").arg(text));
    double numbers[4] = {0, 0, 0, 0};
    for (qsizetype i = 0; i < std::min<qsizetype>(words.size(), 4); ++i) {
        bool ok = false;
        numbers[i] = words[i].toDouble(&ok);
        if (!ok) {
            logWarning(QStringLiteral("Edge insets \"%1\" hold \"%2\", which is no number; it reads 0").arg(text, words[i]));
            numbers[i] = 0;
        }
    }
    return {numbers[2], numbers[1], numbers[0], numbers[3]};
}

} // namespace platform
