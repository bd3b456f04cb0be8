#include "RQS-Kit/Foundation/QSEncodingChooser.h"

#include "RQS-Kit/Foundation/QSEncoding.h"
#include "RQS-Kit/Foundation/QSEncodingTester.h"
#include "RQS-Kit/Foundation/QSStringDecoder.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"

namespace {

struct Choice
{
    std::shared_ptr<QSEncodingTester> tester;
    double score = 0.0;
};

Choice bestOf(const QList<std::shared_ptr<QSEncodingTester>> &testers, const QString &path)
{
    Choice best;
    for (const std::shared_ptr<QSEncodingTester> &tester : testers) {
        const double score = tester->testFile(path);
        if (score > best.score)
            best = {tester, score};
    }
    return best;
}

std::optional<QString> refuse(QString *error, const QString &reason)
{
    platform::logError(reason);
    if (error)
        *error = reason;
    return std::nullopt;
}

} // namespace

QSEncodingChooser *QSEncodingChooser::sharedEncodingChooser()
{
    static QSEncodingChooser *shared = [] {
        auto *chooser = new QSEncodingChooser;
        const QStringList paths = platform::Bundle::mainBundle()->pathsForResourcesOfType(QStringLiteral("encoding"));
        for (const QString &path : paths) {
            if (std::shared_ptr<QSEncodingTester> tester = QSEncodingTester::encodingTesterFor(path))
                chooser->addEncodingTester(tester);
        }
        return chooser;
    }();
    return shared;
}

void QSEncodingChooser::addEncodingTester(const std::shared_ptr<QSEncodingTester> &tester) { m_encodingTesters.append(tester); }

const QList<std::shared_ptr<QSEncodingTester>> &QSEncodingChooser::encodingTesters() const { return m_encodingTesters; }

std::shared_ptr<QSEncodingTester> QSEncodingChooser::chooseEncodingFor(const QString &path) const
{
    return bestOf(m_encodingTesters, path).tester;
}

std::optional<QString> QSEncodingChooser::contentOfFile(const QString &path, double ratio, QString *error) const
{
    const Choice best = bestOf(m_encodingTesters, path);
    if (!best.tester)
        return refuse(error, QStringLiteral("Could not guess the encoding of %1: no profile fits it").arg(path));
    QString reason;
    std::optional<QString> text = QSStringDecoder::contentsOfFile(path, best.tester->stringEncoding(), &reason);
    if (!text)
        return refuse(error, reason);
    const qsizetype length = text->toUcs4().size();
    if (best.score > double(length) * ratio)
        return text;
    return refuse(error, QStringLiteral("The text of %1 could not be read as %2: it scores %3 for %4 characters")
                             .arg(path, QSEncoding::nameForEncoding(best.tester->stringEncoding()))
                             .arg(best.score)
                             .arg(length));
}
