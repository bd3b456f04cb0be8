#pragma once

#include "platform/fx/Image.h"
#include "platform/graphics/Gradient.h"

#include <QList>
#include <QObject>
#include <QVariant>

#include <memory>
#include <optional>

namespace platform::fx {

// One input a filter takes, with what the settings panels build their controls from.
struct InputAttribute
{
    // A Rectangle input also takes a number: the kit's defaults give NO where there is no
    // rectangle.
    enum class Kind { Image, Number, Boolean, Vector, Color, Transform, String, Rectangle, Gradient };

    QString key;
    Kind kind = Kind::Number;
    // Invalid where there is none (images).
    QVariant defaultValue = {};
    std::optional<double> minimum = {}, maximum = {}, sliderMinimum = {}, sliderMaximum = {};
    // The allowed values of a choice input; empty for any other.
    QStringList choices = {};
    // Inputs whose values this input's setter sets in turn: a value given for them is applied
    // after this one, so that it is kept.
    QStringList overrides = {};
};

// Booleans, integers and reals: what a number input takes (property lists store numbers as any).
bool isNumeric(const QVariant &value);

// A filter: named inputs set by key, an output image computed from them on demand. Driven by key
// like the other keyed objects (KeyValue's valueForKey / setValueForKey); an input that was never
// set reads as its default. Kit filters derive from it and override outputImage.
class Filter : public QObject
{
    Q_OBJECT

public:
    Filter(QString name, QList<InputAttribute> inputs);

    const QString &name() const { return m_name; }
    virtual QStringList inputKeys() const;
    QStringList outputKeys() const { return {QStringLiteral("outputImage")}; }
    // "CIAttributeFilterName" → the name, and per input key a map with "CIAttributeClass" and,
    // where given, "CIAttributeDefault", "CIAttributeMin", "CIAttributeMax",
    // "CIAttributeSliderMin", "CIAttributeSliderMax", "choices".
    virtual QVariantMap attributes() const;
    const QList<InputAttribute> &inputAttributes() const { return m_inputs; }
    // The declared input of that key; nullptr for none.
    const InputAttribute *input(const QString &key) const;
    // Sets every input that has a default to it.
    virtual void setDefaults();
    // A new filter of the same name, its inputs set through the setters in applying order, so that
    // it renders as this one does; null when the name is not registered.
    virtual std::unique_ptr<Filter> copy() const;
    // The keys in the order in which to set them: inputs in the order the filter declares them,
    // except that an input comes before the inputs it overrides; then other keys as given.
    QStringList applyingOrder(const QStringList &keys) const;

    // Null when a required image is missing.
    virtual Image outputImage() const = 0;

    // "<NAME: KEY=VALUE ...>" over the inputs in their declared order.
    virtual QString description() const;
    // A value as the descriptions show it: "(null)" for none, an image by its extent, colours and
    // vectors by their numbers.
    static QString describe(const QVariant &value);

    // "outputImage" or an input key; an unknown key is an invalid value and a "Warning: " line.
    Q_INVOKABLE QVariant valueForKey(const QString &key);
    // False with a "Warning: " line for an unknown key, a value of the wrong kind (numbers
    // convert to numbers and booleans) or one holding a number that is not finite; numbers beyond
    // Numbers::largest are kept to it with a "Warning: " line. An invalid value unsets the input.
    Q_INVOKABLE bool setValueForKey(const QString &key, const QVariant &value);

    QVariant value(const QString &key) const;
    // The value set for the input; invalid while it reads as its default.
    QVariant givenValue(const QString &key) const { return m_values.value(key); }
    Image imageValue(const QString &key) const;
    double numberValue(const QString &key) const;
    Vector vectorValue(const QString &key) const;
    Color colorValue(const QString &key) const;
    QTransform transformValue(const QString &key) const;
    // nullopt for anything that is not a rectangle, such as the NO of a default.
    std::optional<QRectF> rectValue(const QString &key) const;
    Gradient gradientValue(const QString &key) const;

signals:
    void keyValueChanged(const QString &key);

private:
    QString m_name;
    QList<InputAttribute> m_inputs;
    QVariantMap m_values;
};

} // namespace platform::fx
