#pragma once

#include <QHash>
#include <QString>

#include <memory>

// One encoding profile: characters that speak for a file being in stringEncoding (good) and
// against it (bad), with weights. Characters are whole code points, so that a character outside
// the basic plane counts once and is never split.
class QSEncodingTester
{
public:
    using Weights = QHash<char32_t, double>;

    // Read from a profile file (UTF-8 lines of "key: value" headers and "character<TAB>weight"
    // lines in a "good" or "bad" section); null (logged) when the file is no UTF-8 text.
    static std::shared_ptr<QSEncodingTester> encodingTesterFor(const QString &path);

    // The file read in stringEncoding, scored; 0 when it cannot be read so.
    double testFile(const QString &path) const;
    // The good weights times goodFactor less the bad ones times badFactor, over every character.
    double scoreText(const QString &text) const;
    QString description() const;

    QString name() const;
    void setName(const QString &name);
    QString locale() const;
    void setLocale(const QString &locale);
    double goodFactor() const;
    void setGoodFactor(double factor);
    double badFactor() const;
    void setBadFactor(double factor);
    quint64 stringEncoding() const;
    void setStringEncoding(quint64 encoding);
    const Weights &good() const;
    void setGood(const Weights &good);
    const Weights &bad() const;
    void setBad(const Weights &bad);

private:
    QString m_name;
    QString m_locale;
    double m_goodFactor = 1.0;
    double m_badFactor = 1.0;
    quint64 m_stringEncoding = 0;
    Weights m_good;
    Weights m_bad;
};
