#include "app/window/VXPagesController.h"

#include "app/booklet/Document.h"
#include "app/booklet/VXDocumentReading.h"
#include "app/booklet/VXPDFInputFilter.h"
#include "app/window/VXPagePreviewLoader.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/ui/UndoManager.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

// Enough previews for several screens of rows, about 50 MB at most.
constexpr int keptPreviews = 200;

const QString tiffType = QStringLiteral("image/tiff");
const QString pdfType = QStringLiteral("application/pdf");

QByteArray archivedRows(const QList<int> &rows)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << rows;
    return bytes;
}

QList<int> unarchivedRows(const QByteArray &bytes)
{
    QDataStream stream(bytes);
    QList<int> rows;
    stream >> rows;
    return stream.status() == QDataStream::Ok ? rows : QList<int>();
}

// All of the pages or none, so that a move never leaves a page behind half-written.
QByteArray archivedPages(const QList<VXPagePtr> &pages)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << qint32(pages.size());
    for (const VXPagePtr &page : pages) {
        if (!page->encodeWithCoder(stream)) {
            platform::logError(QStringLiteral("Could not hand %1 pages to another document").arg(pages.size()));
            return QByteArray();
        }
    }
    return bytes;
}

QList<VXPagePtr> unarchivedPages(const QByteArray &bytes)
{
    QDataStream stream(bytes);
    qint32 count = 0;
    stream >> count;
    QList<VXPagePtr> pages;
    for (qint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        const VXPagePtr page = VXPage::pageWithCoder(stream);
        if (!page)
            return {};
        pages.append(page);
    }
    return pages;
}

bool isPdfURL(const QUrl &url) { return QFileInfo(url.toLocalFile()).suffix().toLower() == QLatin1String("pdf"); }

// The pages travel archived only when another list asks for them: a drag that stays in its own
// list, the usual case, never writes its pages.
class PageDragData : public QMimeData
{
public:
    PageDragData(const QList<VXPagePtr> &pages, const QList<int> &rows)
        : m_pages(pages)
    {
        setData(VXPagesController::PageIndexPasteboardType, archivedRows(rows));
    }

    QStringList formats() const override
    {
        return {VXPagesController::PageIndexPasteboardType, VXPagesController::PagePasteboardType};
    }

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override
    {
        if (mimeType != VXPagesController::PagePasteboardType)
            return QMimeData::retrieveData(mimeType, type);
        if (!m_archived) {
            m_archive = archivedPages(m_pages);
            m_archived = true;
        }
        return m_archive;
    }

private:
    QList<VXPagePtr> m_pages;
    mutable QByteArray m_archive;
    mutable bool m_archived = false;
};

} // namespace

VXPagesController::VXPagesController(VXPDFInputFilter *content, platform::UndoManager *undoManager, QObject *parent)
    : QAbstractListModel(parent), m_content(content), m_undoManager(undoManager),
      m_previews(new VXPagePreviewLoader(keptPreviews, this))
{
    connect(m_previews, &VXPagePreviewLoader::previewReady, this, &VXPagesController::previewReady);
}

VXPagesController::~VXPagesController() = default;

VXPagesControllerDelegate *VXPagesController::delegate() const { return m_delegate.get(); }

void VXPagesController::setDelegate(platform::Delegate<VXPagesControllerDelegate> delegate) { m_delegate.set(delegate); }

bool VXPagesController::setAddButton(QWidget *button)
{
    if (!m_content->setAddButton(button))
        return false;
    emit dataChanged(index(0), index(0), {AddButtonRole});
    return true;
}

VXPagePtr VXPagesController::pageAtRow(int row) const
{
    const QList<VXPagePtr> pages = m_content->allPages();
    return row >= 1 && row <= pages.size() ? pages.at(row - 1) : nullptr;
}

int VXPagesController::rowForPage(const VXPage *page) const
{
    const QList<VXPagePtr> pages = m_content->allPages();
    const auto found = std::find_if(pages.cbegin(), pages.cend(), [page](const VXPagePtr &each) { return each.get() == page; });
    return found == pages.cend() ? -1 : int(found - pages.cbegin()) + 1;
}

// ---- Editing

void VXPagesController::setActionName(const QString &name)
{
    if (m_undoManager && !m_undoManager->isUndoing() && !m_undoManager->isRedoing())
        m_undoManager->setActionName(rqs::localized(name));
}

void VXPagesController::reload()
{
    beginResetModel();
    endResetModel();
    postChange();
}

void VXPagesController::postChange()
{
    platform::NotificationCenter::defaultCenter()->post(PageListChangedNotification, this);
}

bool VXPagesController::insertObject(const VXPagePtr &page, int row)
{
    if (!insertObjects({page}, {row}))
        return false;
    setActionName(QStringLiteral("AddPage"));
    return true;
}

bool VXPagesController::insertObjects(const QList<VXPagePtr> &pages, const QList<int> &rows)
{
    const int count = rowCount();
    bool valid = !pages.isEmpty() && pages.size() == rows.size() && !pages.contains(nullptr);
    for (qsizetype i = 0; valid && i < rows.size(); ++i)
        valid = rows[i] >= 1 && rows[i] <= count + i && (i == 0 || rows[i] > rows[i - 1]);
    if (!valid) {
        platform::logWarning(QStringLiteral("Could not insert %1 pages into a list of %2 rows").arg(pages.size()).arg(count));
        return false;
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        beginInsertRows(QModelIndex(), rows[i], rows[i]);
        m_content->insertPage(pages[i], quint64(rows[i] - 1));
        endInsertRows();
    }
    if (m_undoManager)
        m_undoManager->registerUndo(this, [this, rows] { removeObjectsAtArrangedObjectIndexes(rows); });
    setActionName(pages.size() == 1 ? QStringLiteral("AddPage") : QStringLiteral("AddPages"));
    postChange();
    return true;
}

bool VXPagesController::removeObjectsAtArrangedObjectIndexes(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const int count = rowCount();
    if (rows.removeIf([count](int row) { return row < 1 || row >= count; }) > 0)
        platform::logWarning(QStringLiteral("Rows outside the %1 pages of the list were not removed").arg(count - 1));
    if (rows.isEmpty())
        return false;
    QList<VXPagePtr> pages;
    for (int row : std::as_const(rows))
        pages.append(pageAtRow(row));
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        beginRemoveRows(QModelIndex(), *row, *row);
        m_content->removePageAtIndex(quint64(*row - 1));
        endRemoveRows();
    }
    if (m_undoManager)
        m_undoManager->registerUndo(this, [this, pages, rows] { insertObjects(pages, rows); });
    setActionName(rows.size() < 2 ? QStringLiteral("RemovePage") : QStringLiteral("RemovePages"));
    postChange();
    return true;
}

bool VXPagesController::insertPagesAtRow(const QList<VXPagePtr> &pages, int row, const QString &actionName)
{
    QList<int> rows;
    for (qsizetype i = 0; i < pages.size(); ++i)
        rows.append(row + int(i));
    if (!insertObjects(pages, rows))
        return false;
    setActionName(actionName);
    return true;
}

bool VXPagesController::moveRows(const QList<int> &named, int row)
{
    // A row named twice moves once.
    QList<int> rows;
    for (int each : named) {
        if (!rows.contains(each))
            rows.append(each);
    }
    QList<VXPagePtr> pages;
    for (int each : rows) {
        if (const VXPagePtr page = pageAtRow(each))
            pages.append(page);
    }
    if (pages.size() != rows.size() || row < 1 || row > rowCount()) {
        platform::logWarning(QStringLiteral("Could not move rows to row %1 of a list of %2 rows").arg(row).arg(rowCount()));
        return false;
    }
    const int above = int(std::count_if(rows.cbegin(), rows.cend(), [row](int each) { return each < row; }));
    if (m_undoManager)
        m_undoManager->beginUndoGrouping();
    removeObjectsAtArrangedObjectIndexes(rows);
    const bool moved = insertPagesAtRow(pages, row - above, pages.size() == 1 ? QStringLiteral("MovePage") : QStringLiteral("MovePages"));
    if (m_undoManager)
        m_undoManager->endUndoGrouping();
    return moved;
}

bool VXPagesController::addEmptyPage()
{
    const VXPagePtr first = (*m_content)[0];
    const VXPagePtr page = first ? VXPage::pageWithSize(first->size()) : nullptr;
    return page && insertPagesAtRow({page}, 1, QStringLiteral("AddEmptyPage"));
}

bool VXPagesController::removeRowsMovedOut(const QMimeData *data)
{
    if (!data || !data->hasFormat(PageIndexPasteboardType))
        return false;
    return removeObjectsAtArrangedObjectIndexes(unarchivedRows(data->data(PageIndexPasteboardType)));
}

void VXPagesController::readPagesOfURLs(const QList<QUrl> &urls, const PagesRead &pagesRead)
{
    struct Reading
    {
        QList<QList<VXPagePtr>> pagesByFile;
        QStringList failures;
        qsizetype left;
    };
    const auto reading = std::make_shared<Reading>(Reading{QList<QList<VXPagePtr>>(urls.size()), QStringList(urls.size()), urls.size()});
    if (urls.isEmpty())
        pagesRead({}, {});
    for (qsizetype file = 0; file < urls.size(); ++file) {
        VXDocumentReading::start(urls.at(file), false, this, [reading, urls, file, pagesRead](Document::Contents contents) {
            reading->pagesByFile[file] = contents.pages();
            reading->failures[file] = contents.failureText();
            // A PDF read whole may hold no page at all.
            if (reading->failures.at(file).isEmpty() && reading->pagesByFile.at(file).isEmpty())
                reading->failures[file] = rqs::localized(QStringLiteral("AddPagesNoPagesText"));
            if (--reading->left > 0)
                return;
            VXOpenFailures refused;
            for (qsizetype each = 0; each < urls.size(); ++each) {
                if (!reading->failures.at(each).isEmpty())
                    refused.add(urls.at(each).toLocalFile(), reading->failures.at(each));
            }
            pagesRead(reading->pagesByFile, refused);
        });
    }
}

// ---- The list

int VXPagesController::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_content->allPages().size()) + 1;
}

QVariant VXPagesController::data(const QModelIndex &index, int role) const
{
    if (role == AddButtonRole) {
        const QList<VXPDFInputFilter::PageListEntry> rows = index.row() == 0 ? m_content->pages() : QList<VXPDFInputFilter::PageListEntry>();
        QWidget *const *button = rows.isEmpty() ? nullptr : std::get_if<QWidget *>(&rows.first());
        return button ? QVariant::fromValue(*button) : QVariant();
    }
    const VXPagePtr page = pageAtRow(index.row());
    if (!page)
        return QVariant();
    if (role == RatioRole)
        return page->ratio();
    if (role == Qt::DecorationRole)
        return m_previews->previewForPage(page);
    return QVariant();
}

Qt::ItemFlags VXPagesController::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    if (index.row() == 0)
        return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

void VXPagesController::previewReady(VXPage *page)
{
    const int row = rowForPage(page);
    if (row >= 1)
        emit dataChanged(index(row), index(row), {Qt::DecorationRole});
}

// ---- Dragging

Qt::DropActions VXPagesController::supportedDragActions() const { return Qt::MoveAction | Qt::CopyAction; }

Qt::DropActions VXPagesController::supportedDropActions() const { return Qt::MoveAction | Qt::CopyAction; }

QStringList VXPagesController::mimeTypes() const
{
    return {PageIndexPasteboardType, PagePasteboardType, QStringLiteral("text/uri-list"), tiffType, pdfType};
}

QMimeData *VXPagesController::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &each : indexes) {
        if (pageAtRow(each.row()))
            rows.append(each.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return nullptr;
    QList<VXPagePtr> pages;
    for (int row : std::as_const(rows))
        pages.append(pageAtRow(row));
    auto *data = new PageDragData(pages, rows);
    m_outgoing = data;
    return data;
}

bool VXPagesController::isOwnDrag(const QMimeData *data) const
{
    return data && data == m_outgoing && data->hasFormat(PageIndexPasteboardType);
}

int VXPagesController::dropRow(int row, const QModelIndex &parent) const
{
    if (row >= 0)
        return row;
    return parent.isValid() ? parent.row() : rowCount();
}

bool VXPagesController::canDropMimeData(const QMimeData *data, Qt::DropAction, int row, int, const QModelIndex &parent) const
{
    if (!data || dropRow(row, parent) <= 0)
        return false;
    if (isOwnDrag(data) || data->hasFormat(PagePasteboardType) || data->hasFormat(tiffType)
        || data->hasFormat(pdfType) || data->hasImage())
        return true;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.cbegin(), urls.cend(), [](const QUrl &url) {
        return url.isLocalFile() && (isPdfURL(url) || Document::isPictureFile(url.toLocalFile()));
    });
}

bool VXPagesController::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column, const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    const int at = dropRow(row, parent);
    if (isOwnDrag(data))
        return changedOrder(moveRows(unarchivedRows(data->data(PageIndexPasteboardType)), at));
    const auto insert = [this](const QList<VXPagePtr> &pages, int row) {
        return changedOrder(insertPagesAtRow(pages, row, pages.size() == 1 ? QStringLiteral("AddPage") : QStringLiteral("AddPages")));
    };
    if (data->hasFormat(PagePasteboardType))
        return insert(unarchivedPages(data->data(PagePasteboardType)), at);
    QList<QUrl> files = data->urls();
    files.removeIf([](const QUrl &url) { return !url.isLocalFile(); });
    // What the data holds besides the files, for when none of them opens; the data goes with the drop.
    const QList<VXPagePtr> held = pagesFromPasteboard(data);
    if (files.isEmpty())
        return insert(held, at);
    readPagesOfURLs(files, [this, insert, held, at](const QList<QList<VXPagePtr>> &pagesByFile, const VXOpenFailures &refused) {
        QList<VXPagePtr> pages;
        for (const QList<VXPagePtr> &ofFile : pagesByFile)
            pages += ofFile;
        // The list may have shrunk while the files were read.
        insert(pages.isEmpty() ? held : pages, std::min(at, rowCount()));
        if (!refused.isEmpty())
            emit filesRefused(refused);
    });
    return true;
}

bool VXPagesController::changedOrder(bool changed)
{
    VXPagesControllerDelegate *told = changed ? m_delegate.get() : nullptr;
    if (told)
        told->pagesControllerChangedOrder(this);
    return changed;
}

// A picture the data holds, or the first page of the PDF it holds.
QList<VXPagePtr> VXPagesController::pagesFromPasteboard(const QMimeData *data) const
{
    VXPagePtr page;
    if (data->hasFormat(pdfType)) {
        const std::optional<platform::PdfDocument> pdf = platform::PdfDocument::fromData(data->data(pdfType), QStringLiteral("dropped PDF data"));
        const std::optional<platform::PdfPage> first = pdf ? pdf->page(0) : std::nullopt;
        if (first)
            page = VXPage::pageForPDFPage(*first);
    } else if (data->hasFormat(tiffType)) {
        page = VXPage::pageWithImage(data->data(tiffType));
    } else if (data->hasImage()) {
        page = VXPage::pageWithImage(qvariant_cast<QImage>(data->imageData()));
    }
    return page ? QList<VXPagePtr>{page} : QList<VXPagePtr>();
}
