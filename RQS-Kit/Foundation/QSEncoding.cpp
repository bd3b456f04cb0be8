#include "RQS-Kit/Foundation/QSEncoding.h"

#include "RQS-Kit/Foundation/QSStringDecoder.h"

QSEncoding::QSEncoding(const QString &name, quint64 codePage)
    : m_name(name)
    , m_codePage(codePage)
{
}

QSEncoding QSEncoding::encodingWithName(const QString &name, quint64 codePage) { return QSEncoding(name, codePage); }

const QList<std::optional<QSEncoding>> &QSEncoding::encodings()
{
    using D = QSStringDecoder;
    static const QList<std::optional<QSEncoding>> table{
        QSEncoding(QStringLiteral("Automatic"), D::Automatic),
        QSEncoding(QStringLiteral("UTF-7"), D::UTF7),
        QSEncoding(QStringLiteral("UTF-8"), D::UTF8),
        QSEncoding(QStringLiteral("UTF-16"), D::UTF16),
        QSEncoding(QStringLiteral("UTF-16 Big Endian"), D::UTF16BigEndian),
        QSEncoding(QStringLiteral("UTF-16 Little Endian"), D::UTF16LittleEndian),
        QSEncoding(QStringLiteral("UTF-32"), D::UTF32),
        QSEncoding(QStringLiteral("UTF-32 Big Endian"), D::UTF32BigEndian),
        QSEncoding(QStringLiteral("UTF-32 Little Endian"), D::UTF32LittleEndian),
        QSEncoding(QStringLiteral("ISO Latin 1"), D::ISOLatin1),
        QSEncoding(QStringLiteral("ISO Latin 2"), D::ISOLatin2),
        QSEncoding(QStringLiteral("ISO Latin 3"), D::ISOLatin3),
        QSEncoding(QStringLiteral("ISO Latin 4"), D::ISOLatin4),
        QSEncoding(QStringLiteral("ISO Latin 5"), D::ISOLatin5),
        QSEncoding(QStringLiteral("Window Latin 1"), D::WindowsLatin1),
        QSEncoding(QStringLiteral("Window Latin 2"), D::WindowsLatin2),
        QSEncoding(QStringLiteral("Window Latin 5"), D::WindowsLatin5),
        QSEncoding(QStringLiteral("Mac Roman"), D::MacRoman),
        QSEncoding(QStringLiteral("Windows CP1250"), D::WindowsLatin2),
        QSEncoding(QStringLiteral("Windows CP1252"), D::WindowsLatin1),
        QSEncoding(QStringLiteral("Windows CP1254"), D::WindowsLatin5),
        QSEncoding(QStringLiteral("Next Step"), D::NextStep),
        QSEncoding(QStringLiteral("Non Lossy ASCII"), D::NonLossyASCII),
        std::nullopt,
        QSEncoding(QStringLiteral("Chinese GB 18030"), D::ChineseGB18030),
        QSEncoding(QStringLiteral("Chinese Simp. (DOS)"), D::ChineseSimplifiedDOS),
        QSEncoding(QStringLiteral("Chinese Simp. (Mac)"), D::ChineseSimplifiedMac),
        QSEncoding(QStringLiteral("Chinese Trad. (DOS)"), D::ChineseTraditionalDOS),
        QSEncoding(QStringLiteral("Chinese Trad (Mac)"), D::ChineseTraditionalMac),
        QSEncoding(QStringLiteral("Cyrillic (DOS)"), D::CyrillicDOS),
        QSEncoding(QStringLiteral("Cyrillic (ISO)"), D::CyrillicISO),
        QSEncoding(QStringLiteral("Cyrillic (Mac)"), D::CyrillicMac),
        QSEncoding(QStringLiteral("Cyrillic (Windows)"), D::CyrillicWindows),
        QSEncoding(QStringLiteral("Greek (DOS)"), D::GreekDOS),
        QSEncoding(QStringLiteral("Greek (ISO)"), D::GreekISO),
        QSEncoding(QStringLiteral("Greek (Mac)"), D::GreekMac),
        QSEncoding(QStringLiteral("Greek (Windows)"), D::GreekWindows),
        QSEncoding(QStringLiteral("Hebrew (DOS)"), D::HebrewDOS),
        QSEncoding(QStringLiteral("Hebrew (ISO)"), D::HebrewISO),
        QSEncoding(QStringLiteral("Hebrew (Mac)"), D::HebrewMac),
        QSEncoding(QStringLiteral("Hebrew (Windows)"), D::HebrewWindows),
        QSEncoding(QStringLiteral("Japanese EUC"), D::JapaneseEUC),
        QSEncoding(QStringLiteral("Japanese ISO 2022"), D::JapaneseISO2022),
        QSEncoding(QStringLiteral("Japanese (DOS)"), D::JapaneseDOS),
        QSEncoding(QStringLiteral("Japanese (Mac)"), D::JapaneseMac),
        QSEncoding(QStringLiteral("Japanese (Next Step)"), D::JapaneseNextStep),
        QSEncoding(QStringLiteral("Korean (Mac)"), D::KoreanMac),
        QSEncoding(QStringLiteral("Korean (Windows)"), D::KoreanJohab),
    };
    return table;
}

QString QSEncoding::nameForEncoding(quint64 codePage)
{
    for (const std::optional<QSEncoding> &entry : encodings()) {
        if (entry && entry->codePage() == codePage)
            return entry->name();
    }
    return QStringLiteral("unknown encoding");
}

QString QSEncoding::name() const { return m_name; }

void QSEncoding::setName(const QString &name) { m_name = name; }

quint64 QSEncoding::codePage() const { return m_codePage; }

void QSEncoding::setCodePage(quint64 codePage) { m_codePage = codePage; }
