#pragma once

#include <QRectF>
#include <QSizeF>

#include <optional>

class QSListEntryView;
class QSListView;

// What a row tells the list that holds it; the list answers all of it.
class QSListEntryViewDelegate
{
public:
    virtual ~QSListEntryViewDelegate() = default;
    virtual void listEntryWasClicked(QSListEntryView *entry) = 0;
    virtual void listEntryEnableDidChange(QSListEntryView *entry, bool enabled) = 0;
    virtual void listEntryNeedUpdate(QSListEntryView *entry, bool instantly) = 0;
    virtual void removeListEntry(QSListEntryView *entry) = 0;
    // by: the pointer's move since the last step, y-up; end: the button was released.
    virtual void dragListEntry(QSListEntryView *entry, QSizeF by, bool end) = 0;
    virtual void entryWillOpen(QSListEntryView *entry) = 0;
    virtual void entryDidOpen(QSListEntryView *entry) = 0;
    virtual void entryWillClose(QSListEntryView *entry) = 0;
    virtual void entryDidClose(QSListEntryView *entry) = 0;
    virtual void copyListEntry(QSListEntryView *entry) = 0;
    virtual void pasteListEntry(QSListEntryView *entry) = 0;
    virtual bool acceptPasteForListEntry(QSListEntryView *entry) = 0;
};

// The list's client. Every message is optional: the defaults are what a client that does not
// care would answer.
class QSListViewDelegate
{
public:
    virtual ~QSListViewDelegate() = default;
    virtual void listViewDidInsertEntry(QSListView *, QSListEntryView *, qsizetype) {}
    virtual void listViewDidRemoveEntry(QSListView *, QSListEntryView *) {}
    virtual void listViewDidMoveEntry(QSListView *, QSListEntryView *, qsizetype, qsizetype) {}
    virtual void listViewDidSelectEntry(QSListView *, QSListEntryView *) {}
    virtual void listViewEntryEnableDidChange(QSListView *, QSListEntryView *, bool) {}
    virtual bool listViewCanOpenEntry(QSListView *, QSListEntryView *) { return true; }
    virtual void listViewWillOpenEntry(QSListView *, QSListEntryView *) {}
    virtual void listViewDidOpenEntry(QSListView *, QSListEntryView *) {}
    virtual void listViewWillCloseEntry(QSListView *, QSListEntryView *) {}
    virtual void listViewDidCloseEntry(QSListView *, QSListEntryView *) {}
    virtual void copyListEntry(QSListEntryView *) {}
    virtual void pasteListEntry(QSListEntryView *) {}
    virtual bool acceptPasteForListEntry(QSListEntryView *) { return true; }
    // The selected row's frame in this pass and before it; the client may scroll it into view.
    virtual void listViewShouldShowFrame(QSListView *, QRectF, QRectF, bool) {}
    // The height the list is to take for the rows' needed height; none keeps the needed height.
    virtual std::optional<double> listViewWillResize(QSListView *, double) { return std::nullopt; }
    virtual void listViewWillDealloc(QSListView *) {}
};
