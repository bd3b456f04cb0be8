#pragma once

#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSNoteControllerDelegate.h"
#include "RQS-Kit/Foundation/QSWindowController.h"
#include "platform/foundation/WeakDelegate.h"

#include <QLabel>
#include <QPointer>
#include <QTextBrowser>

// A small note with a title, a text and up to four buttons, standing on the top edge of a parent
// window at a fraction of its width, above it, and following it as it is resized. Any of the
// buttons closes the note and tells the delegate which one it was. The interface file supplies
// the window and the outlets; each button's action is buttonPressed. Main thread only.
class QSNoteController : public QSWindowController
{
    Q_OBJECT
    Q_PROPERTY(QLabel *titleTF READ titleTF WRITE setTitleTF)
    Q_PROPERTY(QTextBrowser *textView READ textView WRITE setTextView)
    Q_PROPERTY(QSButton *closeButton READ closeButton WRITE setCloseButton)
    Q_PROPERTY(QSButton *cancelButton READ cancelButton WRITE setCancelButton)
    Q_PROPERTY(QSButton *otherButton READ otherButton WRITE setOtherButton)
    Q_PROPERTY(QSButton *approveButton READ approveButton WRITE setApproveButton)

public:
    explicit QSNoteController(QObject *parent = nullptr);

    // Sizes the window to the buttons' and the title's natural sizes and to the height of the
    // text, which is kept between 50 and 300 points; at least 350 points wide.
    void adjustWindowSize();
    // The window is see-through, without a frame: the interface file draws its background. The
    // text runs from edge to edge of its view.
    void windowDidLoad() override;
    // Without a window the note lets go of its text view too.
    void setWindow(platform::Window *window) override;
    // Places the note on the parent's top edge at locationFix of its width.
    void positionOnWindow(platform::Window *parent);
    // Shows the note on the parent at the fraction of its width; a note that is already on a
    // window, or whose window does not load, stays where it is.
    void attachToWindow(platform::Window *parent, double location);
    // Tells the delegate, takes the note off its parent and closes it.
    Q_INVOKABLE virtual void buttonPressed(QObject *button);
    // The note's own window or its parent's is closing: the note goes with its parent and leaves it.
    // There is no windowDidClose for notes.
    void windowWillClose(const platform::Notification &notification) override;

    double locationFix() const;
    platform::Window *parentWindow() const;
    // A QObject (nothing else compiles), held weakly: a delegate that is destroyed is no longer told.
    QSNoteControllerDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSNoteControllerDelegate> delegate);

    QLabel *titleTF() const;
    void setTitleTF(QLabel *titleTF);
    QTextBrowser *textView() const;
    void setTextView(QTextBrowser *textView);
    QSButton *closeButton() const;
    void setCloseButton(QSButton *button);
    QSButton *cancelButton() const;
    void setCancelButton(QSButton *button);
    QSButton *otherButton() const;
    void setOtherButton(QSButton *button);
    QSButton *approveButton() const;
    void setApproveButton(QSButton *button);

private:
    void detachFromParent();

    double m_locationFix = 0;
    QPointer<platform::Window> m_parentWindow;
    platform::WeakDelegate<QSNoteControllerDelegate, QSNoteController> m_delegate;
    QPointer<QLabel> m_titleTF;
    QPointer<QTextBrowser> m_textView;
    QPointer<QSButton> m_closeButton;
    QPointer<QSButton> m_cancelButton;
    QPointer<QSButton> m_otherButton;
    QPointer<QSButton> m_approveButton;
};
