#pragma once

#include "RQS-Kit/Effects/QSEffectSettingsHost.h"
#include "RQS-Kit/Effects/QSEffectSuccessor.h"
#include "RQS-Kit/Effects/QSEffectValues.h"
#include "platform/fx/Filter.h"
#include "platform/ui/UndoManager.h"

#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>

// One user-visible image effect: a filter, the description of how the user sets it up, the
// user's settings, an on/off switch and undo for every change. Effects chain: each hands its
// output to its successor, a switched-off one its input.
//
// Settings are stored as "name", "isEnabled", "resource" (input key → image resource) and the
// filter's input keys and properties; colours and gradients as text. Inputs named "relative" in
// the description are stored as proportions of the base size (see relativeBase) and set on the
// filter multiplied by it. The output is a recipe: the chain is rendered by whoever shows its
// end. Main thread only.
class QSEffectSettingsView;

class QSEffect : public QObject, public QSEffectSuccessor, public QSEffectSettingsHost
{
    Q_OBJECT

public:
    // Null, with a "Warning: " line, when neither the filter name nor it followed by "Filter"
    // makes a filter, or when the description has no name.
    static std::unique_ptr<QSEffect> withDescription(const QVariantMap &description, const QVariantMap &settings = {});
    static std::unique_ptr<QSEffect> withName(const QString &name, const QVariantMap &settings = {});
    ~QSEffect() override;

    const QString &name() const { return m_name; }
    const QString &displayName() const { return m_displayName; }
    // The description's "settingsUI", its order, and its "relative" keys: what the settings panel
    // is built from.
    QVariantMap settingsUI() const override { return m_settingsUI; }
    const QStringList &settingsKeys() const { return m_settingsKeys; }
    const QStringList &relativeKeys() const { return m_relative; }
    platform::fx::Filter *filter() const override { return m_filter.get(); }
    // The settings panel, built on first request; its controls become the bound settings.
    QSEffectSettingsView *settingsView();

    // The last global "portion" when above 0, else the shorter side of the input's extent (0
    // without an input).
    double relativeBase() const;
    double effectProportion() const override { return m_effectProportion; }
    // The filter with its relative inputs set for a picture of that size.
    platform::fx::Filter *filterForInputSize(const QSizeF &size);

    bool enabled() const { return m_enabled; }
    // Undoable, the step named after the effect's localised display name; a change hands the
    // successor the output (on) or the input (off).
    void setEnabled(bool enabled);

    QVariantMap settings() const;
    // Untrusted input: keys the filter lacks and values of the wrong type are left out with a
    // "Warning: " line; a number outside its slider's range (else the input's limits) is kept to
    // it with a "Warning: " line.
    void setSettings(const QVariantMap &settings);
    // The value in the settings, else the filter's current one.
    QVariant settingsValueForKey(const QString &key) const override;
    // The first value found, trying every key in the first map, then in the second, and so on.
    static QVariant valueFromDicts(const QList<QVariantMap> &dicts, const QStringList &keys);

    // Input keys that have a control in the settings panel; edits of them go through
    // setValueForKey as one undo step named after the effect's localised display name and the setting.
    const QStringList &boundSettings() const { return m_boundSettings; }
    void setBoundSettings(const QStringList &keys) { m_boundSettings = keys; }
    const QVariantMap &imageResources() const { return m_imageResources; }
    // An empty resource removes the key's.
    void setImageResource(const QString &key, const QString &resource) override;
    void removeImageResource(const QString &key);

    // Null while the filter has no input, posting "EffectNeedsUpd" once per stretch without one.
    // An infinite output is cut to the input's extent.
    platform::fx::Image outputImage();
    platform::fx::Image inputImage() const;

    // Weakly held; false, with a "Warning: " line, for an object that is no successor or one whose
    // chain leads back to this effect.
    bool setSuccessor(QObject *successor);
    QObject *successor() const { return m_successor; }
    void setUndoManager(platform::UndoManager *manager) { m_undoManager = manager; }
    platform::UndoManager *undoManager() const { return m_undoManager; }

    void setInputImage(const platform::fx::Image &image) override;
    // "portion", and the keys the description's "globals" map to filter inputs.
    void setGlobalSettings(const QVariantMap &settings) override;
    void removeImageInput() override;
    void addResourcesToArray(QStringList &resources) const override;

    // "settings" (undoable as a whole), "enabled", a bound setting (undoable, relative ones set on
    // the filter as proportion × base), else nothing but a "Warning: " line.
    Q_INVOKABLE bool setValueForKey(const QString &key, const QVariant &value) override;

    // "Effect: DISPLAY NAME (NAME)" and a line "Settings: " with the settings dictionary.
    QString description() const;

    QString effectName() const override { return m_name; }
    QStringList settingsUIOrder() const override { return m_settingsKeys; }
    void storeSetting(const QString &key, const QVariant &value) override;
    bool isRelative(const QString &key) const override { return m_relative.contains(key); }

signals:
    // The filter's values changed: a settings panel reads them again.
    void settingsChanged();
    void keyValueChanged(const QString &key);

private:
    QSEffect(const QVariantMap &description, std::unique_ptr<platform::fx::Filter> filter);

    void applyRelativeInputs(double base);
    // Before a setting first sets a property, what it was: settings without it put it back.
    void rememberProperty(const QString &key);
    rqs::effectValues::Range settingRange(const platform::fx::InputAttribute &input) const;
    double withinRange(const platform::fx::InputAttribute &input, double value) const;
    void passOn(const platform::fx::Image &image);
    void applyGlobalSettings(const QVariantMap &globals);
    // Runs the step for first and each effect after it until one answers false (then null), and
    // answers the successor reached that is no effect. One loop, so that a chain of any length
    // fits the stack.
    static QSEffectSuccessor *walk(QSEffectSuccessor *first, const std::function<bool(QSEffect &)> &step);
    // first and each effect after it take the picture and hand on their own, in turn.
    static void handOn(QSEffectSuccessor *first, const platform::fx::Image &image);
    QSEffectSuccessor *successorObject() const;
    bool recordSettingsUndo();

    QString m_name, m_displayName;
    std::unique_ptr<platform::fx::Filter> m_filter;
    QVariantMap m_settingsUI, m_baseSettings, m_globals, m_settings, m_imageResources;
    // The filter's properties as they were before settings first set them.
    QVariantMap m_propertiesBefore;
    QStringList m_settingsKeys, m_relative, m_boundSettings;
    QPointer<QSEffectSettingsView> m_settingsView;
    double m_effectProportion = 0;
    bool m_enabled = true;
    bool m_waitingForUpdate = false;
    QPointer<QObject> m_successor;
    QPointer<platform::UndoManager> m_undoManager;
};
