#pragma once

#include "app/booklet/VXPage.h"
#include "app/booklet/VXOpenFailures.h"
#include "app/booklet/VXPagesControllerDelegate.h"
#include "platform/foundation/WeakDelegate.h"

#include <QAbstractListModel>
#include <QPointer>

#include <functional>

class QMimeData;
class VXPDFInputFilter;
class VXPagePreviewLoader;

namespace platform {
class UndoManager;
} // namespace platform

// The page list's model over the document's input filter: row 0 is the add-page button, row r
// shows page r - 1. Every insert and remove made here can be undone through the document's undo
// manager (and the undo redone) and posts "VXPageListChangedNotification" with the controller as
// object, so that the document refreshes its sheets.
//
// Dragged rows carry "VXPageIndexPasteboardType" (the rows, for reordering within this list) and
// "VXPagePasteboardType" (the pages archived, made only when another list asks for them, so that
// they move between documents). File lists, picture data and PDF data are taken as new pages;
// dropped files are read away from the GUI thread and their pages go in once read.
// Previews come from the render queue; asking for a row never draws one. A drop that changed the
// list tells the delegate. GUI thread.
class VXPagesController : public QAbstractListModel
{
    Q_OBJECT

public:
    static inline const QString PageListChangedNotification = QStringLiteral("VXPageListChangedNotification");
    static inline const QString PageIndexPasteboardType = QStringLiteral("VXPageIndexPasteboardType");
    static inline const QString PagePasteboardType = QStringLiteral("VXPagePasteboardType");

    // Width over height of the row's page; none for row 0.
    static constexpr int RatioRole = Qt::UserRole + 1;
    // Row 0's add-page button (a QWidget *), as the filter lists it; none for the other rows.
    static constexpr int AddButtonRole = Qt::UserRole + 2;

    // The filter and the undo manager belong to the document, which outlives the controller.
    VXPagesController(VXPDFInputFilter *content, platform::UndoManager *undoManager, QObject *parent = nullptr);
    ~VXPagesController() override;

    VXPagesControllerDelegate *delegate() const;
    void setDelegate(platform::Delegate<VXPagesControllerDelegate> delegate);
    // Hands the button to the filter, which lists it as row 0, and tells the views; false (logged)
    // for none.
    bool setAddButton(QWidget *button);

    VXPagePtr pageAtRow(int row) const;
    // -1 for a page not in the list.
    int rowForPage(const VXPage *page) const;

    // Rows ascending, each the row its page lands on. A row outside the list changes nothing
    // (logged). The undo step is named "AddPage" or "AddPages" unless an undo or redo is running.
    bool insertObject(const VXPagePtr &page, int row);
    bool insertObjects(const QList<VXPagePtr> &pages, const QList<int> &rows);
    // Row 0 and rows past the list are left out (logged). "RemovePage" or "RemovePages".
    bool removeObjectsAtArrangedObjectIndexes(QList<int> rows);
    // The pages go in at rows row, row + 1, … as one undo step named actionName; false for none.
    bool insertPagesAtRow(const QList<VXPagePtr> &pages, int row, const QString &actionName);
    // The rows land just above row, in their order, as one step "MovePage" or "MovePages"; a row
    // named more than once moves once.
    bool moveRows(const QList<int> &rows, int row);
    // A blank page of the first page's size at the top of the list, named "AddEmptyPage".
    bool addEmptyPage();
    // After the rows of a drag from this list were moved into another list: they go here.
    bool removeRowsMovedOut(const QMimeData *data);
    // The filter's pages were replaced behind the list's back (the document read its file again).
    void reload();

    // Reads the files' pages away from the GUI thread, as a document reads its file: every page
    // of a PDF, a picture as one page, none (logged) for a file that opens as neither. pagesRead
    // gets them file by file in the order given, with the files that gave none and the reason
    // opening them gives, on the GUI thread, unless the controller goes first.
    using PagesRead = std::function<void(const QList<QList<VXPagePtr>> &pagesByFile, const VXOpenFailures &refused)>;
    void readPagesOfURLs(const QList<QUrl> &urls, const PagesRead &pagesRead);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    // No drop above the add-page button; rows of this list anywhere else; otherwise only what
    // can become pages.
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    // Dropped files that became no pages, each with its reason.
    void filesRefused(const VXOpenFailures &refused);

private:
    void setActionName(const QString &name);
    void postChange();
    // Tells the delegate when the drop changed the list; answers changed.
    bool changedOrder(bool changed);
    int dropRow(int row, const QModelIndex &parent) const;
    bool isOwnDrag(const QMimeData *data) const;
    QList<VXPagePtr> pagesFromPasteboard(const QMimeData *data) const;
    void previewReady(VXPage *page);

    VXPDFInputFilter *m_content;
    QPointer<platform::UndoManager> m_undoManager;
    VXPagePreviewLoader *m_previews;
    platform::WeakDelegate<VXPagesControllerDelegate, VXPagesController> m_delegate;
    // What this list last handed to a drag, to tell its own rows from another list's.
    mutable QPointer<const QMimeData> m_outgoing;
};
