#pragma once

#include "RQS-Kit/Effects/QSEffectSettingsHost.h"
#include "platform/foundation/WeakDelegate.h"
#include "platform/ui/View.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>

class QComboBox;

// The panel of controls of one effect: a row per settings entry, a title and one control, 27
// points apart from the top, built from the entry and the filter's attributes of its input. User
// edits go to the host's undoable setter; updateSettings shows what the filter holds.
class QSEffectSettingsView : public platform::View
{
    Q_OBJECT

public:
    enum ControlType { Slider = 0, PopUp = 1, ColorWell = 2, CheckBox = 3, CircularSlider = 4, GradientPicker = 5 };
    static constexpr double RowPitch = 27;
    static constexpr double PanelWidth = 300;
    static constexpr double FirstRowHeight = 22;

    // The host is held weakly: a panel that outlives it (in a window) edits nothing any more.
    explicit QSEffectSettingsView(platform::Delegate<QSEffectSettingsHost> host, QWidget *parent = nullptr);
    ~QSEffectSettingsView() override;

    // Input keys that have a control, and the controls in the same order.
    const QStringList &boundSettings() const { return m_boundSettings; }
    QList<QWidget *> settingsControls() const;
    // The row titles, top first.
    QList<QWidget *> titles() const;

    Q_INVOKABLE void controlValueChanged(QObject *sender);
    void updateSettings();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Placed
    {
        QPointer<QWidget> widget;
        int row;
        QRectF frame;
        bool widthSizable;
    };

    void addRow(int row, const QString &entryName, const QVariantMap &entry, const QVariantMap &attributes);
    QWidget *makeControl(const QString &key, const QVariantMap &entry, const QVariantMap &attributes);
    QWidget *makeSlider(const QString &key, const QVariantList &dictionaries);
    QWidget *makePopUp(const QString &key, const QVariantMap &entry, const QVariantList &dictionaries);
    // The filter may offer other choices now (pictures added on disk): the pop-up shows them and
    // keeps its value when still offered, else takes the first choice as an edit.
    void reloadChoices(QComboBox *popUp, const QString &key);
    QWidget *makeCircular(const QString &key, const QVariantList &dictionaries);
    void place(QWidget *widget, int row, const QRectF &frame, bool widthSizable);
    void layoutRows();
    void chooseCustomImage(const QString &key);
    void showValue(QWidget *control, const QString &key, const QVariant &value);
    double baseSize(const QSEffectSettingsHost &host) const;

    platform::WeakDelegate<QSEffectSettingsHost, QSEffectSettingsView> m_host;
    QStringList m_boundSettings;
    QList<QPointer<QWidget>> m_controls;
    QList<QPointer<QWidget>> m_titles;
    QHash<QString, QStringList> m_popupChoices;
    QList<Placed> m_placed;
    int m_rows = 0;
    bool m_refreshing = false;
};
