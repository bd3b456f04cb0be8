#include "RQS-Kit/Foundation/QSEncodingTester.h"

#include "RQS-Kit/Foundation/QSStringDecoder.h"
#include "platform/foundation/Log.h"

#include <QStringList>

namespace {

enum class Section { None, Good, Bad };

// The whole character that ends at index, so that a pair of surrogates stays one character.
char32_t characterBefore(const QString &line, qsizetype end)
{
    const QChar last = line.at(end - 1);
    if (last.isLowSurrogate() && end >= 2 && line.at(end - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(line.at(end - 2), last);
    return last.unicode();
}

QString characterText(char32_t character) { return QString::fromUcs4(&character, 1); }

class ProfileReader
{
public:
    explicit ProfileReader(QSEncodingTester &tester)
        : m_tester(tester)
    {
    }

    void readLine(const QString &line)
    {
        if (line.trimmed().isEmpty())
            return;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon >= 1) {
            readHeader(line.left(colon).toLower(), line.mid(colon + 1).trimmed());
            return;
        }
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 1) {
            platform::logWarning(QStringLiteral("Unparsable line: '%1'").arg(line));
            return;
        }
        if (m_section == Section::None) {
            platform::logWarning(QStringLiteral("Unparsable line (neither in 'good' or 'bad' status): '%1'").arg(line));
            return;
        }
        const double weight = line.mid(tab + 1).section(QLatin1Char('\t'), 0, 0).toDouble();
        (m_section == Section::Good ? m_good : m_bad).insert(characterBefore(line, tab), weight);
    }

    void finish()
    {
        for (auto it = m_good.cbegin(); it != m_good.cend(); ++it) {
            if (m_bad.contains(it.key()))
                platform::logWarning(QStringLiteral("Good Unicode is also bad: %1").arg(characterText(it.key())));
        }
        m_tester.setGood(m_good);
        m_tester.setBad(m_bad);
    }

private:
    void readHeader(const QString &key, const QString &value)
    {
        if (key == QLatin1String("good")) {
            m_section = Section::Good;
            return;
        }
        if (key == QLatin1String("bad")) {
            m_section = Section::Bad;
            return;
        }
        if (key == QLatin1String("name"))
            m_tester.setName(value);
        else if (key == QLatin1String("locale"))
            m_tester.setLocale(value);
        else if (key == QLatin1String("nsstring"))
            m_tester.setStringEncoding(value.toULongLong());
        else if (key == QLatin1String("goodfactor"))
            m_tester.setGoodFactor(value.toDouble());
        else if (key == QLatin1String("badfactor"))
            m_tester.setBadFactor(value.toDouble());
        else
            return;
        m_section = Section::None;
    }

    QSEncodingTester &m_tester;
    Section m_section = Section::None;
    QSEncodingTester::Weights m_good;
    QSEncodingTester::Weights m_bad;
};

} // namespace

std::shared_ptr<QSEncodingTester> QSEncodingTester::encodingTesterFor(const QString &path)
{
    QString error;
    const std::optional<QString> text = QSStringDecoder::contentsOfFile(path, QSStringDecoder::UTF8, &error);
    if (!text) {
        platform::logWarning(QStringLiteral("Could not read encoding file (%1), because '%2'").arg(path, error));
        return nullptr;
    }
    auto tester = std::make_shared<QSEncodingTester>();
    ProfileReader reader(*tester);
    for (const QString &line : text->split(QLatin1Char('\n')))
        reader.readLine(line);
    reader.finish();
    return tester;
}

double QSEncodingTester::testFile(const QString &path) const
{
    QString error;
    const std::optional<QString> text = QSStringDecoder::contentsOfFile(path, m_stringEncoding, &error);
    if (!text) {
        platform::logInfo(QStringLiteral("Not %1: %2").arg(m_name, error));
        return 0.0;
    }
    return scoreText(*text);
}

double QSEncodingTester::scoreText(const QString &text) const
{
    double goodSum = 0.0;
    double badSum = 0.0;
    qsizetype badCount = 0;
    for (const char32_t character : text.toUcs4()) {
        goodSum += m_good.value(character) * m_goodFactor;
        const auto bad = m_bad.constFind(character);
        if (bad != m_bad.cend()) {
            badSum += bad.value() * m_badFactor;
            ++badCount;
        }
    }
    // One line for the text: a line per character would bury the log.
    if (badCount > 0)
        platform::logInfo(QStringLiteral("%1 characters speak against %2").arg(badCount).arg(m_name));
    return goodSum - badSum;
}

QString QSEncodingTester::description() const
{
    return QStringLiteral("Encoding '%1' (%2) QSEncodingTester(%3)")
        .arg(m_name)
        .arg(m_stringEncoding)
        .arg(quintptr(this), 0, 16);
}

QString QSEncodingTester::name() const { return m_name; }
void QSEncodingTester::setName(const QString &name) { m_name = name; }
QString QSEncodingTester::locale() const { return m_locale; }
void QSEncodingTester::setLocale(const QString &locale) { m_locale = locale; }
double QSEncodingTester::goodFactor() const { return m_goodFactor; }
void QSEncodingTester::setGoodFactor(double factor) { m_goodFactor = factor; }
double QSEncodingTester::badFactor() const { return m_badFactor; }
void QSEncodingTester::setBadFactor(double factor) { m_badFactor = factor; }
quint64 QSEncodingTester::stringEncoding() const { return m_stringEncoding; }
void QSEncodingTester::setStringEncoding(quint64 encoding) { m_stringEncoding = encoding; }
const QSEncodingTester::Weights &QSEncodingTester::good() const { return m_good; }
void QSEncodingTester::setGood(const Weights &good) { m_good = good; }
const QSEncodingTester::Weights &QSEncodingTester::bad() const { return m_bad; }
void QSEncodingTester::setBad(const Weights &bad) { m_bad = bad; }
