#include "RQS-Kit/Effects/QSEffect.h"

#include "RQS-Kit/Effects/FilterKeys.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffectSettingsView.h"
#include "RQS-Kit/Effects/QSEffectValues.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Foundation/UndoManagerExtension.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/Numbers.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

using platform::fx::Filter;
using platform::fx::Image;
using platform::fx::InputAttribute;

namespace {

const QString InputImage = QStringLiteral("inputImage");
const QString SettingsKey = QStringLiteral("settings");
const QString EnabledKey = QStringLiteral("enabled");
const QString NameKey = QStringLiteral("name");
const QString StringsTable = QStringLiteral("EffectSettings");

platform::NotificationCenter *center()
{
    return platform::NotificationCenter::defaultCenter();
}

// Descriptions are resources, settings are stored by users: an entry of the wrong type counts as
// absent, with a warning.
QVariant typedEntry(const QVariantMap &map, const QString &key, QMetaType type)
{
    const QVariant value = map.value(key);
    if (!value.isValid())
        return {};
    if (value.metaType() != type) {
        platform::logWarning(QStringLiteral("The entry %1 of an effect is of type %2, not %3; it is ignored")
                                 .arg(key, QString::fromLatin1(value.typeName()), QString::fromLatin1(type.name())));
        return {};
    }
    return value;
}

QVariantMap mapEntry(const QVariantMap &map, const QString &key)
{
    return typedEntry(map, key, QMetaType::fromType<QVariantMap>()).toMap();
}

QString stringEntry(const QVariantMap &map, const QString &key)
{
    return typedEntry(map, key, QMetaType::fromType<QString>()).toString();
}

QStringList stringsEntry(const QVariantMap &map, const QString &key)
{
    if (map.value(key).metaType() == QMetaType::fromType<QStringList>())
        return map.value(key).toStringList();
    QStringList strings;
    for (const QVariant &item : typedEntry(map, key, QMetaType::fromType<QVariantList>()).toList()) {
        if (item.metaType() == QMetaType::fromType<QString>())
            strings << item.toString();
        else
            platform::logWarning(QStringLiteral("The list %1 of an effect holds a %2; it is skipped")
                                     .arg(key, QString::fromLatin1(item.typeName())));
    }
    return strings;
}

// A settings dictionary as text, one entry a line, in the old property-list style.
QString describe(const QVariant &value, int depth = 0)
{
    const QString indent(4 * (depth + 1), QLatin1Char(' '));
    const QString closing(4 * depth, QLatin1Char(' '));
    if (value.metaType() == QMetaType::fromType<QVariantMap>()) {
        const QVariantMap map = value.toMap();
        QString text = QStringLiteral("{\n");
        for (auto entry = map.begin(); entry != map.end(); ++entry)
            text += QStringLiteral("%1%2 = %3;\n").arg(indent, describe(entry.key(), depth + 1), describe(entry.value(), depth + 1));
        return text + closing + QLatin1Char('}');
    }
    if (value.metaType() == QMetaType::fromType<QVariantList>() || value.metaType() == QMetaType::fromType<QStringList>()) {
        QStringList items;
        for (const QVariant &item : value.toList())
            items << indent + describe(item, depth + 1);
        return items.isEmpty() ? QStringLiteral("(\n%1)").arg(closing)
                               : QStringLiteral("(\n%1\n%2)").arg(items.join(QStringLiteral(",\n")), closing);
    }
    if (value.metaType() == QMetaType::fromType<bool>())
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    const QString text = rqs::effectValues::storable(value).toString();
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.$/:-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

std::unique_ptr<Filter> filterNamed(const QString &name)
{
    rqs::registerKitFilters();
    if (std::unique_ptr<Filter> filter = platform::fx::FilterRegistry::create(name))
        return filter;
    if (std::unique_ptr<Filter> filter = platform::fx::FilterRegistry::create(name + QStringLiteral("Filter"))) {
        platform::logWarning(QStringLiteral("Filter with name %1 not found, %1Filter used instead").arg(name));
        return filter;
    }
    platform::logWarning(QStringLiteral("Neither Filter with name %1 nor %1Filter found").arg(name));
    return nullptr;
}

} // namespace

std::unique_ptr<QSEffect> QSEffect::withDescription(const QVariantMap &description, const QVariantMap &settings)
{
    const QString name = stringEntry(description, NameKey);
    if (name.isEmpty()) {
        platform::logWarning(QStringLiteral("An effect description without a name makes no effect"));
        return nullptr;
    }
    const QString ciName = stringEntry(description, QStringLiteral("ciName"));
    std::unique_ptr<Filter> filter = filterNamed(ciName.isEmpty() ? name : ciName);
    if (!filter)
        return nullptr;
    std::unique_ptr<QSEffect> effect(new QSEffect(description, std::move(filter)));
    effect->setSettings(settings);
    return effect;
}

std::unique_ptr<QSEffect> QSEffect::withName(const QString &name, const QVariantMap &settings)
{
    return withDescription({{NameKey, name}}, settings);
}

QSEffect::QSEffect(const QVariantMap &description, std::unique_ptr<Filter> filter)
    : m_name(stringEntry(description, NameKey))
    , m_filter(std::move(filter))
    , m_settingsUI(mapEntry(description, QStringLiteral("settingsUI")))
    , m_baseSettings(mapEntry(description, QStringLiteral("defaultSettings")))
    , m_globals(mapEntry(description, QStringLiteral("globals")))
    , m_relative(stringsEntry(description, QStringLiteral("relative")))
{
    const QString displayName = stringEntry(description, QStringLiteral("displayName"));
    m_displayName = displayName.isEmpty() ? m_name : displayName;
    m_settingsKeys = description.contains(QStringLiteral("settingsUIOrder"))
                         ? stringsEntry(description, QStringLiteral("settingsUIOrder"))
                         : m_settingsUI.keys();
    center()->addObserver(this, QStringLiteral("qsfilterupdate"), m_filter.get(), [this](const auto &) {
        if (successorObject() && m_enabled)
            passOn(outputImage());
    });
}

QSEffect::~QSEffect()
{
    center()->removeObserver(this);
    if (m_settingsView && !m_settingsView->parent())
        delete m_settingsView;
}

QSEffectSettingsView *QSEffect::settingsView()
{
    if (!m_settingsView) {
        m_settingsView = new QSEffectSettingsView(this);
        setBoundSettings(m_settingsView->boundSettings());
        connect(this, &QSEffect::settingsChanged, m_settingsView, &QSEffectSettingsView::updateSettings);
    }
    return m_settingsView;
}

void QSEffect::storeSetting(const QString &key, const QVariant &value)
{
    // An input the filter holds no value for has nothing to store: a property list cannot hold "none".
    if (value.isValid())
        m_settings.insert(key, rqs::effectValues::storable(value));
    else
        m_settings.remove(key);
}

double QSEffect::relativeBase() const
{
    if (m_effectProportion > 0)
        return m_effectProportion;
    const QRectF extent = inputImage().extent();
    return extent.isEmpty() ? 0.0 : std::min(extent.width(), extent.height());
}

Filter *QSEffect::filterForInputSize(const QSizeF &size)
{
    if (!m_relative.isEmpty())
        applyRelativeInputs(m_effectProportion > 0 ? m_effectProportion : std::min(size.width(), size.height()));
    return m_filter.get();
}

void QSEffect::applyRelativeInputs(double base)
{
    for (const QString &key : m_relative) {
        if (const auto proportion = rqs::effectValues::number(m_settings.value(key)))
            m_filter->setValueForKey(key, *proportion * base);
    }
}

void QSEffect::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    if (rqs::registerMouseAwareUndoWithTarget(m_undoManager, this, m_enabled, EnabledKey, false))
        m_undoManager->setActionName(
            QStringLiteral("%1 %2").arg(rqs::localizedForTable(enabled ? QStringLiteral("Enable") : QStringLiteral("Disable"),
                                                               StringsTable),
                                        rqs::localized(m_displayName)));
    m_enabled = enabled;
    emit keyValueChanged(EnabledKey);
    if (successorObject())
        passOn(enabled ? outputImage() : inputImage());
}

QVariantMap QSEffect::settings() const
{
    QVariantMap stored;
    for (auto entry = m_settings.begin(); entry != m_settings.end(); ++entry)
        stored.insert(entry.key(), rqs::effectValues::storable(entry.value()));
    stored.insert(QStringLiteral("isEnabled"), m_enabled);
    stored.insert(QStringLiteral("resource"), m_imageResources);
    return stored;
}

void QSEffect::setSettings(const QVariantMap &given)
{
    center()->removeObserver(this, QStringLiteral("qsfilterSettings"), m_filter.get());
    QVariantMap merged = m_baseSettings;
    merged.insert(given);
    merged.remove(NameKey);
    m_imageResources = mapEntry(merged, QStringLiteral("resource"));
    merged.remove(QStringLiteral("resource"));
    if (const QVariant enabled = merged.take(QStringLiteral("isEnabled")); enabled.isValid()) {
        if (const auto on = rqs::effectValues::number(enabled))
            setEnabled(*on != 0);
        else
            platform::logWarning(QStringLiteral("The effect %1 ignores an \"isEnabled\" that is no boolean").arg(m_name));
    }
    m_filter->setDefaults();
    // Properties have no defaults: each goes back to what it was before any settings set it.
    for (auto property = m_propertiesBefore.begin(); property != m_propertiesBefore.end(); ++property)
        rqs::filterKeys::setValue(*m_filter, property.key(), property.value());
    m_settings = {{NameKey, m_name}};
    const double base = relativeBase();
    for (const QString &key : m_filter->applyingOrder(merged.keys())) {
        const std::optional<InputAttribute> input = rqs::filterKeys::attribute(*m_filter, key);
        if (!input) {
            platform::logWarning(QStringLiteral("The filter %1 of the effect %2 has no input %3; the setting is ignored")
                                     .arg(m_filter->name(), m_name, key));
            continue;
        }
        std::optional<QVariant> value = rqs::effectValues::forInput(*input, merged.value(key));
        if (!value)
            continue;
        if (input->kind == InputAttribute::Kind::Number)
            value = withinRange(*input, value->toDouble());
        rememberProperty(key);
        m_settings.insert(key, *value);
        rqs::filterKeys::setValue(*m_filter, key,
                                  m_relative.contains(key) && input->kind == InputAttribute::Kind::Number
                                      ? QVariant(value->toDouble() * base)
                                      : *value);
    }
    if (successorObject() && m_enabled)
        passOn(outputImage());
    emit settingsChanged();
    center()->addObserver(this, QStringLiteral("qsfilterSettings"), m_filter.get(),
                          [this](const auto &) { emit settingsChanged(); });
}

void QSEffect::rememberProperty(const QString &key)
{
    if (!m_filter->input(key) && !m_propertiesBefore.contains(key))
        m_propertiesBefore.insert(key, rqs::filterKeys::value(*m_filter, key));
}

rqs::effectValues::Range QSEffect::settingRange(const InputAttribute &input) const
{
    for (const QVariant &entry : m_settingsUI) {
        const QVariantMap map = entry.toMap();
        const int type = map.value(QStringLiteral("type"), -1).toInt();
        if (map.value(QStringLiteral("inputName")).toString() == input.key
            && (type == QSEffectSettingsView::Slider || type == QSEffectSettingsView::CircularSlider))
            return rqs::effectValues::controlRange(map, m_filter->attributes().value(input.key).toMap());
    }
    // A proportion has no limits of its own without a control; the filter's are in pixels.
    if (m_relative.contains(input.key))
        return {};
    return {input.minimum, input.maximum};
}

double QSEffect::withinRange(const InputAttribute &input, double value) const
{
    const rqs::effectValues::Range range = settingRange(input);
    double kept = value;
    if (range.minimum && !(kept >= *range.minimum))
        kept = *range.minimum;
    else if (range.maximum && !(kept <= *range.maximum))
        kept = *range.maximum;
    if (std::isnan(kept) || kept == value)
        return kept;
    platform::logWarning(QStringLiteral("The setting %1 of the effect %2 is %3, outside %4 to %5; %6 is used")
                             .arg(input.key, m_name, QString::number(value),
                                  range.minimum ? QString::number(*range.minimum) : QStringLiteral("any"),
                                  range.maximum ? QString::number(*range.maximum) : QStringLiteral("any"),
                                  QString::number(kept)));
    return kept;
}

QVariant QSEffect::settingsValueForKey(const QString &key) const
{
    const auto stored = m_settings.constFind(key);
    return stored != m_settings.constEnd() ? *stored : rqs::filterKeys::value(*m_filter, key);
}

QString QSEffect::description() const
{
    return QStringLiteral("Effect: %1 (%2)\nSettings: %3").arg(m_displayName, m_name, describe(settings()));
}

QVariant QSEffect::valueFromDicts(const QList<QVariantMap> &dicts, const QStringList &keys)
{
    for (const QVariantMap &dict : dicts) {
        for (const QString &key : keys) {
            const QVariant value = dict.value(key);
            if (value.isValid())
                return value;
        }
    }
    return {};
}

void QSEffect::setImageResource(const QString &key, const QString &resource)
{
    if (resource.isEmpty())
        m_imageResources.remove(key);
    else
        m_imageResources.insert(key, resource);
}

void QSEffect::removeImageResource(const QString &key)
{
    m_imageResources.remove(key);
}

Image QSEffect::inputImage() const
{
    return m_filter->imageValue(InputImage);
}

Image QSEffect::outputImage()
{
    const Image input = inputImage();
    if (input.isNull()) {
        if (!m_waitingForUpdate) {
            m_waitingForUpdate = true;
            center()->post(QStringLiteral("EffectNeedsUpd"), this);
        }
        return {};
    }
    m_waitingForUpdate = false;
    if (!m_relative.isEmpty())
        applyRelativeInputs(relativeBase());
    // The output stays a recipe: whoever shows the chain's end renders the whole chain at once,
    // each step once and under one memory budget, instead of every step holding a rendered copy.
    const Image output = m_filter->outputImage();
    if (output.isNull() || !platform::fx::Extent::isInfinite(output.extent()))
        return output;
    // The picture's own extent is the one anybody looks at.
    const Image cropped = output.cropped(input.extent());
    if (platform::fx::Extent::isInfinite(cropped.extent())) {
        platform::logInfo(QStringLiteral("The effect %1 gives an infinite image").arg(m_name));
        return output;
    }
    return cropped;
}

bool QSEffect::setSuccessor(QObject *successor)
{
    if (successor && !dynamic_cast<QSEffectSuccessor *>(successor)) {
        platform::logWarning(QStringLiteral("The effect %1 cannot hand its images to a %2")
                                 .arg(m_name, QString::fromLatin1(successor->metaObject()->className())));
        return false;
    }
    // A chain that leads back to this effect would hand its picture round for ever.
    for (auto *effect = dynamic_cast<QSEffect *>(successor); effect; effect = dynamic_cast<QSEffect *>(effect->successor())) {
        if (effect == this) {
            platform::logWarning(QStringLiteral("The effect %1 cannot follow itself in its own chain").arg(m_name));
            return false;
        }
    }
    m_successor = successor;
    return true;
}

QSEffectSuccessor *QSEffect::successorObject() const
{
    return dynamic_cast<QSEffectSuccessor *>(m_successor.data());
}

QSEffectSuccessor *QSEffect::walk(QSEffectSuccessor *first, const std::function<bool(QSEffect &)> &step)
{
    QSEffectSuccessor *next = first;
    while (auto *effect = dynamic_cast<QSEffect *>(next)) {
        if (!step(*effect))
            return nullptr;
        next = effect->successorObject();
    }
    return next;
}

void QSEffect::handOn(QSEffectSuccessor *first, const Image &image)
{
    Image picture = image;
    const auto take = [&picture](QSEffect &effect) {
        effect.m_filter->setValueForKey(InputImage, QVariant::fromValue(picture));
        if (effect.successorObject() && effect.m_enabled)
            picture = effect.outputImage();
        return !picture.isNull();
    };
    if (QSEffectSuccessor *end = picture.isNull() ? nullptr : walk(first, take))
        end->setInputImage(picture);
}

void QSEffect::passOn(const Image &image)
{
    handOn(successorObject(), image);
}

void QSEffect::setInputImage(const Image &image)
{
    handOn(this, image);
}

void QSEffect::applyGlobalSettings(const QVariantMap &globals)
{
    const QVariant portion = globals.value(QStringLiteral("portion"));
    const std::optional<double> number = rqs::effectValues::number(portion);
    if (portion.isValid() && !number)
        platform::logWarning(QStringLiteral("The effect %1 ignores a \"portion\" that is no number").arg(m_name));
    const auto what = [this] { return QStringLiteral("The \"portion\" of the effect %1").arg(m_name); };
    m_effectProportion = number ? platform::fx::Numbers::checked(*number, what).value_or(0.0) : 0.0;
    for (auto entry = globals.begin(); entry != globals.end(); ++entry) {
        const QString target = m_globals.value(entry.key()).toString();
        if (target.isEmpty())
            continue;
        if (const std::optional<InputAttribute> input = rqs::filterKeys::attribute(*m_filter, target)) {
            if (const auto value = rqs::effectValues::forInput(*input, entry.value()))
                rqs::filterKeys::setValue(*m_filter, target, *value);
        } else {
            platform::logWarning(QStringLiteral("The filter %1 of the effect %2 has no input %3 for the global %4")
                                     .arg(m_filter->name(), m_name, target, entry.key()));
        }
    }
}

void QSEffect::setGlobalSettings(const QVariantMap &globals)
{
    const auto apply = [&globals](QSEffect &effect) {
        effect.applyGlobalSettings(globals);
        return true;
    };
    if (QSEffectSuccessor *end = walk(this, apply))
        end->setGlobalSettings(globals);
}

void QSEffect::removeImageInput()
{
    const auto remove = [](QSEffect &effect) {
        effect.m_filter->setValueForKey(InputImage, QVariant());
        return true;
    };
    if (QSEffectSuccessor *end = walk(this, remove))
        end->removeImageInput();
}

void QSEffect::addResourcesToArray(QStringList &resources) const
{
    for (const QVariant &resource : m_imageResources) {
        if (!resources.contains(resource.toString()))
            resources << resource.toString();
    }
}

bool QSEffect::recordSettingsUndo()
{
    return rqs::registerMouseAwareUndoWithTarget(m_undoManager, this, settings(), SettingsKey, false);
}

bool QSEffect::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == SettingsKey) {
        if (value.metaType() != QMetaType::fromType<QVariantMap>()) {
            platform::logWarning(QStringLiteral("The effect %1 takes settings as a dictionary only").arg(m_name));
            return false;
        }
        recordSettingsUndo();
        setSettings(value.toMap());
        return true;
    }
    if (key == EnabledKey) {
        const auto on = rqs::effectValues::number(value);
        if (on)
            setEnabled(*on != 0);
        return on.has_value();
    }
    if (!m_boundSettings.contains(key))
        return platform::KeyValue::setPropertyValue(this, key, value);
    const std::optional<InputAttribute> input = rqs::filterKeys::attribute(*m_filter, key);
    const std::optional<QVariant> converted = input ? rqs::effectValues::forInput(*input, value) : std::nullopt;
    if (!converted) {
        if (!input)
            platform::logWarning(QStringLiteral("The filter %1 of the effect %2 has no input %3").arg(m_filter->name(), m_name, key));
        return false;
    }
    if (recordSettingsUndo())
        m_undoManager->setActionName(
            QStringLiteral("%1 %2").arg(rqs::localized(m_displayName), rqs::localizedForTable(key, StringsTable)));
    rememberProperty(key);
    m_settings.insert(key, *converted);
    const bool relative = m_relative.contains(key) && input->kind == InputAttribute::Kind::Number;
    rqs::filterKeys::setValue(*m_filter, key, relative ? QVariant(converted->toDouble() * relativeBase()) : *converted);
    if (m_enabled && successorObject())
        passOn(outputImage());
    emit settingsChanged();
    return true;
}
