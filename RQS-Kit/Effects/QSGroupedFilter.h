#pragma once

#include "platform/fx/Filter.h"

#include <QHash>
#include <QMap>
#include <QSet>

#include <map>
#include <memory>

// A filter made of member filters: connections feed an output key of one member (or a fixed value)
// into an input key of another, and exported keys are the group's own inputs and outputs. Reading
// an exported output evaluates only the members whose inputs changed since they were last read.
// Members are the group's copies of the filters given, known by the address ("%p") of the given
// filter. The connections stay acyclic: one that would close a cycle is refused.
class QSGroupedFilter : public platform::fx::Filter
{
    Q_OBJECT

public:
    QSGroupedFilter();

    // The member for that filter, a copy made and marked changed on first use; null, with a
    // "Warning: " line, when the filter cannot be copied.
    platform::fx::Filter *internFilterForFilter(const platform::fx::Filter *filter);
    // An empty name exports the key under its own name.
    void exportKey(const QString &key, const platform::fx::Filter *filter, const QString &name = {});
    // False, with a "Warning: " line, when the connection would close a cycle or names no source key.
    bool connectObject(const platform::fx::Filter *source, const QString &sourceKey, const platform::fx::Filter *target,
                       const QString &targetKey);
    // A fixed value, set on the target's member at once.
    void connectObject(const QVariant &value, const platform::fx::Filter *target, const QString &targetKey);

    Q_INVOKABLE QVariant valueForKey(const QString &key);
    Q_INVOKABLE bool setValueForKey(const QString &key, const QVariant &value);
    // The member's value of the key after its changed sources have been read into it.
    QVariant valueForKey(const QString &key, const QString &objectString);
    // Marks the member changed when any member that feeds it is.
    void calculateDirtyStateClosure(const QString &objectString);

    // Both say so on the log; the members keep their values.
    QVariantMap attributes() const override;
    void setDefaults() override;
    QStringList inputKeys() const override;
    QStringList outputKeys() const;
    QMap<QString, platform::fx::Filter *> filters() const;
    QString description() const;
    std::unique_ptr<platform::fx::Filter> copy() const override;
    // The exported "outputImage"; null when there is none.
    platform::fx::Image outputImage() const override;

private:
    struct Target
    {
        QString member, key;
    };
    struct Connection
    {
        // An empty source key marks a fixed value.
        QString source, sourceKey;
        QString target, targetKey;
    };
    // What one read has already visited and answered, so that shared sources are read once.
    struct Pass
    {
        QSet<QString> closed;
        QHash<QString, QVariant> answered;
    };

    static QString idOf(const platform::fx::Filter *filter);
    platform::fx::Filter *member(const QString &id) const;
    bool feeds(const QString &upstream, const QString &member) const;
    void closure(const QString &member, Pass &pass) const;
    QVariant pull(const QString &key, const QString &member, Pass &pass) const;
    QVariant exportedOutput(const QString &name) const;

    std::map<QString, std::unique_ptr<platform::fx::Filter>> m_filters;
    QStringList m_inputValues, m_outputValues;
    QHash<QString, QList<Target>> m_inputMapping;
    QHash<QString, Target> m_outputMapping;
    QList<Connection> m_connections;
    QHash<QString, QList<Connection>> m_inverseMapping;
    mutable QSet<QString> m_dirtyFilters;
};
