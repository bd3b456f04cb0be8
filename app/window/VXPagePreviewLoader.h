#pragma once

#include "app/booklet/VXPage.h"

#include <QHash>
#include <QImage>
#include <QObject>

#include <list>
#include <memory>

// The previews of a page list, drawn on the render queue as rows come into sight, never on the
// GUI thread: a few at a time, the rows asked for last first, so that a fast scroll does not wait
// for the rows it passed. At most keptCount previews stay; the one unseen longest is dropped
// first and drawn again when its row comes back, so a long document does not keep every preview
// for ever. GUI thread.
class VXPagePreviewLoader : public QObject
{
    Q_OBJECT

public:
    explicit VXPagePreviewLoader(int keptCount, QObject *parent = nullptr);

    // The preview, or a null image while it is drawn; previewReady follows.
    QImage previewForPage(const VXPagePtr &page);
    int keptCount() const;

signals:
    void previewReady(VXPage *page);

private:
    using Weak = std::weak_ptr<VXPage>;
    // The address stays the key after the page has gone.
    using Kept = std::pair<const VXPage *, Weak>;

    void touch(const VXPagePtr &page);
    void startWaiting();
    void drawn(const Weak &page);

    int m_keptCount;
    // Most recently seen first.
    std::list<Kept> m_kept;
    QHash<const VXPage *, std::list<Kept>::iterator> m_keptIndex;
    // Asked for last at the back.
    QList<Weak> m_waiting;
    int m_running = 0;
};
