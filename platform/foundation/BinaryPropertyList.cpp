#include "platform/foundation/BinaryPropertyList.h"

#include "platform/foundation/PropertyList.h"

#include <QDateTime>
#include <QHash>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace platform {

namespace {

constexpr qint64 kHeaderSize = 8;
constexpr qint64 kTrailerSize = 32;

class Reader
{
public:
    explicit Reader(const QByteArray &data)
        : m_bytes(reinterpret_cast<const uchar *>(data.constData()))
        , m_size(data.size())
    {
    }

    QVariant read(QString *error)
    {
        const Value value = readTrailer() ? object(m_top, 1) : std::nullopt;
        if (!value && error)
            *error = m_error;
        return value.value_or(QVariant());
    }

private:
    using Value = std::optional<QVariant>;

    std::nullopt_t fail(const QString &reason)
    {
        m_error = reason;
        return std::nullopt;
    }

    // A big-endian unsigned number of 1 to 8 bytes; the caller has checked that they are there.
    quint64 number(qint64 at, int bytes) const
    {
        quint64 value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | m_bytes[at + i];
        return value;
    }

    bool readTrailer()
    {
        if (m_size < kHeaderSize + 2 + kTrailerSize) {
            fail(QStringLiteral("it is too short for a binary property list"));
            return false;
        }
        const qint64 trailer = m_size - kTrailerSize;
        m_offsetSize = m_bytes[trailer + 6];
        m_refSize = m_bytes[trailer + 7];
        m_count = number(trailer + 8, 8);
        m_top = number(trailer + 16, 8);
        const quint64 table = number(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8)
            fail(QStringLiteral("its trailer gives offsets of %1 and references of %2 bytes").arg(m_offsetSize).arg(m_refSize));
        else if (table <= quint64(kHeaderSize) || table >= quint64(trailer))
            fail(QStringLiteral("its offset table lies outside the file"));
        else if (m_count == 0 || m_count > (quint64(trailer) - table) / quint64(m_offsetSize))
            fail(QStringLiteral("its offset table does not hold its %1 objects").arg(m_count));
        else if (m_top >= m_count)
            fail(QStringLiteral("its top object %1 is not among its %2 objects").arg(m_top).arg(m_count));
        else {
            m_table = qint64(table);
            m_containerSeen.assign(m_count, false);
            return true;
        }
        return false;
    }

    // Where an object starts; every object lies between the header and the offset table.
    std::optional<qint64> start(quint64 index)
    {
        if (index >= m_count)
            return fail(QStringLiteral("a reference to object %1 of %2").arg(index).arg(m_count));
        const quint64 at = number(m_table + qint64(index) * m_offsetSize, m_offsetSize);
        if (at < quint64(kHeaderSize) || at >= quint64(m_table))
            return fail(QStringLiteral("object %1 lies outside the objects").arg(index));
        return qint64(at);
    }

    // The count after a marker: its low four bits, or an integer object that follows when they
    // are all set. `at` moves past them; count items of unit bytes must fit before the table.
    std::optional<quint64> length(qint64 &at, quint64 unit)
    {
        quint64 count = m_bytes[at++] & 0x0f;
        if (count == 0x0f) {
            const int bytes = at < m_table && (m_bytes[at] & 0xf0) == 0x10 && (m_bytes[at] & 0x0f) <= 3 ? 1 << (m_bytes[at] & 0x0f) : 0;
            if (bytes == 0 || at + 1 + bytes > m_table)
                return fail(QStringLiteral("a length that is no integer"));
            count = number(at + 1, bytes);
            at += 1 + bytes;
        }
        if (count > quint64(m_table - at) / unit)
            return fail(QStringLiteral("an object that runs past the objects"));
        return count;
    }

    // The marker's fixed size in bytes, checked to fit before the table.
    bool fits(qint64 at, qint64 bytes) const { return bytes <= m_table - at - 1; }

    Value object(quint64 index, int depth)
    {
        const std::optional<qint64> at = start(index);
        if (!at)
            return std::nullopt;
        const uchar kind = m_bytes[*at] >> 4;
        if (kind == 0xa || kind == 0xd)
            return container(index, *at, depth);
        auto cached = m_scalars.constFind(index);
        if (cached == m_scalars.cend()) {
            const Value value = scalar(*at);
            if (!value)
                return std::nullopt;
            cached = m_scalars.insert(index, *value);
        }
        if (cached->typeId() == QMetaType::QString)
            m_payload += cached->toString().size();
        else if (cached->typeId() == QMetaType::QByteArray)
            m_payload += cached->toByteArray().size();
        if (m_payload > m_size + BinaryPropertyList::MaximumUnfoldedBytes)
            return fail(QStringLiteral("it unfolds into more than %1 MiB of text and data beyond its own size")
                            .arg(BinaryPropertyList::MaximumUnfoldedBytes >> 20));
        return *cached;
    }

    Value scalar(qint64 at)
    {
        const uchar marker = m_bytes[at];
        const int low = marker & 0x0f;
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09)
                return marker == 0x09;
            break;
        case 0x1:
            // Integers of 1, 2 and 4 bytes are unsigned, of 8 signed; of 16 the low 8 count, and
            // are unsigned beyond 2^63 - 1 when the high 8 are zero.
            if (low <= 4 && fits(at, qint64(1) << low)) {
                const quint64 value = number(at + 1 + (low == 4 ? 8 : 0), std::min(8, 1 << low));
                if (low == 4 && number(at + 1, 8) == 0 && value > quint64(std::numeric_limits<qint64>::max()))
                    return qulonglong(value);
                return qlonglong(value);
            }
            break;
        case 0x2:
            if ((low == 2 || low == 3) && fits(at, qint64(1) << low))
                return real(at + 1, low);
            break;
        case 0x3:
            if (marker == 0x33 && fits(at, 8))
                return date(real(at + 1, 3));
            break;
        case 0x4:
            if (const std::optional<quint64> count = length(at, 1))
                return QByteArray(reinterpret_cast<const char *>(m_bytes + at), qsizetype(*count));
            return std::nullopt;
        case 0x5:
            if (const std::optional<quint64> count = length(at, 1))
                return ascii(QByteArrayView(m_bytes + at, qsizetype(*count)));
            return std::nullopt;
        case 0x6:
            if (const std::optional<quint64> count = length(at, 2)) {
                QString utf16(qsizetype(*count), Qt::Uninitialized);
                for (qsizetype i = 0; i < utf16.size(); ++i)
                    utf16[i] = QChar(ushort(number(at + 2 * i, 2)));
                return text(utf16);
            }
            return std::nullopt;
        case 0x8:
            // A keyed archive's reference, kept as the XML form writes it.
            if (low < 8 && fits(at, low + 1))
                return QVariantMap{{QStringLiteral("CF$UID"), qlonglong(number(at + 1, low + 1))}};
            break;
        default:
            break;
        }
        return fail(QStringLiteral("an object of unknown kind 0x%1 or size").arg(marker, 2, 16, QLatin1Char('0')));
    }

    double real(qint64 at, int low) const
    {
        if (low == 2) {
            const quint32 bits = quint32(number(at, 4));
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        const quint64 bits = number(at, 8);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Seconds since the property-list epoch, of the years a property list keeps.
    Value date(double seconds)
    {
        // 10^12 seconds lie far beyond those years, and their milliseconds still fit.
        const QDateTime value = std::abs(seconds) < 1e12
                                    ? QDateTime::fromMSecsSinceEpoch(PropertyList::EpochSeconds * 1000 + std::llround(seconds * 1000), QTimeZone::utc())
                                    : QDateTime();
        if (!PropertyList::keepsDate(value))
            return fail(QStringLiteral("a date out of range"));
        return value;
    }

    // What the XML form writes back unchanged: no zero character, no half of a surrogate pair.
    Value text(const QString &text)
    {
        if (text.contains(QChar(0)))
            return fail(QStringLiteral("a text holding a zero character"));
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            else if (c.isSurrogate())
                return fail(QStringLiteral("a text holding half a surrogate pair, U+%1").arg(QString::number(c.unicode(), 16).toUpper()));
        }
        return text;
    }

    // A text of this kind holds ASCII only; a byte beyond would be some other set's character.
    Value ascii(QByteArrayView bytes)
    {
        if (const auto beyond = std::find_if(bytes.begin(), bytes.end(), [](char c) { return uchar(c) >= 0x80; }); beyond != bytes.end())
            return fail(QStringLiteral("an ASCII text holding the byte 0x%1").arg(QString::number(uchar(*beyond), 16).toUpper()));
        return text(QString::fromLatin1(bytes));
    }

    Value container(quint64 index, qint64 at, int depth)
    {
        if (depth > PropertyList::MaximumDepth)
            return fail(QStringLiteral("it nests arrays and dictionaries deeper than %1 levels").arg(PropertyList::MaximumDepth));
        if (m_containerSeen[index])
            return fail(QStringLiteral("array or dictionary %1 appears twice in it or inside itself").arg(index));
        m_containerSeen[index] = true;
        const bool isArray = m_bytes[at] >> 4 == 0xa;
        const std::optional<quint64> count = length(at, quint64(m_refSize) * (isArray ? 1 : 2));
        if (!count)
            return std::nullopt;
        const auto reference = [&](quint64 i) { return number(at + qint64(i) * m_refSize, m_refSize); };
        if (isArray) {
            QVariantList list;
            for (quint64 i = 0; i < *count; ++i) {
                const Value item = object(reference(i), depth + 1);
                if (!item)
                    return std::nullopt;
                list.append(*item);
            }
            return list;
        }
        QVariantMap map;
        for (quint64 i = 0; i < *count; ++i) {
            const Value key = object(reference(i), depth + 1);
            if (key && key->typeId() != QMetaType::QString)
                return fail(QStringLiteral("a dictionary key that is no text"));
            const Value item = key ? object(reference(*count + i), depth + 1) : std::nullopt;
            if (!item)
                return std::nullopt;
            map.insert(key->toString(), *item);
        }
        return map;
    }

    const uchar *m_bytes;
    qint64 m_size;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_count = 0;
    quint64 m_top = 0;
    qint64 m_table = 0;
    std::vector<bool> m_containerSeen;
    QHash<quint64, QVariant> m_scalars;
    qint64 m_payload = 0;
    QString m_error;
};

} // namespace

bool BinaryPropertyList::isBinary(const QByteArray &data) { return data.startsWith("bplist00"); }

QVariant BinaryPropertyList::read(const QByteArray &data, QString *error) { return Reader(data).read(error); }

} // namespace platform
