#pragma once

#include "RQS-Kit/Controls/QSListEntryView.h"
#include "RQS-Kit/Controls/QSRowView.h"

#include <QPointer>

namespace platform {
class TakenViews;
}

// A row whose header is a row view; its content view shows only while the row is opening or
// open (selected), and its top 20 points while the header is hovered. Main thread.
class QSOpenableListEntryView : public QSListEntryView, public QSRowViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(QString subtitle READ subtitle WRITE setSubtitle)

public:
    explicit QSOpenableListEntryView(QWidget *parent = nullptr);
    explicit QSOpenableListEntryView(quint64 features, QWidget *parent = nullptr);
    QSOpenableListEntryView(bool rightAligned, quint64 features, QWidget *parent = nullptr);
    ~QSOpenableListEntryView() override;

    QSRowView *rowView() const;
    QWidget *contentView() const;
    // The row holds the view, without a parent while it is closed (deleting it with the row if it
    // still has none); it joins the detail container whenever the row is opening or open. Answers
    // the view it replaced, handed back (see platform::TakenViews); nullptr when there was none,
    // it is the same, or it went elsewhere.
    QWidget *setContentView(QWidget *view);
    QString subtitle() const;
    void setSubtitle(const QString &subtitle);
    QImage icon() const;
    void setIcon(const QImage &icon);

    void setTitle(const QString &title) override;
    void setState(int state) override;
    void setSelected(bool selected) override;
    double preferredHeight() const override;
    void updateTrackingAreas() override;
    // The content changed; a selected row asks the list to lay out again.
    void contentChanged(bool instant);

    void rowWasClicked(QSRowView *row) override;
    void rowChangedHover(QSRowView *row, bool hovered) override;

protected:
    void placeSubviews() override;

private:
    void showContent(bool shown);

    platform::TakenViews *m_taken;
    QSRowView *m_rowView = nullptr;
    QPointer<QWidget> m_contentView;
};
