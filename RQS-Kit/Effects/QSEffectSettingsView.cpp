#include "RQS-Kit/Effects/QSEffectSettingsView.h"

#include "RQS-Kit/Controls/QSGradientPicker.h"
#include "RQS-Kit/Controls/QSLabel.h"
#include "RQS-Kit/Controls/QSSlider.h"
#include "RQS-Kit/Effects/QSEffectResourceStore.h"
#include "RQS-Kit/Effects/QSEffectSettingsHost.h"
#include "RQS-Kit/Effects/QSEffectValues.h"
#include "RQS-Kit/Effects/QSFilter.h"
#include "RQS-Kit/Foundation/PopUpButtonExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/fx/Filter.h"
#include "platform/ui/OpenPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDial>

#include <algorithm>

using platform::fx::Color;

namespace {

constexpr int DialSteps = 1000;

QVariant valueFromDicts(const QVariantList &dictionaries, const QStringList &keys)
{
    for (const QVariant &dictionary : dictionaries) {
        const QVariantMap map = dictionary.toMap();
        for (const QString &key : keys)
            if (map.contains(key) && map.value(key).isValid())
                return map.value(key);
    }
    return {};
}

// The entry and the input's attributes; an open end is 0.
std::pair<double, double> rangeOf(const QVariantList &dictionaries)
{
    const rqs::effectValues::Range range = rqs::effectValues::controlRange(dictionaries.value(0).toMap(),
                                                                           dictionaries.value(1).toMap());
    return {range.minimum.value_or(0.0), range.maximum.value_or(0.0)};
}

std::optional<Color> colorOf(const QVariant &value)
{
    if (value.canConvert<Color>() && value.metaType() == QMetaType::fromType<Color>())
        return value.value<Color>();
    if (value.typeId() == QMetaType::QString)
        return Color::fromText(value.toString());
    return std::nullopt;
}

// Whatever space the well's colour is in, its components and opacity are kept: a grey stays grey.
Color colorFromWell(const QColor &picked)
{
    const QColor rgb = picked.toRgb();
    return Color{float(rgb.redF()), float(rgb.greenF()), float(rgb.blueF()), float(rgb.alphaF())};
}

// The input's attributes, with the choices the filter offers now: pictures and frames added since it
// was made are among them.
QVariantMap attributesOf(const platform::fx::Filter *filter, const QString &key)
{
    if (const auto *kit = qobject_cast<const QSFilter *>(filter))
        return kit->settingsForKey(key).toMap();
    return filter ? filter->attributes().value(key).toMap() : QVariantMap();
}

void addCustomImageItem(QComboBox *popUp)
{
    popUp->insertSeparator(popUp->count());
    popUp->addItem(rqs::localizedForTable(QStringLiteral("Custom Image"), QStringLiteral("Controls")));
}

} // namespace

QSEffectSettingsView::QSEffectSettingsView(platform::Delegate<QSEffectSettingsHost> delegate, QWidget *parent)
    : View(parent)
{
    m_host.set(delegate);
    const QSEffectSettingsHost *host = delegate.interface();
    const QVariantMap ui = host->settingsUI();
    const QStringList order = host->settingsUIOrder();
    m_rows = int(order.size());
    resize(int(PanelWidth), int(FirstRowHeight + RowPitch * std::max(0, m_rows - 1)));
    for (int row = 0; row < m_rows; ++row) {
        const QString &name = order.at(row);
        if (!ui.contains(name))
            platform::logWarning(QStringLiteral("settingsUI Description for '%1' is missing in Effect '%2'").arg(name, host->effectName()));
        const QVariantMap entry = ui.value(name).toMap();
        addRow(row, name, entry, attributesOf(host->filter(), entry.value(QStringLiteral("inputName")).toString()));
    }
    layoutRows();
    updateSettings();
}

// The pop-up callbacks use this panel: they end before it is half destroyed.
QSEffectSettingsView::~QSEffectSettingsView()
{
    platform::NotificationCenter::defaultCenter()->removeObserver(this);
}

QList<QWidget *> QSEffectSettingsView::settingsControls() const
{
    QList<QWidget *> controls;
    for (const auto &control : m_controls)
        controls.append(control);
    return controls;
}

QList<QWidget *> QSEffectSettingsView::titles() const
{
    QList<QWidget *> titles;
    for (const auto &title : m_titles)
        titles.append(title);
    return titles;
}

void QSEffectSettingsView::addRow(int row, const QString &entryName, const QVariantMap &entry, const QVariantMap &attributes)
{
    auto *title = new QSLabel(this);
    title->setText(rqs::localizedForTable(entryName, QStringLiteral("EffectSettings")));
    title->setTextShadowName(QStringLiteral("TextWhite0px"));
    title->setTextColor(QColor::fromRgbF(71 / 255.0, 71 / 255.0, 71 / 255.0, 1.0));
    place(title, row, {3, 2, 100, 22}, false);
    m_titles.append(title);

    const QString key = entry.value(QStringLiteral("inputName")).toString();
    if (key.isEmpty())
        return;
    if (QWidget *control = makeControl(key, entry, attributes)) {
        control->setProperty("tag", int(m_boundSettings.size()));
        m_boundSettings.append(key);
        m_controls.append(control);
        const int type = entry.value(QStringLiteral("type")).toInt();
        static const QHash<int, std::pair<QRectF, bool>> frames{
            {Slider, {{110, 4, 190, 15}, true}},      {PopUp, {{110, 0, 190, 23}, true}},
            {ColorWell, {{110, 0, 45, 22}, false}},   {CheckBox, {{110, 0, 190, 23}, true}},
            {CircularSlider, {{110, 2, 20, 20}, false}}, {GradientPicker, {{99, 0, 210, 27}, true}}};
        place(control, row, frames.value(type).first, frames.value(type).second);
    }
}

QWidget *QSEffectSettingsView::makeControl(const QString &key, const QVariantMap &entry, const QVariantMap &attributes)
{
    const QVariantList dictionaries{entry, attributes};
    switch (entry.value(QStringLiteral("type"), -1).toInt()) {
    case Slider:
        return makeSlider(key, dictionaries);
    case PopUp:
        return makePopUp(key, entry, dictionaries);
    case ColorWell: {
        auto *well = new QSColorWell(this);
        well->setSupportsAlpha(entry.value(QStringLiteral("hasAlpha")).toBool());
        well->setTarget(this);
        well->setAction(QStringLiteral("controlValueChanged"));
        return well;
    }
    case CheckBox: {
        auto *box = new QCheckBox(this);
        box->setTristate(false);
        connect(box, &QCheckBox::clicked, this, [this, box] { controlValueChanged(box); });
        return box;
    }
    case CircularSlider:
        return makeCircular(key, dictionaries);
    case GradientPicker: {
        auto *picker = new QSGradientPicker(this);
        picker->setTarget(this);
        picker->setAction(QStringLiteral("controlValueChanged"));
        return picker;
    }
    default:
        return nullptr;
    }
}

QWidget *QSEffectSettingsView::makeSlider(const QString &, const QVariantList &dictionaries)
{
    auto *slider = new QSSlider(this);
    const auto [minimum, maximum] = rangeOf(dictionaries);
    slider->setMinValue(minimum);
    slider->setMaxValue(maximum);
    const double factor = valueFromDicts(dictionaries, {QStringLiteral("expFactor")}).toDouble();
    if (factor >= 1.0) {
        slider->setSliderCurve(3);
        slider->setExpFactor(factor);
    }
    connect(slider, &QSSlider::doubleValueChanged, this, [this, slider] { controlValueChanged(slider); });
    return slider;
}

QWidget *QSEffectSettingsView::makePopUp(const QString &key, const QVariantMap &entry, const QVariantList &dictionaries)
{
    auto *popUp = new QComboBox(this);
    const QStringList choices = valueFromDicts(dictionaries, {QStringLiteral("choices")}).toStringList();
    rqs::addEntries(popUp, choices);
    if (valueFromDicts(dictionaries, {QStringLiteral("customImage")}).toBool())
        addCustomImageItem(popUp);
    m_popupChoices.insert(key, choices);
    connect(popUp, &QComboBox::activated, this, [this, popUp] { controlValueChanged(popUp); });
    const QString notification = entry.value(QStringLiteral("notification")).toString();
    if (!notification.isEmpty()) {
        QPointer<QComboBox> guarded(popUp);
        platform::NotificationCenter::defaultCenter()->addObserver(
            this, notification, nullptr, [this, guarded, key](const platform::Notification &) {
                if (guarded)
                    reloadChoices(guarded, key);
            });
    }
    return popUp;
}

void QSEffectSettingsView::reloadChoices(QComboBox *popUp, const QString &key)
{
    const QSEffectSettingsHost *host = m_host.get();
    const auto *filter = host ? qobject_cast<const QSFilter *>(host->filter()) : nullptr;
    if (!filter)
        return;
    const bool hadCustomImage = popUp->count() > m_popupChoices.value(key).size();
    const QStringList choices = filter->settingsForKey(key).toMap().value(QStringLiteral("choices")).toStringList();
    m_refreshing = true;
    popUp->clear();
    rqs::addEntries(popUp, choices);
    if (hadCustomImage)
        addCustomImageItem(popUp);
    m_popupChoices.insert(key, choices);
    showValue(popUp, key, filter->value(key));
    m_refreshing = false;
    if (popUp->currentIndex() < 0 && !choices.isEmpty()) {
        popUp->setCurrentIndex(0);
        controlValueChanged(popUp);
    }
}

QWidget *QSEffectSettingsView::makeCircular(const QString &, const QVariantList &dictionaries)
{
    auto *dial = new QDial(this);
    dial->setRange(0, DialSteps);
    const auto [minimum, maximum] = rangeOf(dictionaries);
    dial->setProperty("minValue", minimum);
    dial->setProperty("maxValue", maximum);
    connect(dial, &QDial::valueChanged, this, [this, dial] { controlValueChanged(dial); });
    return dial;
}

void QSEffectSettingsView::place(QWidget *widget, int row, const QRectF &frame, bool widthSizable)
{
    m_placed.append({widget, row, frame, widthSizable});
}

// Rows hang from the top; width-sizable controls follow the panel's width.
void QSEffectSettingsView::layoutRows()
{
    for (const Placed &placed : std::as_const(m_placed)) {
        if (!placed.widget)
            continue;
        const double rowBottom = height() - FirstRowHeight - RowPitch * placed.row;
        const double w = placed.frame.width() + (placed.widthSizable ? width() - PanelWidth : 0);
        const double top = height() - (rowBottom + placed.frame.y() + placed.frame.height());
        placed.widget->setGeometry(QRectF(placed.frame.x(), top, std::max(0.0, w), placed.frame.height()).toRect());
    }
}

void QSEffectSettingsView::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    layoutRows();
}

void QSEffectSettingsView::controlValueChanged(QObject *sender)
{
    QSEffectSettingsHost *host = m_host.get();
    if (m_refreshing || !host)
        return;
    const int tag = sender ? sender->property("tag").toInt() : -1;
    if (tag < 0 || tag >= m_boundSettings.size()) {
        platform::logWarning(QStringLiteral("A settings control of Effect '%1' has no input").arg(host->effectName()));
        return;
    }
    const QString key = m_boundSettings.at(tag);
    QVariant value;
    if (auto *popUp = qobject_cast<QComboBox *>(sender)) {
        const QStringList choices = m_popupChoices.value(key);
        if (popUp->currentIndex() < 0)
            return;
        if (popUp->currentIndex() >= choices.size()) {
            chooseCustomImage(key);
            return;
        }
        value = choices.at(popUp->currentIndex());
        // The effect may delete this panel, or itself, as it hears of the resource.
        const QPointer<QSEffectSettingsView> self(this);
        host->setImageResource(key, {});
        host = self ? m_host.get() : nullptr;
        if (!host)
            return;
    } else if (auto *box = qobject_cast<QCheckBox *>(sender)) {
        value = box->isChecked();
    } else if (auto *picker = qobject_cast<QSGradientPicker *>(sender)) {
        value = QVariant::fromValue(picker->gradient());
    } else if (auto *well = qobject_cast<QSColorWell *>(sender)) {
        value = QVariant::fromValue(colorFromWell(well->color()));
    } else if (auto *slider = qobject_cast<QSSlider *>(sender)) {
        value = slider->doubleValue();
    } else if (auto *dial = qobject_cast<QDial *>(sender)) {
        const double low = dial->property("minValue").toDouble();
        value = low + (dial->property("maxValue").toDouble() - low) * dial->value() / DialSteps;
    }
    host->setValueForKey(key, value);
}

void QSEffectSettingsView::chooseCustomImage(const QString &key)
{
    platform::OpenPanel panel;
    panel.setAllowedFileTypes({QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("tif"),
                               QStringLiteral("tiff"), QStringLiteral("gif")});
    QPointer<QSEffectSettingsView> guard(this);
    panel.beginSheetModalForWindow(nullptr, [guard, key](int result, const QList<QUrl> &urls) {
        QSEffectSettingsHost *host = guard ? guard->m_host.get() : nullptr;
        if (!host)
            return;
        const QString name = result == platform::OpenPanel::OKButton && !urls.isEmpty()
                                 ? QSEffectResourceStore::storeCopyOf(urls.first())
                                 : QString();
        if (name.isEmpty()) {
            guard->updateSettings();
            return;
        }
        host->setImageResource(key, name);
        if (QSEffectSettingsHost *still = guard ? guard->m_host.get() : nullptr)
            still->setValueForKey(key, name);
    });
}

double QSEffectSettingsView::baseSize(const QSEffectSettingsHost &host) const
{
    if (host.effectProportion() > 0)
        return host.effectProportion();
    const platform::fx::Filter *filter = host.filter();
    const platform::fx::Image input = filter ? filter->imageValue(QStringLiteral("inputImage")) : platform::fx::Image();
    if (input.isNull())
        return 1.0;
    return std::max(1.0, std::min(input.extent().width(), input.extent().height()));
}

void QSEffectSettingsView::updateSettings()
{
    QSEffectSettingsHost *host = m_host.get();
    const platform::fx::Filter *filter = host ? host->filter() : nullptr;
    if (!filter)
        return;
    m_refreshing = true;
    const double base = baseSize(*host);
    for (int i = 0; i < m_boundSettings.size(); ++i) {
        const QString &key = m_boundSettings.at(i);
        QVariant value = filter->value(key);
        if (host->isRelative(key)) {
            // The stored proportion stays: the filter holds proportion × base only once a picture
            // has given the base, and reading it back earlier would store 0 for good.
            const QVariant stored = host->settingsValueForKey(key);
            if (platform::fx::isNumeric(stored))
                value = stored;
            else if (value.canConvert<double>())
                value = value.toDouble() / base;
        }
        host->storeSetting(key, value);
        showValue(m_controls.at(i), key, value);
    }
    m_refreshing = false;
}

void QSEffectSettingsView::showValue(QWidget *control, const QString &key, const QVariant &value)
{
    if (auto *popUp = qobject_cast<QComboBox *>(control)) {
        const QStringList choices = m_popupChoices.value(key);
        int index = int(choices.indexOf(value.toString()));
        if (index < 0)
            index = int(choices.indexOf(rqs::localized(value.toString())));
        // A custom picture whose copy is gone shows no image rather than a dead choice; no value
        // is no picture at all, and nothing is gone.
        if (index < 0 && popUp->count() > choices.size() && !value.toString().isEmpty()
            && !QSEffectResourceStore::pathForResource(value.toString()).isEmpty())
            index = int(choices.size()) + 1;
        popUp->setCurrentIndex(index);
    } else if (auto *box = qobject_cast<QCheckBox *>(control)) {
        box->setChecked(value.toBool());
    } else if (auto *picker = qobject_cast<QSGradientPicker *>(control)) {
        picker->setGradient(value.value<platform::Gradient>());
    } else if (auto *well = qobject_cast<QSColorWell *>(control)) {
        if (const auto color = colorOf(value))
            well->setColor(QColor::fromRgbF(color->r, color->g, color->b, color->a));
    } else if (auto *slider = qobject_cast<QSSlider *>(control)) {
        slider->setDoubleValue(value.toDouble());
    } else if (auto *dial = qobject_cast<QDial *>(control)) {
        const double low = dial->property("minValue").toDouble();
        const double span = dial->property("maxValue").toDouble() - low;
        dial->setValue(span > 0 ? int((value.toDouble() - low) / span * DialSteps + 0.5) : 0);
    }
}
