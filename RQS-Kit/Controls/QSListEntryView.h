#pragma once

#include "RQS-Kit/Controls/QSListDelegates.h"
#include "platform/foundation/WeakDelegate.h"
#include "platform/ui/View.h"

#include <memory>

// A row of a list view: its title, the client's model object, the features it was made with, its
// selection and open state, and a detail container for the content view. Its buttons' actions go
// to the list. Open state: 0 closed, 1 opening (or peeking while hovered), 2 open, 3 closing,
// driven by the list's layout passes. Main thread.
class QSListEntryView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(int state READ state)
    Q_PROPERTY(bool selected READ selected)
    Q_PROPERTY(double preferredHeight READ preferredHeight)

public:
    enum Feature : quint64 {
        Removable = 0x1,
        Draggable = 0x2,
        Markable = 0x4,
        CopyPaste = 0x8,
        EditableTitle = 0x10,
        EnableBox = 0x20,
        DarkLook = 0x400,
    };

    explicit QSListEntryView(QWidget *parent = nullptr);
    explicit QSListEntryView(quint64 features, QWidget *parent = nullptr);

    quint64 features() const;
    platform::View *detailContainer() const;
    QSListEntryViewDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSListEntryViewDelegate> delegate);
    // The client's model object; the row shares its ownership.
    std::shared_ptr<QObject> context() const;
    void setContext(std::shared_ptr<QObject> context);

    QString title() const;
    // Names the row in logs: its class and address as Qt writes them, then its title.
    QString description() const;
    // Looked up in the strings table "Controls", the text being its own key.
    virtual void setTitle(const QString &title);
    int state() const;
    virtual void setState(int state);
    bool selected() const;
    virtual void setSelected(bool selected);
    bool isHovered() const;

    virtual double preferredHeight() const;
    // Around every layout pass of the list.
    void layoutWillChange();
    void layoutDidChange();
    // The row's content changed; only a selected row asks the list to lay out again.
    void needsUpdate(bool instant);

    // Targets of the row's buttons.
    Q_INVOKABLE void enableEntry(QObject *sender);
    Q_INVOKABLE void removeEntry(QObject *sender);
    Q_INVOKABLE void dragEntry(QObject *sender);
    Q_INVOKABLE void copyEntry(QObject *sender);
    Q_INVOKABLE void pasteEntry(QObject *sender);

protected:
    // Rows are never resized by anyone but their list; their parts follow them here.
    virtual void placeSubviews() {}
    void resizeEvent(QResizeEvent *event) override;
    void setHovered(bool hovered);

    quint64 m_features = 0;
    platform::View *m_detailContainer = nullptr;

private:
    platform::WeakDelegate<QSListEntryViewDelegate, QSListEntryView> m_delegate;
    std::shared_ptr<QObject> m_context;
    QString m_title;
    int m_state = 0;
    bool m_selected = false;
    bool m_hovered = false;
};
