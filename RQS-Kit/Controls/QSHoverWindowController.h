#pragma once

#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Foundation/QSWindowController.h"

#include <QLabel>
#include <QPointer>

// A borderless, transparent child window that repeats a picture of a view exactly over it and adds
// an information title and description below; it closes when the pointer leaves its track view.
// Its interface file holds the outlets imageView, trackView, titleTF and descriptionTF. On Wayland
// the window cannot be placed exactly; on X11 without a compositor it is an opaque panel. It never
// takes the keyboard from the view's window.
class QSHoverWindowController : public QSWindowController
{
    Q_OBJECT
    Q_PROPERTY(QSImageView *imageView MEMBER m_imageView)
    Q_PROPERTY(QWidget *trackView MEMBER m_trackView)
    Q_PROPERTY(QLabel *titleTF READ titleTF WRITE setTitleTF)
    Q_PROPERTY(QLabel *descriptionTF READ descriptionTF WRITE setDescriptionTF)

public:
    explicit QSHoverWindowController(QObject *parent = nullptr);

    void windowDidLoad() override;
    // Shows the window with the view's picture over the view; an open window glides there instead.
    void showWindow(QObject *sender, QWidget *view);
    Q_INVOKABLE void close(QObject *sender);
    // The description wraps at 200 points; the window's height follows it.
    void shrinkToFit();
    // Load the window first; nullptr when it cannot be loaded.
    QLabel *titleTF();
    void setTitleTF(QLabel *titleTF);
    QLabel *descriptionTF();
    void setDescriptionTF(QLabel *descriptionTF);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QSImageView> m_imageView;
    QPointer<QWidget> m_trackView;
    QPointer<QLabel> m_titleTF;
    QPointer<QLabel> m_descriptionTF;
    // The window the hover window was added to as a child.
    QPointer<platform::Window> m_parentWindow;
};
