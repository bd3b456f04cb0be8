#pragma once

#include "app/shell/VXWelcomeWindow.h"
#include "RQS-Kit/Foundation/QSWindowController.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>

class AppDelegate;

// The welcome window (interface file "VXWelcomeWindowController"): open a file, start an empty
// document, show the batch factory, add the PDF Service, and whether it shows at start (its check
// box is bound to "ShowWelcomeAtStart"). Opening and starting close it first. GUI thread.
class VXWelcomeWindowController : public QSWindowController, public VXWelcomeWindow
{
    Q_OBJECT
    Q_PROPERTY(QLabel *versionTF MEMBER m_versionTF)
    Q_PROPERTY(QAbstractButton *checkbox READ checkbox WRITE setCheckbox)

public:
    explicit VXWelcomeWindowController(AppDelegate &delegate);

    platform::Window *welcomeWindow() override;

    // Whether the window shows at start: bound to "ShowWelcomeAtStart" in the interface file.
    QAbstractButton *checkbox() const;
    void setCheckbox(QAbstractButton *checkbox);

    Q_INVOKABLE void openPDFFile(QObject *sender);
    Q_INVOKABLE void newEmptyDocument(QObject *sender);
    // The welcome window stays open.
    Q_INVOKABLE void showBookletFactory(QObject *sender);
    Q_INVOKABLE void addPDFService(QObject *sender);

    void windowDidLoad() override;

private:
    AppDelegate &m_delegate;
    QLabel *m_versionTF = nullptr;
    QPointer<QAbstractButton> m_checkbox;
};
