#include "platform/printing/PrintInfo.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/printing/PrinterCache.h"

#include <QPageSize>
#include <QRegularExpression>

#include <cmath>
#include <cstdint>
#include <langinfo.h>

namespace platform {

namespace {

// The paper that the user's locale names; glibc answers its size in millimetres.
QPageSize localePaper()
{
    const auto millimetres = [](nl_item item) {
        return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(nl_langinfo(item)));
    };
    const unsigned width = millimetres(_NL_PAPER_WIDTH);
    const unsigned height = millimetres(_NL_PAPER_HEIGHT);
    if (width > 0 && height > 0 && width < 10000 && height < 10000) {
        const QPageSize paper(QSizeF(width, height), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
        if (paper.isValid())
            return paper;
    }
    return QPageSize(QPageSize::A4);
}

} // namespace

// Qt answers sizes in points rounded to whole points; A4 is 595.28 x 841.89.
QSizeF PrintInfo::pointsOf(const QPageSize &paper)
{
    const QSizeF size = paper.definitionSize();
    switch (paper.definitionUnits()) {
    case QPageSize::Millimeter:
        return size * (72 / 25.4);
    case QPageSize::Inch:
        return size * 72;
    case QPageSize::Point:
        return size;
    default:
        return paper.size(QPageSize::Millimeter) * (72 / 25.4);
    }
}

namespace {

// The paper Qt knows by that key, whatever its case.
std::optional<QPageSize> paperWithKey(const QString &key)
{
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const QPageSize paper{QPageSize::PageSizeId(id)};
        if (paper.isValid() && paper.key().compare(key, Qt::CaseInsensitive) == 0)
            return paper;
    }
    return std::nullopt;
}

const QList<std::pair<PrintInfo::Duplex, QString>> &duplexNames()
{
    static const QList<std::pair<PrintInfo::Duplex, QString>> names{
        {PrintInfo::Duplex::OneSided, QStringLiteral("one-sided")},
        {PrintInfo::Duplex::TwoSidedLongEdge, QStringLiteral("two-sided-long-edge")},
        {PrintInfo::Duplex::TwoSidedShortEdge, QStringLiteral("two-sided-short-edge")},
    };
    return names;
}

bool isText(const QVariant &value) { return value.typeId() == QMetaType::QString; }

std::optional<double> numberOf(const QVariant &value)
{
    if (isText(value))
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

// A size value, or its text as "{width, height}".
std::optional<QSizeF> sizeOf(const QVariant &value)
{
    QSizeF size;
    if (value.typeId() == QMetaType::QSizeF) {
        size = value.toSizeF();
    } else if (value.typeId() == QMetaType::QSize) {
        size = QSizeF(value.toSize());
    } else if (isText(value)) {
        static const QRegularExpression pattern(QStringLiteral("^\\s*\\{\\s*([^,{}\\s]+)\\s*,\\s*([^,{}\\s]+)\\s*\\}\\s*$"));
        const QRegularExpressionMatch match = pattern.match(value.toString());
        bool widthOk = false;
        bool heightOk = false;
        if (match.hasMatch())
            size = QSizeF(match.captured(1).toDouble(&widthOk), match.captured(2).toDouble(&heightOk));
        if (!widthOk || !heightOk)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (!(size.width() > 0 && size.height() > 0 && std::isfinite(size.width()) && std::isfinite(size.height())))
        return std::nullopt;
    return size;
}

std::optional<QUrl> urlOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QUrl)
        return value.toUrl();
    if (!isText(value))
        return std::nullopt;
    const QUrl url(value.toString(), QUrl::StrictMode);
    return url.isValid() ? std::optional<QUrl>(url) : std::nullopt;
}

// Reads one key of the dictionary into the print info; false when its value does not fit.
bool apply(PrintInfo &info, const QString &key, const QVariant &value)
{
    if (key == PrintInfo::PaperNameKey || key == PrintInfo::PrinterNameKey) {
        if (!isText(value))
            return false;
        key == PrintInfo::PaperNameKey ? info.setPaperName(value.toString()) : info.setPrinterName(value.toString());
        return true;
    }
    if (key == PrintInfo::PaperSizeKey) {
        const std::optional<QSizeF> size = sizeOf(value);
        if (size)
            info.setPaperSize(*size);
        return size.has_value();
    }
    if (key == PrintInfo::OrientationKey) {
        const std::optional<double> number = numberOf(value);
        if (!number || (*number != 0 && *number != 1))
            return false;
        info.setOrientation(*number == 0 ? PrintInfo::Orientation::Portrait : PrintInfo::Orientation::Landscape);
        return true;
    }
    const QList<std::pair<QString, void (PrintInfo::*)(double)>> margins{
        {PrintInfo::TopMarginKey, &PrintInfo::setTopMargin},
        {PrintInfo::LeftMarginKey, &PrintInfo::setLeftMargin},
        {PrintInfo::BottomMarginKey, &PrintInfo::setBottomMargin},
        {PrintInfo::RightMarginKey, &PrintInfo::setRightMargin},
    };
    for (const auto &[marginKey, setter] : margins) {
        if (key != marginKey)
            continue;
        const std::optional<double> number = numberOf(value);
        if (!number || *number < 0)
            return false;
        (info.*setter)(*number);
        return true;
    }
    if (key == PrintInfo::JobDispositionKey) {
        const QString text = isText(value) ? value.toString() : QString();
        if (text != PrintInfo::SpoolJob && text != PrintInfo::SaveJob)
            return false;
        info.setJobDisposition(text == PrintInfo::SaveJob ? PrintInfo::JobDisposition::Save : PrintInfo::JobDisposition::Spool);
        return true;
    }
    if (key == PrintInfo::ScalingFactorKey) {
        const std::optional<double> number = numberOf(value);
        if (!number || *number <= 0)
            return false;
        info.setScalingFactor(*number);
        return true;
    }
    if (key == PrintInfo::JobSavingUrlKey) {
        const std::optional<QUrl> url = urlOf(value);
        if (url)
            info.setJobSavingUrl(*url);
        return url.has_value();
    }
    if (key == PrintInfo::CopiesKey) {
        const std::optional<double> number = numberOf(value);
        if (!number || *number < 1 || *number != std::floor(*number) || *number > 9999)
            return false;
        info.setCopies(int(*number));
        return true;
    }
    if (key == PrintInfo::DuplexKey) {
        for (const auto &[duplex, name] : duplexNames()) {
            if (isText(value) && value.toString() == name) {
                info.setDuplex(duplex);
                return true;
            }
        }
        return false;
    }
    return true;
}

// The names that earlier versions stored, with the current ones.
const QList<std::pair<QString, QString>> &earlierKeys()
{
    static const QList<std::pair<QString, QString>> keys{
        {QStringLiteral("PaperName"), PrintInfo::PaperNameKey},
        {QStringLiteral("PaperSize"), PrintInfo::PaperSizeKey},
        {QStringLiteral("Orientation"), PrintInfo::OrientationKey},
        {QStringLiteral("TopMargin"), PrintInfo::TopMarginKey},
        {QStringLiteral("LeftMargin"), PrintInfo::LeftMarginKey},
        {QStringLiteral("BottomMargin"), PrintInfo::BottomMarginKey},
        {QStringLiteral("RightMargin"), PrintInfo::RightMarginKey},
        {QStringLiteral("JobDisposition"), PrintInfo::JobDispositionKey},
        {QStringLiteral("JobSavingURL"), PrintInfo::JobSavingUrlKey},
        {QStringLiteral("PrinterName"), PrintInfo::PrinterNameKey},
        {QStringLiteral("Copies"), PrintInfo::CopiesKey},
    };
    return keys;
}

const QByteArray archiveMagic = QByteArrayLiteral("FoldwisePrintInfo ");
constexpr int archiveVersion = 1;

// Full precision, so that a size comes back exactly.
QString sizeText(const QSizeF &size)
{
    return QStringLiteral("{%1, %2}").arg(QString::number(size.width(), 'g', 17), QString::number(size.height(), 'g', 17));
}

} // namespace

std::optional<QSizeF> PrintInfo::sizeOfPaperNamed(const QString &name)
{
    const std::optional<QPageSize> paper = paperWithKey(name);
    return paper ? std::optional<QSizeF>(pointsOf(*paper)) : std::nullopt;
}

PrintInfo::PrintInfo()
{
    const QPageSize paper = localePaper();
    m_paperName = paper.key();
    setPaperSize(pointsOf(paper));
}

QVariantMap PrintInfo::withCurrentKeys(const QVariantMap &dictionary)
{
    QVariantMap current = dictionary;
    for (const auto &[earlier, now] : earlierKeys()) {
        if (!current.contains(earlier))
            continue;
        QVariant value = current.take(earlier);
        if (now == JobDispositionKey && isText(value)) {
            const QString text = value.toString();
            value = text == QLatin1String("save") ? SaveJob : text == QLatin1String("spool") ? SpoolJob : text;
        }
        if (!current.contains(now))
            current.insert(now, value);
    }
    return current;
}

PrintInfo &PrintInfo::sharedPrintInfo()
{
    static PrintInfo shared;
    return shared;
}

std::optional<PrintInfo> PrintInfo::fromDictionary(const QVariantMap &dictionary)
{
    PrintInfo info;
    const QVariantMap current = withCurrentKeys(dictionary);
    if (!current.contains(PaperSizeKey) && isText(current.value(PaperNameKey))) {
        if (const std::optional<QSizeF> named = sizeOfPaperNamed(current.value(PaperNameKey).toString()))
            info.setPaperSize(*named);
    }
    // The size first, so that an orientation given with it turns it.
    QStringList keys = current.keys();
    if (keys.removeOne(PaperSizeKey))
        keys.prepend(PaperSizeKey);
    for (const QString &key : keys) {
        if (!apply(info, key, current.value(key))) {
            logError(QStringLiteral("Could not make a print info: \"%1\" holds no fitting value").arg(key));
            return std::nullopt;
        }
    }
    return info;
}

QVariantMap PrintInfo::dictionary() const
{
    QString duplexName;
    for (const auto &[duplex, name] : duplexNames()) {
        if (duplex == m_duplex)
            duplexName = name;
    }
    return {
        {PaperNameKey, m_paperName},
        {PaperSizeKey, m_paperSize},
        {OrientationKey, int(m_orientation)},
        {ScalingFactorKey, m_scalingFactor},
        {TopMarginKey, m_topMargin},
        {LeftMarginKey, m_leftMargin},
        {BottomMarginKey, m_bottomMargin},
        {RightMarginKey, m_rightMargin},
        {JobDispositionKey, m_jobDisposition == JobDisposition::Save ? SaveJob : SpoolJob},
        {JobSavingUrlKey, m_jobSavingUrl},
        {PrinterNameKey, m_printerName},
        {CopiesKey, m_copies},
        {DuplexKey, duplexName},
    };
}

QByteArray PrintInfo::archivedData() const
{
    QVariantMap plist = dictionary();
    plist.insert(PaperSizeKey, sizeText(m_paperSize));
    if (m_jobSavingUrl.isEmpty())
        plist.remove(JobSavingUrlKey);
    else
        plist.insert(JobSavingUrlKey, m_jobSavingUrl.toString(QUrl::FullyEncoded));
    return archiveMagic + QByteArray::number(archiveVersion) + '\n' + PropertyList::toXml(plist);
}

std::optional<PrintInfo> PrintInfo::fromArchivedData(const QByteArray &data)
{
    const qsizetype lineEnd = data.indexOf('\n');
    if (!data.startsWith(archiveMagic) || lineEnd < 0) {
        logError(QStringLiteral("Could not read a print info: the data is no archived print info"));
        return std::nullopt;
    }
    bool isNumber = false;
    const int version = data.mid(archiveMagic.size(), lineEnd - archiveMagic.size()).toInt(&isNumber);
    if (!isNumber || version != archiveVersion) {
        logError(QStringLiteral("Could not read a print info: its archive version \"%1\" is not known")
                     .arg(QString::fromUtf8(data.mid(archiveMagic.size(), lineEnd - archiveMagic.size()).left(20))));
        return std::nullopt;
    }
    QString error;
    const QVariant plist = PropertyList::fromData(data.mid(lineEnd + 1), &error);
    if (plist.typeId() != QMetaType::QVariantMap) {
        logError(QStringLiteral("Could not read a print info: its dictionary is damaged, because %1")
                     .arg(plist.isValid() ? QStringLiteral("it is no dictionary") : error));
        return std::nullopt;
    }
    return fromDictionary(plist.toMap());
}

QString PrintInfo::paperName() const { return m_paperName; }

void PrintInfo::setPaperName(const QString &name) { m_paperName = name; }

QString PrintInfo::localizedPaperName() const
{
    const std::optional<QPageSize> paper = paperWithKey(m_paperName);
    return paper ? paper->name() : m_paperName;
}

QSizeF PrintInfo::paperSize() const { return m_paperSize; }

void PrintInfo::setPaperSize(const QSizeF &size)
{
    m_paperSize = size;
    if (size.width() > size.height())
        m_orientation = Orientation::Landscape;
    else if (size.width() < size.height())
        m_orientation = Orientation::Portrait;
}

PrintInfo::Orientation PrintInfo::orientation() const { return m_orientation; }

void PrintInfo::setOrientation(Orientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    m_paperSize.transpose();
}

double PrintInfo::topMargin() const { return m_topMargin; }

void PrintInfo::setTopMargin(double margin) { m_topMargin = margin; }

double PrintInfo::leftMargin() const { return m_leftMargin; }

void PrintInfo::setLeftMargin(double margin) { m_leftMargin = margin; }

double PrintInfo::bottomMargin() const { return m_bottomMargin; }

void PrintInfo::setBottomMargin(double margin) { m_bottomMargin = margin; }

double PrintInfo::rightMargin() const { return m_rightMargin; }

void PrintInfo::setRightMargin(double margin) { m_rightMargin = margin; }

PrintInfo::JobDisposition PrintInfo::jobDisposition() const { return m_jobDisposition; }

void PrintInfo::setJobDisposition(JobDisposition disposition) { m_jobDisposition = disposition; }

QUrl PrintInfo::jobSavingUrl() const { return m_jobSavingUrl; }

void PrintInfo::setJobSavingUrl(const QUrl &url) { m_jobSavingUrl = url; }

QString PrintInfo::printerName() const { return m_printerName; }

void PrintInfo::setPrinterName(const QString &name) { m_printerName = name; }

bool PrintInfo::setPrinterNamed(const QString &name)
{
    if (name.isEmpty()) {
        logError(QStringLiteral("No printer name was given"));
        return false;
    }
    const PrinterCache *cache = PrinterCache::shared();
    const QString queue = cache->isLoaded() ? cache->printerNamed(name) : name;
    if (queue.isEmpty()) {
        logError(QStringLiteral("Printer \"%1\" was not found").arg(name));
        return false;
    }
    m_printerName = queue;
    return true;
}

int PrintInfo::copies() const { return m_copies; }

void PrintInfo::setCopies(int copies) { m_copies = std::max(1, copies); }

PrintInfo::Duplex PrintInfo::duplex() const { return m_duplex; }

void PrintInfo::setDuplex(Duplex duplex) { m_duplex = duplex; }

double PrintInfo::scalingFactor() const { return m_scalingFactor; }

void PrintInfo::setScalingFactor(double factor) { m_scalingFactor = factor; }

} // namespace platform
