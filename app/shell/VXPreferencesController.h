#pragma once

#include "app/printing/VXPreferencesWindow.h"
#include "app/shell/VXDuplexAnimationView.h"
#include "RQS-Kit/Foundation/QSWindowController.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <QString>

// The preferences: for the printer chosen in its pop-up, the printer's type, whether its manual
// duplex was set up, and the three manual duplex answers, each control bound to the printer's
// user default ("values.<printer>.<key>") so that edits land under that printer and nowhere else.
// A name that no printer has (none at all, or one that went) is shown but not bound: its controls
// are hidden and nothing is stored for it. The type of the printer shown decides which of "Print"
// and "Print Manual Duplex" has the plain shortcut in every window; from start-up that printer is
// the current one. Below them one box for all printers, "explainBindingCheckbox", shows and sets
// whether the binding is explained before an automatic duplex print (the user default
// "AutoShow-FAQ-UpsideDownPrint", bound in the interface file); loading the window writes nothing.
// Main thread.
class VXPreferencesController : public QSWindowController, public VXPreferencesWindow
{
    Q_OBJECT
    Q_PROPERTY(QString defaultPrinter READ defaultPrinter WRITE setDefaultPrinter)
    Q_PROPERTY(qint64 printerType READ printerType WRITE setPrinterType NOTIFY printerTypeChanged)
    Q_PROPERTY(bool didSetup READ didSetup WRITE setDidSetup)
    Q_PROPERTY(bool rotateBacksides READ rotateBacksides WRITE setRotateBacksides NOTIFY rotateBacksidesChanged)
    Q_PROPERTY(QString correctSidedBinding READ correctSidedBinding)
    Q_PROPERTY(QString wrongSidedBinding READ wrongSidedBinding)
    Q_PROPERTY(QString bindingTitle READ bindingTitle)
    Q_PROPERTY(QString correctBindingText READ correctBindingText)
    Q_PROPERTY(QString wrongBindingText READ wrongBindingText)
    Q_CLASSINFO("dependsOn:correctSidedBinding", "rotateBacksides")
    Q_CLASSINFO("dependsOn:wrongSidedBinding", "rotateBacksides")
    Q_CLASSINFO("dependsOn:bindingTitle", "correctSidedBinding")
    Q_CLASSINFO("dependsOn:correctBindingText", "correctSidedBinding")
    Q_CLASSINFO("dependsOn:wrongBindingText", "wrongSidedBinding")
    Q_PROPERTY(QComboBox *printersButton MEMBER m_printersButton)
    Q_PROPERTY(QComboBox *printerTypeButton MEMBER m_printerTypeButton)
    Q_PROPERTY(QAbstractButton *facingCheckbox MEMBER m_facingCheckbox)
    Q_PROPERTY(QAbstractButton *rotateCheckbox MEMBER m_rotateCheckbox)
    Q_PROPERTY(QAbstractButton *reverseCheckbox MEMBER m_reverseCheckbox)
    Q_PROPERTY(QAbstractButton *rotateDuplexCheckbox MEMBER m_rotateDuplexCheckbox)
    Q_PROPERTY(QLabel *didSetupImageView MEMBER m_didSetupImageView)
    Q_PROPERTY(VXDuplexAnimationView *animatedDuplexImageView MEMBER m_animatedDuplexImageView)
    Q_PROPERTY(QStackedWidget *duplexTabView MEMBER m_duplexTabView)

public:
    // Follows the current printer's type from the printer list's first answer on.
    explicit VXPreferencesController(QObject *parent = nullptr);
    ~VXPreferencesController() override;

    // The one made by the application; null before.
    static VXPreferencesController *sharedController();

    using QSWindowController::showWindow;
    void showWindow() override;
    void windowDidLoad() override;
    // Stops the animation; the window stays loaded.
    void windowWillClose(const platform::Notification &notification) override;

    QString defaultPrinter() const;
    void setDefaultPrinter(const QString &printerName);
    qint64 printerType() const;
    // 1 gives "Print" the plain shortcut, 2 "Print Manual Duplex"; others leave them. Posts
    // "ChangedPrinterType" in every case.
    void setPrinterType(qint64 type);
    bool didSetup() const;
    void setDidSetup(bool didSetup);
    bool rotateBacksides() const;
    void setRotateBacksides(bool rotate);

    QString correctSidedBinding() const;
    QString wrongSidedBinding() const;
    QString bindingTitle() const;
    QString correctBindingText() const;
    QString wrongBindingText() const;

    // The printer pop-up's choice.
    Q_INVOKABLE void choosePrinter(QObject *sender);
    // The set-up wizard on the printer shown.
    Q_INVOKABLE void manualDuplexSetup(QObject *sender);
    void printersDidChange();

signals:
    void printerTypeChanged();
    void rotateBacksidesChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bindControl(QObject *control, const QString &controlKey, const QString &printer, const QString &key, bool twoWay);
    void unbindAll();
    void applyPrintShortcuts(QWidget *window) const;

    QString m_defaultPrinter;
    qint64 m_printerType = 0;
    bool m_didSetup = false;
    bool m_rotateBacksides = false;
    // Which item has the plain shortcut: 0 as the interface files say, 1 "Print", 2 manual duplex.
    qint64 m_plainShortcut = 0;

    QComboBox *m_printersButton = nullptr;
    QComboBox *m_printerTypeButton = nullptr;
    QAbstractButton *m_facingCheckbox = nullptr;
    QAbstractButton *m_rotateCheckbox = nullptr;
    QAbstractButton *m_reverseCheckbox = nullptr;
    QAbstractButton *m_rotateDuplexCheckbox = nullptr;
    QLabel *m_didSetupImageView = nullptr;
    VXDuplexAnimationView *m_animatedDuplexImageView = nullptr;
    QStackedWidget *m_duplexTabView = nullptr;
};
