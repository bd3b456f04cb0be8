#pragma once

#include "platform/foundation/WeakDelegate.h"
#include "platform/ui/View.h"

#include <QImage>
#include <QTimer>

class QSButton;
class QSDragButton;
class QSRowView;
class QSTextField;

// What a header row reports; every message is optional.
class QSRowViewDelegate
{
public:
    virtual ~QSRowViewDelegate() = default;
    virtual void rowWasClicked(QSRowView *) {}
    // True when the delegate took the new title; otherwise the row keeps it itself.
    virtual bool rowChangedTitle(QSRowView *, const QString &) { return false; }
    virtual void rowChangedHover(QSRowView *, bool) {}
};

// The 58-point header of an openable list row: icon, title and subtitle, and remove, drag and
// mark buttons that show while the row is active or hovered (in the active window only). A click on an editable title waits
// half the double-click interval, so that a double click can edit the title in place instead.
// Light or dark look; left- or right-aligned layout. Main thread.
class QSRowView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(QString subtitle READ subtitle WRITE setSubtitle)
    Q_PROPERTY(bool editable READ editable WRITE setEditable)
    Q_PROPERTY(bool darkLook READ darkLook WRITE setDarkLook)
    Q_PROPERTY(bool isActive READ isActive WRITE setIsActive)
    Q_PROPERTY(bool hoverable READ hoverable WRITE setHoverable)
    Q_PROPERTY(bool isEditing READ isEditing)

public:
    explicit QSRowView(QWidget *parent = nullptr);
    explicit QSRowView(bool rightAligned, QWidget *parent = nullptr);
    ~QSRowView() override;

    QString title() const;
    void setTitle(const QString &title);
    QString subtitle() const;
    void setSubtitle(const QString &subtitle);
    QImage icon() const;
    void setIcon(const QImage &icon);

    bool isActive() const;
    // Ends an edit in progress first.
    void setIsActive(bool active);
    bool darkLook() const;
    void setDarkLook(bool dark);
    bool rightAligned() const;
    bool deletable() const;
    void setDeletable(bool deletable);
    bool draggable() const;
    void setDraggable(bool draggable);
    bool markable() const;
    void setMarkable(bool markable);
    bool isMarked() const;
    void setIsMarked(bool marked);
    bool showElements() const;
    void setShowElements(bool show);
    bool editable() const;
    void setEditable(bool editable);
    bool hoverable() const;
    void setHoverable(bool hoverable);
    bool isHovered() const;
    bool isEditing() const;

    QSButton *removeButton() const;
    QSDragButton *dragButton() const;
    QSButton *markButton() const;
    QSTextField *editor() const;
    QRectF titleRect() const;
    QSRowViewDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSRowViewDelegate> delegate);

    // How long row buttons take to fade: 2.5 s while Shift alone is held, for inspection, else
    // the platform's default animation duration.
    static double elementFadeDuration();

    void drawRect(const QRectF &dirtyRect) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;
    void updateTrackingAreas() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutTitle();
    // Framed for the size the row has now; from then on their masks keep them in place.
    void placeButton(platform::View *button);
    void updateElementVisibility();
    void timedClick();
    void beginEditing();
    void endEditing();
    void cancelEditing();
    void changeHover(bool hovered);

    QSButton *m_removeButton = nullptr;
    QSDragButton *m_dragButton = nullptr;
    QSButton *m_markButton = nullptr;
    QSTextField *m_editor = nullptr;
    QImage m_icon;
    QString m_title, m_subtitle;
    bool m_isActive = false;
    bool m_rightAligned = false;
    bool m_isMarked = false;
    bool m_darkLook = false;
    bool m_showElements = false;
    bool m_editable = false;
    bool m_hoverable = false;
    bool m_isHovered = false;
    bool m_editing = false;
    int m_trackingArea = 0;
    QTimer m_clickTimer;
    QRectF m_titleRect;
    QRectF m_subtitleRect;
    platform::WeakDelegate<QSRowViewDelegate, QSRowView> m_delegate;
};
