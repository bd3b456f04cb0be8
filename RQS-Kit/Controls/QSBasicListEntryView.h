#pragma once

#include "RQS-Kit/Controls/QSListEntryView.h"

#include <QMarginsF>
#include <QPointer>
#include <QTimer>

class QCheckBox;
class QSButton;
namespace platform {
class TakenViews;
}
class QSDragButton;

// A framed row with a title line and the small controls its features ask for (drag handle,
// remove button, enable box, copy and paste buttons); all but the box show only while the pointer
// is over the row in the active window. Its content view always shows under the title line. Main thread.
class QSBasicListEntryView : public QSListEntryView
{
    Q_OBJECT
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setIsEnabled)

public:
    explicit QSBasicListEntryView(QWidget *parent = nullptr);
    explicit QSBasicListEntryView(quint64 features, QWidget *parent = nullptr);

    QWidget *contentView() const;
    // The row parents it in its detail container. Answers the view it replaced, handed back (see
    // platform::TakenViews); nullptr when there was none, it is the same, or it went elsewhere.
    QWidget *setContentView(QWidget *view);
    QSDragButton *dragButton() const;
    QSButton *removeButton() const;
    QCheckBox *enabledBox() const;
    QSButton *entryCopyButton() const;
    QSButton *entryPasteButton() const;

    bool isEnabled() const;
    // The box shows the title, struck through while disabled.
    void setIsEnabled(bool enabled);
    void setTitle(const QString &title) override;

    double preferredHeight() const override;
    QRectF titleRect() const;

    void drawRect(const QRectF &dirtyRect) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;
    void updateTrackingAreas() override;

    Q_INVOKABLE void copyEntry(QObject *sender);

protected:
    void placeSubviews() override;

private:
    // Framed once for the size at creation; their masks keep them at the top right after that.
    void placeControls();
    void updateElementVisibility();
    void updateElementVisibilityTimed();
    void layoutTitle();

    platform::TakenViews *m_taken;
    QMarginsF m_padding{10.0, 0.0, 8.0, 0.0};
    QPointer<QWidget> m_contentView;
    QSDragButton *m_dragButton = nullptr;
    QSButton *m_removeButton = nullptr;
    QCheckBox *m_enabledBox = nullptr;
    QSButton *m_copyButton = nullptr;
    QSButton *m_pasteButton = nullptr;
    QTimer m_fadeTimer;
    int m_trackingArea = 0;
    QRectF m_titleRect;
    bool m_mouseInside = false;
    bool m_isEnabled = false;
};
