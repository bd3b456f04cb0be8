#include "app/booklet/Document.h"

#include "app/booklet/VXBookletSettings.h"
#include "app/booklet/VXDocumentPrinter.h"
#include "app/booklet/VXFactory.h"
#include "app/booklet/VXHelpDescription.h"
#include "app/booklet/VXUnitConverter.h"
#include "RQS-Kit/Foundation/DictionaryExtension.h"
#include "RQS-Kit/Foundation/QSWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PictureFileReader.h"
#include "platform/foundation/Progress.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/ImageAllocationLimit.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PageLayoutPanel.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <new>

using platform::KeyValue::setValue;
using platform::PrintInfo;
using platform::UserDefaults;

namespace {

const QString PrintSettingsKey = QStringLiteral("printSettings");
const QString AutoPaperSizeKey = QStringLiteral("autoPaperSize");

// Custom papers are known by an identifier of five groups of capitals and digits.
const QRegularExpression &customPaperPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("[0-9A-Z]{4,}-[0-9A-Z]{4,}-[0-9A-Z]{4,}-[0-9A-Z]{4,}-[0-9A-Z]{4,}"));
    return pattern;
}

// A PDF says so in its first kilobyte; asking every picture format instead loads all of Qt's
// picture plugins.
bool isPdf(const QString &path)
{
    QFile file;
    return platform::RegularFile::open(file, path) && file.read(1024).contains("%PDF-");
}

// A name a picture format of Qt's ends in: the file is a picture, though one Qt cannot read.
bool namesPicture(const QString &path)
{
    return QImageReader::supportedImageFormats().contains(QFileInfo(path).suffix().toLower().toLatin1());
}

// The whole picture file, a block at a time, counted on the progress. A file that grows past the
// largest picture file while it is read is refused as one that was that large from the start.
Document::Contents::Failure readPicture(QFile &file, const QString &path, platform::Progress *progress, QByteArray &bytes)
{
    using Failure = Document::Contents::Failure;
    constexpr qint64 blockBytes = 1 << 20;
    const qint64 largest = platform::imageAllocationLimitBytes();
    if (progress)
        progress->setTotalUnitCount(file.size());
    while (!file.atEnd()) {
        if (progress && progress->isCancelled())
            return Failure::Cancelled;
        const QByteArray block = file.read(std::min(blockBytes, largest + 1 - bytes.size()));
        if (block.isEmpty())
            break;
        bytes += block;
        if (bytes.size() > largest)
            return Failure::TooLarge;
        if (progress)
            progress->addCompletedUnits(block.size());
    }
    // A read that failed ends the loop as the file's end does.
    if (file.error() != QFileDevice::NoError) {
        platform::logError(QStringLiteral("Could not read \"%1\": %2").arg(path, file.errorString()));
        return Failure::Unreadable;
    }
    return Failure::None;
}

// Document::readContents, which may throw.
Document::Contents readFile(const QString &path, bool shownPagesFirst, platform::Progress *progress)
{
    using Contents = Document::Contents;
    Contents contents;
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        platform::logError(QStringLiteral("Could not read \"%1\", because it is no readable file").arg(path));
        contents.failure = Contents::Failure::Unreadable;
        return contents;
    }
    if (Document::isPictureFile(path) || (!isPdf(path) && namesPicture(path))) {
        contents.type = Document::ImageType;
        // Qt decodes no picture that takes more memory than its allocation limit, nor one of more
        // bytes than an int counts: a picture file larger than that holds no picture to show.
        if (info.size() > platform::imageAllocationLimitBytes()) {
            platform::logError(QStringLiteral("Could not read \"%1\": a picture file of %2 bytes is larger than any picture that decodes")
                                   .arg(path)
                                   .arg(info.size()));
            contents.failure = Contents::Failure::TooLarge;
            return contents;
        }
        QFile file;
        if (QString reason; !platform::RegularFile::open(file, path, &reason)) {
            platform::logError(QStringLiteral("Could not read \"%1\": %2").arg(path, reason));
            contents.failure = Contents::Failure::Unreadable;
            return contents;
        }
        QByteArray bytes;
        contents.failure = readPicture(file, path, progress, bytes);
        if (contents.failure == Contents::Failure::TooLarge)
            platform::logError(QStringLiteral("Could not read \"%1\": it grew larger than any picture that decodes while it was read").arg(path));
        if (contents.failure != Contents::Failure::None)
            return contents;
        contents.picture = platform::PdfPage::fromEncodedImage(bytes, QStringLiteral("the picture \"%1\"").arg(path), &contents.oversized);
        if (!contents.picture)
            contents.failure = contents.oversized ? Contents::Failure::TooManyPixels : Contents::Failure::Damaged;
        return contents;
    }
    contents.type = Document::PdfType;
    contents.partly = shownPagesFirst;
    bool needsPassword = false;
    const auto reading = shownPagesFirst ? platform::PdfDocument::Reading::PagesWhenAsked : platform::PdfDocument::Reading::Whole;
    contents.pdf = platform::PdfDocument::open(path, &needsPassword, reading, progress);
    if (progress && progress->isCancelled()) {
        contents.pdf.reset();
        contents.failure = Contents::Failure::Cancelled;
    } else if (!contents.pdf) {
        contents.failure = needsPassword ? Contents::Failure::Password : Contents::Failure::Damaged;
    }
    return contents;
}

UserDefaults *defaults() { return UserDefaults::standardUserDefaults(); }

Document::SheetWindowFallback &sheetWindowFallback()
{
    static Document::SheetWindowFallback fallback;
    return fallback;
}

} // namespace

Document::Document(QObject *parent)
    : DocumentBase(parent)
    , m_printer(std::make_unique<VXDocumentPrinter>(*this))
{
    initialize();
    m_printInfo = PrintInfo::sharedPrintInfo();
    prepareFilters();
    prepareDefaults();
}

Document::~Document() = default;

void Document::initialize()
{
    static bool initialized = false;
    if (initialized)
        return;
    initialized = true;
    PrintInfo &shared = PrintInfo::sharedPrintInfo();
    shared.setOrientation(PrintInfo::Orientation::Landscape);
    defaults()->registerDefaults(VXBookletSettings::defaults(shared.archivedData()));
    VXHelpDescription::registerDefaults();
}

QString Document::typeForContentsOfURL(const QUrl &url)
{
    const QString path = url.toLocalFile();
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable()) {
        platform::logError(QStringLiteral("Could not get document type for %1, because it is no readable file").arg(url.toString()));
        return QString();
    }
    return isPictureFile(path) ? ImageType : PdfType;
}

bool Document::isPictureFile(const QString &path)
{
    if (isPdf(path))
        return false;
    platform::PictureFileReader picture(path);
    picture.reader().setDecideFormatFromContent(true);
    return picture.reader().canRead();
}

const QStringList &Document::printInfoKeys()
{
    static const QStringList keys{
        PrintInfo::PaperNameKey,    PrintInfo::PaperSizeKey, PrintInfo::OrientationKey,   PrintInfo::ScalingFactorKey,
        PrintInfo::PrinterNameKey,  PrintInfo::TopMarginKey, PrintInfo::BottomMarginKey, PrintInfo::LeftMarginKey,
        PrintInfo::RightMarginKey,
    };
    return keys;
}

void Document::prepareFilters()
{
    updateChain();
    setRasterizeDPI(300.0);
    const QList<std::pair<const char *, const char *>> numbers{
        {"x", "pageNumbersX"},
        {"y", "pageNumbersY"},
        {"fontName", "pageNumbersFontName"},
        {"fontSize", "pageNumbersFontSize"},
        {"firstPage", "pageNumbersFirst"},
        {"lastPage", "pageNumbersLast"},
        {"firstNo", "pageNumbersStart"},
    };
    for (const auto &[filterKey, documentKey] : numbers)
        platform::KeyValue::bind(&m_pageNumberFilter, QString::fromLatin1(filterKey), this, QString::fromLatin1(documentKey));
    setStaplesCount(m_staplesCount);
    pushSplitPages(m_splitIntoXPage);
    m_splitFilter.setAddEmptyPages(m_splitAddingEmpty);
    // The split controls move the filter; the document keeps what they chose as its setting.
    connect(&m_splitFilter, &VXSplitFilter::splitPagesChanged, this, [this](quint64 splitPages) {
        if (!m_pushingSplit)
            setValue(this, QStringLiteral("splitIntoXPage"), splitPages);
    });
    connect(&m_splitFilter, &VXSplitFilter::addEmptyPagesChanged, this, [this](bool addEmptyPages) {
        if (!m_pushingSplit)
            setValue(this, QStringLiteral("splitAddingEmpty"), addEmptyPages);
    });
}

void Document::announce(const char *key) { emit keyValueChanged(QString::fromLatin1(key)); }

// ---- Reading and writing

QString Document::Contents::failureText() const
{
    switch (failure) {
    case Failure::Unreadable:
        return rqs::localized(QStringLiteral("OpenFailedUnreadableText"));
    case Failure::Password:
        return rqs::localized(QStringLiteral("OpenFailedPasswordText"));
    case Failure::Damaged:
        return rqs::localized(QStringLiteral("OpenFailedContentsText"));
    case Failure::TooLarge:
        return rqs::localized(QStringLiteral("OpenFailedTooLargeText"))
            .arg(QLocale().formattedDataSize(platform::imageAllocationLimitBytes(), 0, QLocale::DataSizeTraditionalFormat));
    case Failure::TooManyPixels:
        return rqs::localized(QStringLiteral("OpenFailedTooManyPixelsText"))
            .arg(oversized ? oversized->pixels.width() : 0)
            .arg(oversized ? oversized->pixels.height() : 0)
            .arg(QLocale().formattedDataSize(oversized ? oversized->decodedBytes : 0, 0, QLocale::DataSizeTraditionalFormat),
                 QLocale().formattedDataSize(platform::imageAllocationLimitBytes(), 0, QLocale::DataSizeTraditionalFormat));
    case Failure::OutOfMemory:
        return rqs::localized(QStringLiteral("OpenFailedMemoryText"));
    case Failure::None:
    case Failure::Cancelled:
        break;
    }
    return {};
}

QList<VXPagePtr> Document::Contents::pages() const
{
    QList<VXPagePtr> pages;
    if (picture)
        pages.append(VXPage::pageForPDFPage(*picture));
    for (int i = 0; pdf && i < pdf->pageCount(); ++i)
        pages.append(VXPage::pageForPDFPage(*pdf->page(i)));
    return pages;
}

Document::Contents Document::readContents(const QString &path, bool shownPagesFirst, platform::Progress *progress)
{
    Contents failed;
    try {
        return readFile(path, shownPagesFirst, progress);
    } catch (const std::bad_alloc &) {
        platform::logError(QStringLiteral("Could not read \"%1\": there is not enough memory").arg(path));
        failed.failure = Contents::Failure::OutOfMemory;
    } catch (const std::exception &e) {
        platform::logError(QStringLiteral("Could not read \"%1\": %2").arg(path, QString::fromLocal8Bit(e.what())));
        failed.failure = Contents::Failure::Damaged;
    }
    return failed;
}

bool Document::openWithContents(const QUrl &url, Contents contents)
{
    if (contents.failure != Contents::Failure::None)
        return false;
    const QString type = contents.type;
    takeContents(url, std::move(contents));
    openedURL(url, type);
    return true;
}

bool Document::readFromURL(const QUrl &url, const QString &, QString *reason)
{
    Contents contents = readContents(url.toLocalFile(), m_readsShownPagesFirst);
    if (contents.failure != Contents::Failure::None) {
        if (reason)
            *reason = contents.failureText();
        return false;
    }
    takeContents(url, std::move(contents));
    return true;
}

void Document::takeContents(const QUrl &url, Contents contents)
{
    if (!VXPageNumberFilter::fontNamed(m_pageNumbersFontName, m_pageNumbersFontSize))
        platform::logWarning(QStringLiteral("The page numbers of \"%1\" are set in \"%2\", which is not installed; they are drawn in \"%3\"")
                                 .arg(QFileInfo(url.toLocalFile()).fileName(), m_pageNumbersFontName, pageNumbersDrawnFontName()));
    m_fileLoaded = false;
    m_partlyRead.reset();
    m_readDamage.clear();
    m_inputFilter.removeAllPages();
    for (const VXPagePtr &page : contents.pages())
        m_inputFilter.addPage(page);
    if (contents.pdf) {
        m_readDamage = contents.pdf->damage();
        if (contents.partly)
            m_partlyRead = std::move(contents.pdf);
    }
    m_fileLoaded = true;
    updatePaperSize();
    updatePages();
}

void Document::setReadsShownPagesFirst(bool shownPagesFirst) { m_readsShownPagesFirst = shownPagesFirst; }

bool Document::hasPagesToRead() const { return m_partlyRead.has_value(); }

void Document::readRemainingPages()
{
    if (!m_partlyRead)
        return;
    const bool read = m_partlyRead->readAllPages();
    m_readDamage = m_partlyRead->damage();
    m_partlyRead.reset();
    if (read)
        return;
    platform::logWarning(QStringLiteral("\"%1\" is read again whole, as its pages are not what its page tree said").arg(displayName()));
    const bool shownPagesFirst = std::exchange(m_readsShownPagesFirst, false);
    readFromURL(fileURL(), PdfType, nullptr);
    m_readsShownPagesFirst = shownPagesFirst;
}

bool Document::writeToURL(const QUrl &url, const QString &, QString *reason)
{
    readRemainingPages();
    return m_inputFilter.pdfDocument().write(url.toLocalFile(), reason);
}

QStringList Document::writableTypes() const { return {PdfType}; }

// ---- Settings

bool Document::autoPaperSize() const { return m_autoPaperSize; }

void Document::setAutoPaperSize(bool autoPaperSize)
{
    m_autoPaperSize = autoPaperSize;
    if (!autoPaperSize)
        applyPrintSettings();
    updatePaperSize();
    announce("autoPaperSize");
}

QVariant Document::printSettings() const { return m_printSettings; }

void Document::setPrintSettings(const QVariant &printSettings)
{
    m_printSettings = printSettings;
    applyPrintSettings();
    announce("printSettings");
}

double Document::zoom() const { return m_zoom; }

void Document::setZoom(double zoom)
{
    m_zoom = zoom;
    announce("zoom");
}

double Document::centerX() const { return m_center.x(); }

void Document::setCenterX(double centerX) { setCenter(QPointF(centerX, m_center.y())); }

double Document::centerY() const { return m_center.y(); }

void Document::setCenterY(double centerY) { setCenter(QPointF(m_center.x(), centerY)); }

bool Document::reverseOrder() const { return m_reverseOrder; }

void Document::setReverseOrder(bool reverseOrder)
{
    m_reverseOrder = reverseOrder;
    announce("reverseOrder");
    updateChain();
}

bool Document::straightOrder() const { return m_straightOrder; }

void Document::setStraightOrder(bool straightOrder)
{
    m_straightOrder = straightOrder;
    m_creepFilter.setStraightOrder(straightOrder);
    announce("straightOrder");
    updateChain();
}

bool Document::rotateLandscape() const { return m_rotateLandscape; }

void Document::setRotateLandscape(bool rotateLandscape)
{
    m_rotateLandscape = rotateLandscape;
    updatePrintViewOrientation();
    announce("rotateLandscape");
    updatePages();
}

bool Document::rotateLandscapeCW() const { return m_rotateLandscapeCW; }

void Document::setRotateLandscapeCW(bool rotateLandscapeCW)
{
    m_rotateLandscapeCW = rotateLandscapeCW;
    updatePrintViewOrientation();
    announce("rotateLandscapeCW");
}

// A window binds its page views to orientationForLandscape; the print view follows it from the
// start, so that documents without a window print their landscape pages turned too.
void Document::updatePrintViewOrientation() { m_printView.setOrientationForLandscape(orientationForLandscape()); }

bool Document::showPageNumbers() const { return m_showPageNumbers; }

void Document::setShowPageNumbers(bool showPageNumbers)
{
    m_showPageNumbers = showPageNumbers;
    announce("showPageNumbers");
    updateChain();
}

qint32 Document::pageNumbersFirst() const { return m_pageNumbersFirst; }

void Document::setPageNumbersFirst(qint32 pageNumbersFirst)
{
    m_pageNumbersFirst = pageNumbersFirst;
    announce("pageNumbersFirst");
}

qint32 Document::pageNumbersStart() const { return m_pageNumbersStart; }

void Document::setPageNumbersStart(qint32 pageNumbersStart)
{
    m_pageNumbersStart = pageNumbersStart;
    announce("pageNumbersStart");
}

qint32 Document::pageNumbersLast() const { return m_pageNumbersLast; }

void Document::setPageNumbersLast(qint32 pageNumbersLast)
{
    m_pageNumbersLast = pageNumbersLast;
    announce("pageNumbersLast");
}

QString Document::pageNumbersFontName() const { return m_pageNumbersFontName; }

void Document::setPageNumbersFontName(const QString &pageNumbersFontName)
{
    m_pageNumbersFontName = pageNumbersFontName;
    if (const std::optional<QFont> font = VXPageNumberFilter::fontNamed(pageNumbersFontName, m_pageNumberFilter.font().pointSizeF()))
        m_pageNumberFilter.setFont(*font);
    announce("pageNumbersFontName");
}

QString Document::pageNumbersDrawnFontName() const { return m_pageNumberFilter.drawnFontName(); }

double Document::pageNumbersFontSize() const { return m_pageNumbersFontSize; }

void Document::setPageNumbersFontSize(double pageNumbersFontSize)
{
    m_pageNumbersFontSize = pageNumbersFontSize;
    if (const std::optional<QFont> font = VXPageNumberFilter::fontNamed(m_pageNumberFilter.font().family(), pageNumbersFontSize))
        m_pageNumberFilter.setFont(*font);
    announce("pageNumbersFontSize");
}

double Document::pageNumbersX() const { return m_pageNumbersX; }

void Document::setPageNumbersX(double pageNumbersX)
{
    m_pageNumbersX = pageNumbersX;
    announce("pageNumbersX");
}

double Document::pageNumbersY() const { return m_pageNumbersY; }

void Document::setPageNumbersY(double pageNumbersY)
{
    m_pageNumbersY = pageNumbersY;
    announce("pageNumbersY");
}

bool Document::splitBooklet() const { return m_splitBooklet; }

void Document::setSplitBooklet(bool splitBooklet)
{
    m_splitBooklet = splitBooklet;
    announce("splitBooklet");
    updateChain();
}

quint64 Document::splitIntoXPage() const { return m_splitIntoXPage; }

void Document::setSplitIntoXPage(quint64 splitIntoXPage)
{
    m_splitIntoXPage = splitIntoXPage;
    pushSplitPages(splitIntoXPage);
    announce("splitIntoXPage");
}

// A booklet holds no more pages than the document; the setting keeps what was asked for, so
// that a longer document, or the next document of a batch, splits as the setting says.
void Document::pushSplitPages(quint64 splitPages)
{
    const QScopedValueRollback pushing(m_pushingSplit, true);
    m_splitFilter.setSplitPages(m_fileLoaded ? std::min(splitPages, m_inputFilter.count()) : splitPages);
}

bool Document::splitAddingEmpty() const { return m_splitAddingEmpty; }

void Document::setSplitAddingEmpty(bool splitAddingEmpty)
{
    m_splitAddingEmpty = splitAddingEmpty;
    {
        const QScopedValueRollback pushing(m_pushingSplit, true);
        m_splitFilter.setAddEmptyPages(splitAddingEmpty);
    }
    announce("splitAddingEmpty");
}

bool Document::creepCompensation() const { return m_creepCompensation; }

void Document::setCreepCompensation(bool creepCompensation)
{
    m_creepCompensation = creepCompensation;
    announce("creepCompensation");
    creepChanged();
}

qint32 Document::creepCompensationType() const { return m_creepCompensationType; }

void Document::setCreepCompensationType(qint32 creepCompensationType)
{
    m_creepCompensationType = creepCompensationType;
    const QList<double> &presets = VXBookletSettings::creepPresets();
    if (quint32(creepCompensationType) < quint32(presets.size()))
        setCreepCompensationMM(presets[creepCompensationType]);
    announce("creepCompensationType");
    creepChanged();
}

double Document::creepCompensationMM() const { return m_creepCompensationMM; }

void Document::setCreepCompensationMM(double creepCompensationMM)
{
    if (!VXBookletSettings::isUsableCreep(creepCompensationMM)) {
        refuseSetting(QStringLiteral("A paper thickness of %1 mm was refused; it stays %2 mm")
                          .arg(creepCompensationMM)
                          .arg(m_creepCompensationMM));
        return;
    }
    m_creepCompensationMM = creepCompensationMM;
    announce("creepCompensationMM");
    creepChanged();
}

bool Document::showStaples() const { return m_showStaples; }

void Document::setShowStaples(bool showStaples)
{
    m_showStaples = showStaples;
    announce("showStaples");
    updateChain();
}

double Document::staplesCount() const { return m_staplesCount; }

void Document::setStaplesCount(double staplesCount)
{
    const double maximum = double(VXStaplesFilter::MaximumNumberOfStaples);
    if (staplesCount > maximum) {
        platform::logWarning(QStringLiteral("%1 staples are more than a stapler holds; the count becomes %2").arg(staplesCount).arg(maximum));
        staplesCount = maximum;
    }
    m_staplesCount = staplesCount;
    // The filter counts whole staples; a count below one, or no number at all, shows none.
    m_staplesFilter.setNumberOfStaples(staplesCount >= 1 ? quint64(staplesCount) : 0);
    announce("staplesCount");
}

double Document::rasterizeDPI() const { return m_rasterizeDPI; }

void Document::setRasterizeDPI(double rasterizeDPI)
{
    m_rasterizeDPI = rasterizeDPI;
    announce("rasterizeDPI");
}

QPointF Document::center() const { return m_center; }

void Document::setCenter(const QPointF &center)
{
    const auto clamped = [](double value) { return std::isnan(value) ? 1.0 : std::clamp(value, -1.0, 1.0); };
    const QPointF stored(clamped(center.x()), clamped(center.y()));
    m_center = stored;
    announce("center");
    // Controls that set a coordinate out of range are told the clamped one once they are done.
    if (!(stored.x() == center.x() && stored.y() == center.y())) {
        const QPointer<Document> self(this);
        platform::MainQueue::post([self] {
            if (self)
                self->announce("center");
        });
    }
}

bool Document::creepCompensationIsManual() const
{
    return m_creepCompensation && quint32(m_creepCompensationType) >= quint32(VXBookletSettings::creepPresets().size());
}

qint32 Document::orientationForLandscape() const
{
    if (!m_rotateLandscape)
        return 0;
    return m_rotateLandscapeCW ? 3 : 1;
}

QImage Document::rotateLandscapeImage() const
{
    static const QImage clockwise = platform::Bundle::mainBundle()->imageNamed(QStringLiteral("LandscapeRotation-Clockwise"));
    static const QImage counterClockwise = platform::Bundle::mainBundle()->imageNamed(QStringLiteral("LandscapeRotation-CounterClockwise"));
    return m_rotateLandscapeCW ? clockwise : counterClockwise;
}

bool Document::activeSplitSettings() const { return m_splitBooklet && !m_straightOrder; }

// ---- Change tracking

bool Document::hasChanges() const { return m_hasChanges; }

void Document::setHasChanges(bool hasChanges)
{
    if (m_hasChanges == hasChanges)
        return;
    m_hasChanges = hasChanges;
    announce("hasChanges");
}

QVariantMap Document::lastDefaults() const { return m_lastDefaults; }

void Document::setLastDefaults(const QVariantMap &lastDefaults) { m_lastDefaults = lastDefaults; }

bool Document::setValueForKey(const QString &key, const QVariant &value)
{
    if (!VXBookletSettings::isSettingsKey(key))
        return platform::KeyValue::setPropertyValue(this, key, value);
    const std::optional<QVariant> accepted = VXBookletSettings::acceptedValue(key, value);
    if (!accepted) {
        platform::logWarning(QStringLiteral("Setting \"%1\" left as it was, because it takes no value of type %2")
                                 .arg(key, QString::fromLatin1(value.isValid() ? value.typeName() : "none")));
        return false;
    }
    if (VXBookletSettings::rangeOf(key) && !VXBookletSettings::sameValue(*accepted, value))
        platform::logWarning(QStringLiteral("Setting \"%1\" of %2 became %3, as its control allows")
                                 .arg(key, value.toString(), accepted->toString()));
    if (!platform::KeyValue::setPropertyValue(this, key, *accepted))
        return false;
    const QVariant now = platform::KeyValue::propertyValue(this, key);
    if (!VXBookletSettings::sameValue(asApplied(key, defaults()->objectForKey(key)), now))
        setHasChanges(true);
    else if (m_hasChanges)
        setHasChanges(hasChangesTo(m_lastDefaults));
    return true;
}

QVariantMap Document::settingsDictionary() const
{
    QVariantMap settings;
    for (const QString &key : VXBookletSettings::keys()) {
        const QVariant value = platform::KeyValue::propertyValue(const_cast<Document *>(this), key);
        if (value.isValid())
            settings.insert(key, value);
    }
    return settings;
}

bool Document::setSettingsDictionary(const std::optional<QVariantMap> &settings)
{
    m_refusedSetting = false;
    if (settings) {
        for (const QString &key : VXBookletSettings::keys()) {
            if (settings->contains(key))
                setValue(this, key, settings->value(key));
        }
        for (const QString &key : settings->keys()) {
            if (!VXBookletSettings::isSettingsKey(key))
                platform::logWarning(QStringLiteral("Setting \"%1\" ignored, because it is no booklet setting").arg(key));
        }
    }
    updateChain();
    return !m_refusedSetting;
}

void Document::refuseSetting(const QString &message)
{
    platform::logError(message);
    m_refusedSetting = true;
}

// A stored value beyond its control's range is the same as the value it becomes.
QVariant Document::asApplied(const QString &key, const QVariant &value)
{
    return VXBookletSettings::acceptedValue(key, value).value_or(value);
}

bool Document::hasChangesTo(const QVariantMap &settings) const
{
    for (const QString &key : VXBookletSettings::keys()) {
        if (!VXBookletSettings::sameValue(asApplied(key, settings.value(key)),
                                          platform::KeyValue::propertyValue(const_cast<Document *>(this), key)))
            return true;
    }
    return false;
}

bool Document::hasTaskChanges() const
{
    const std::optional<QVariantMap> taskSettings = m_controllingTask ? m_controllingTask->settings() : std::nullopt;
    return hasChangesTo(taskSettings ? *taskSettings : m_lastDefaults);
}

void Document::prepareDefaults()
{
    undoManager()->disableUndoRegistration();
    for (const QString &key : VXBookletSettings::keys())
        setValue(this, key, defaults()->objectForKey(key));
    m_lastDefaults = rqs::dictionaryWidthKeys(defaults()->dictionaryRepresentation(), VXBookletSettings::keys());
    setHasChanges(false);
    undoManager()->enableUndoRegistration();
}

void Document::saveDefaults(QObject *)
{
    const QVariantMap settings = settingsDictionary();
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        defaults()->setObject(it.value(), it.key());
    m_lastDefaults = rqs::dictionaryWidthKeys(defaults()->dictionaryRepresentation(), VXBookletSettings::keys());
    setHasChanges(false);
}

// ---- The batch factory

VXControllingTask *Document::controllingTask() const { return m_controllingTask; }

void Document::setControllingTask(VXControllingTask *task)
{
    m_controllingTask = task;
    platform::NotificationCenter::defaultCenter()->post(ConnectionRemovedNotification, this);
}

void Document::saveFactorySettings(QObject *)
{
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("SaveBatchSettingsTitle")));
    alert.setInformativeText(rqs::localized(QStringLiteral("SaveBatchSettingsText")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("SaveBatchThis")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("SaveBatchAll")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("SaveBatchNone")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Cancel")));
    const QPointer<Document> self(this);
    alert.beginSheetModalForWindow(windowForSheet(), [self](int returnCode) {
        if (self)
            self->batchSettingsSaveChosen(returnCode);
    });
}

void Document::batchSettingsSaveChosen(int returnCode)
{
    switch (returnCode) {
    case platform::Alert::FirstButtonReturn:
        if (m_controllingTask)
            m_controllingTask->setSettings(settingsDictionary(), false);
        break;
    case platform::Alert::FirstButtonReturn + 1:
        if (VXFactory *factory = VXFactory::sharedFactory())
            factory->setFactorySettings(settingsDictionary());
        else
            platform::logWarning(QStringLiteral("Could not share the settings, because there is no batch factory"));
        break;
    case platform::Alert::FirstButtonReturn + 2:
        break;
    default:
        return;
    }
    setControllingTask(nullptr);
    const QPointer<Document> self(this);
    platform::MainQueue::post([self] {
        if (self)
            self->performClose();
    });
}

void Document::canClose(Completion completion)
{
    if (m_controllingTask && hasTaskChanges()) {
        saveFactorySettings();
        if (completion)
            platform::MainQueue::post([completion] { completion(false); });
        return;
    }
    DocumentBase::canClose(std::move(completion));
}

void Document::close()
{
    platform::NotificationCenter::defaultCenter()->removeObserver(this);
    platform::NotificationCenter::distributedCenter()->removeObserver(this);
    emit closing();
    DocumentBase::close();
}

// ---- The window

void Document::setWindowController(std::unique_ptr<QSWindowController> windowController)
{
    m_windowController = std::move(windowController);
    if (m_windowController) {
        if (platform::Window *window = m_windowController->window())
            addWindow(window);
    }
}

QSWindowController *Document::windowController() const { return m_windowController.get(); }

void Document::showWindows()
{
    if (!m_windowController) {
        platform::logWarning(QStringLiteral("The document \"%1\" has no window to show").arg(displayName()));
        return;
    }
    m_windowController->showWindow(this);
    // A PDF without pages opens, but an empty window would not say why nothing shows.
    if (!fileURL().isEmpty() && m_inputFilter.allPages().isEmpty()) {
        platform::Alert alert;
        alert.setMessageText(rqs::localized(QStringLiteral("NoPagesTitle")));
        alert.setInformativeText(rqs::localized(QStringLiteral("NoPagesText")).replace(QLatin1String("%1"), displayName()));
        alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
        alert.beginSheetModalForWindow(documentWindow(), platform::Alert::Completion());
    }
}

platform::Window *Document::documentWindow() const
{
    return m_windowController && m_windowController->isLoaded() ? m_windowController->window() : nullptr;
}

platform::Window *Document::windowForSheet() const
{
    platform::Window *window = DocumentBase::windowForSheet();
    if (!window)
        window = documentWindow();
    if (!window && sheetWindowFallback())
        window = sheetWindowFallback()(this);
    if (window && !window->isVisible())
        window->makeKeyAndOrderFront(nullptr);
    return window;
}

void Document::setSheetWindowFallback(SheetWindowFallback fallback) { sheetWindowFallback() = std::move(fallback); }

// ---- The filter chain

VXPDFInputFilter *Document::inputFilter() { return &m_inputFilter; }

VXOutputFilter *Document::outputFilter() const { return m_outputFilter; }

VXSplitFilter *Document::splitFilter() { return &m_splitFilter; }

VXCreepFilter *Document::creepFilter() { return &m_creepFilter; }

VXStaplesFilter *Document::staplesFilter() { return &m_staplesFilter; }

VXPageNumberFilter *Document::pageNumberFilter() { return &m_pageNumberFilter; }

QList<VXDoublePageFilter *> Document::filters() const { return m_filters; }

VXBookletPrintView *Document::printView() { return &m_printView; }

bool Document::fileLoaded() const { return m_fileLoaded; }

QString Document::readDamage() const { return m_readDamage; }

void Document::updateChain(QObject *)
{
    VXFilter *source = &m_inputFilter;
    if (m_reverseOrder) {
        m_reverseFilter.setInput(&m_inputFilter);
        source = &m_reverseFilter;
    }
    m_outputFilter = activeSplitSettings() ? static_cast<VXOutputFilter *>(&m_splitFilter) : &m_creepFilter;
    m_splitFilter.setInput(source);
    m_outputFilter->setInput(source);

    m_filters.clear();
    if (m_showStaples)
        m_filters.append(&m_staplesFilter);
    if (m_showPageNumbers)
        m_filters.append(&m_pageNumberFilter);
    emit filtersChanged();
    updatePages();
}

void Document::creepChanged(QObject *)
{
    const double paperWidth = m_printInfo.paperSize().width();
    const double pageWidthMM = paperWidth / PointsPerMillimetre * 0.5;
    const double creep = m_creepCompensation && pageWidthMM > 0 ? m_creepCompensationMM / pageWidthMM : 0.0;
    m_creepFilter.setCreep(creep);
    m_splitFilter.setCreep(creep);
    updatePages();
}

void Document::updatePages(QObject *)
{
    if (m_fileLoaded)
        pushSplitPages(m_splitIntoXPage);
    emit pagesUpdated();
}

void Document::pagesControllerChangedOrder(VXPagesController *) { updatePages(); }

// ---- The paper

PrintInfo Document::printInfo() const { return m_printInfo; }

bool Document::setPrintInfo(const PrintInfo &printInfo)
{
    const QSizeF paper = printInfo.paperSize();
    if (!VXBookletSettings::isUsablePaperSize(paper)) {
        refuseSetting(QStringLiteral("A paper of %1 x %2 points was refused; sides from %3 to %4 points can be printed")
                          .arg(paper.width())
                          .arg(paper.height())
                          .arg(VXBookletSettings::MinimumPaperSide)
                          .arg(VXBookletSettings::MaximumPaperSide));
        return false;
    }
    m_printInfo = printInfo;
    creepChanged();
    updatePageInfo();
    return true;
}

void Document::applyPrintSettings()
{
    if (m_autoPaperSize || !m_printSettings.isValid())
        return;
    if (m_printSettings.typeId() == QMetaType::QByteArray) {
        if (const std::optional<PrintInfo> decoded = PrintInfo::fromArchivedData(m_printSettings.toByteArray()))
            setPrintInfo(*decoded);
        else
            m_refusedSetting = true;
        return;
    }
    if (m_printSettings.typeId() != QMetaType::QVariantMap) {
        platform::logWarning(QStringLiteral("Print settings of type %1 leave the paper as it was")
                                 .arg(QString::fromLatin1(m_printSettings.typeName())));
        return;
    }
    // The given keys over the current print info; what becomes of a job is never taken from
    // stored settings, so they cannot turn printing into writing a file somewhere.
    QVariantMap merged = m_printInfo.dictionary();
    const QVariantMap given = PrintInfo::withCurrentKeys(m_printSettings.toMap());
    QStringList ignored;
    for (auto it = given.cbegin(); it != given.cend(); ++it) {
        if (printInfoKeys().contains(it.key()))
            merged.insert(it.key(), it.value());
        else
            ignored << it.key();
    }
    // A paper given without its orientation lies as its size says.
    if (given.contains(PrintInfo::PaperSizeKey) && !given.contains(PrintInfo::OrientationKey))
        merged.remove(PrintInfo::OrientationKey);
    // A paper named without its size has the size of its name, lying as the paper did.
    if (!given.contains(PrintInfo::PaperSizeKey) && PrintInfo::sizeOfPaperNamed(given.value(PrintInfo::PaperNameKey).toString()))
        merged.remove(PrintInfo::PaperSizeKey);
    if (!ignored.isEmpty())
        platform::logWarning(QStringLiteral("Print settings \"%1\" ignored, because only paper and printer are taken from settings")
                                 .arg(ignored.join(QStringLiteral("\", \""))));
    if (const std::optional<PrintInfo> info = PrintInfo::fromDictionary(merged))
        setPrintInfo(*info);
    else
        m_refusedSetting = true; // logged by the print info
}

void Document::updatePrintSettings() { setValue(this, PrintSettingsKey, m_printInfo.archivedData()); }

void Document::updatePaperSize()
{
    if (!m_autoPaperSize || m_inputFilter.count() == 0)
        return;
    const QSizeF size = m_inputFilter[0]->size();
    if (size.isEmpty())
        return;
    PrintInfo info = m_printInfo;
    info.setPaperName(AutoPaperName);
    info.setPaperSize(QSizeF(2 * size.width(), size.height()));
    info.setLeftMargin(0);
    info.setRightMargin(0);
    info.setTopMargin(0);
    info.setBottomMargin(0);
    setPrintInfo(info);
}

void Document::updatePageInfo() { announce("visualPaperName"); }

QString Document::visualPaperName() const
{
    qsizetype matches = 0;
    for (auto it = customPaperPattern().globalMatch(m_printInfo.paperName()); it.hasNext(); it.next())
        ++matches;
    if (matches == 1)
        return QStringLiteral("%1%2").arg(rqs::localized(QStringLiteral("Paper Size: ")),
                                          VXUnitConverter::nameForSize(m_printInfo.paperSize()));
    return m_printInfo.localizedPaperName();
}

void Document::runPageLayout(QObject *)
{
    const QPointer<Document> self(this);
    platform::PageLayoutPanel::beginSheetWithPrintInfo(m_printInfo, windowForSheet(), [self](int result, const PrintInfo &edited) {
        if (!self || result != platform::PageLayoutPanel::OKButton)
            return;
        // OK on the paper as it was (to the rounding of Qt's fields, see PageLayoutPanel) changes
        // nothing, not even the form the settings are stored in.
        if (!self->m_autoPaperSize && edited == self->m_printInfo)
            return;
        // The automatic paper goes first, so that the stored paper it brings back does not
        // replace the layout just chosen.
        if (self->m_autoPaperSize)
            setValue(self, AutoPaperSizeKey, false);
        self->setPrintInfo(edited);
        self->updatePrintSettings();
    });
}

void Document::rotatePaper(QObject *)
{
    if (m_autoPaperSize)
        setValue(this, AutoPaperSizeKey, false);
    PrintInfo info = m_printInfo;
    info.setOrientation(info.orientation() == PrintInfo::Orientation::Landscape ? PrintInfo::Orientation::Portrait
                                                                               : PrintInfo::Orientation::Landscape);
    setPrintInfo(info);
    updatePrintSettings();
}

bool Document::useRasterization() const { return m_useRasterization; }

void Document::setUseRasterization(bool useRasterization)
{
    m_useRasterization = useRasterization;
    announce("useRasterization");
}

// ---- Printing and export

void Document::checkPrint(QObject *) { m_printer->checkPrint(); }

void Document::printOnPrinter(QObject *sender)
{
    if (sender)
        m_printer->printOnPrinter(sender->property("tag").toInt());
}

void Document::printDocument(QObject *) { m_printer->printDocument(); }

void Document::printManualDuplex(QObject *) { m_printer->printManualDuplex(); }

void Document::printAutomaticDuplex(const QString &printerName) { m_printer->printAutomaticDuplex(printerName); }

void Document::printManualDuplexWithPrinter(const QString &printerName) { m_printer->printManualDuplexWithPrinter(printerName); }

platform::PrintOperation Document::printOperationWithSettings(const QVariantMap &settings)
{
    return m_printer->printOperationWithSettings(settings);
}

void Document::updatePrintView(bool forExport) { m_printer->updatePrintView(forExport); }

bool Document::exportBookletToURL(const QUrl &url, QString *failure) { return m_printer->exportBookletToURL(url, failure); }

void Document::saveBooklet(QObject *) { m_printer->saveBooklet(); }

PrintInfo &Document::printInfo() { return m_printInfo; }

QAbstractButton *Document::printButton() const { return m_printer->printButton(); }

void Document::setPrintButton(QAbstractButton *button) { m_printer->setPrintButton(button); }

