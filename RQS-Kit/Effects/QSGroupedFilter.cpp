#include "RQS-Kit/Effects/QSGroupedFilter.h"

#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"

using platform::KeyValue::setValue;
using platform::fx::Filter;
using platform::fx::Image;

QSGroupedFilter::QSGroupedFilter()
    : Filter(QStringLiteral("QSGroupedFilter"), {})
{
}

QString QSGroupedFilter::idOf(const Filter *filter)
{
    return QString::asprintf("%p", static_cast<const void *>(filter));
}

Filter *QSGroupedFilter::member(const QString &id) const
{
    const auto found = m_filters.find(id);
    return found == m_filters.end() ? nullptr : found->second.get();
}

Filter *QSGroupedFilter::internFilterForFilter(const Filter *filter)
{
    const QString id = idOf(filter);
    if (Filter *known = member(id))
        return known;
    std::unique_ptr<Filter> copy = filter ? filter->copy() : nullptr;
    if (!copy) {
        platform::logWarning(QStringLiteral("QSGroupedFilter: cannot copy the filter %1").arg(id));
        return nullptr;
    }
    Filter *made = copy.get();
    m_filters.emplace(id, std::move(copy));
    m_dirtyFilters.insert(id);
    return made;
}

void QSGroupedFilter::exportKey(const QString &key, const Filter *filter, const QString &name)
{
    Filter *interned = internFilterForFilter(filter);
    if (!interned)
        return;
    const QString exported = name.isEmpty() ? key : name;
    if (interned->inputKeys().contains(key)) {
        if (m_outputValues.contains(exported)) {
            platform::logWarning(QStringLiteral("QSGroupedFilter: Key %1 is already exported as an output key.").arg(exported));
            return;
        }
        if (!m_inputValues.contains(exported))
            m_inputValues << exported;
        m_inputMapping[exported].append({idOf(filter), key});
    } else if (interned->outputKeys().contains(key)) {
        if (m_inputValues.contains(exported)) {
            platform::logWarning(QStringLiteral("QSGroupedFilter: Key %1 is already exported as an input key.").arg(exported));
            return;
        }
        if (!m_outputValues.contains(exported))
            m_outputValues << exported;
        if (m_outputMapping.contains(exported))
            platform::logWarning(QStringLiteral("QSGroupedFilter: Mapping already exists for key %1.").arg(key));
        else
            m_outputMapping.insert(exported, {idOf(filter), key});
    } else {
        platform::logWarning(
            QStringLiteral("QSGroupedFilter: Cannot export %1 as it is neither an input nor output key.").arg(key));
    }
}

bool QSGroupedFilter::feeds(const QString &upstream, const QString &member) const
{
    QSet<QString> seen;
    QList<QString> open{member};
    while (!open.isEmpty()) {
        const QString next = open.takeLast();
        if (next == upstream)
            return true;
        if (seen.contains(next))
            continue;
        seen.insert(next);
        for (const Connection &connection : m_inverseMapping.value(next))
            open << connection.source;
    }
    return false;
}

bool QSGroupedFilter::connectObject(const Filter *source, const QString &sourceKey, const Filter *target,
                                    const QString &targetKey)
{
    if (!internFilterForFilter(target))
        return false;
    if (sourceKey.isEmpty()) {
        platform::logWarning(QStringLiteral("QSGroupedFilter: a connection from a filter needs its source key"));
        return false;
    }
    const Connection connection{idOf(source), sourceKey, idOf(target), targetKey};
    // Reading a member walks its sources, so a member must never be its own source.
    if (feeds(connection.target, connection.source)) {
        platform::logWarning(QStringLiteral("QSGroupedFilter: %1 of %2 to %3 of %4 would close a cycle; not connected.")
                                 .arg(sourceKey, connection.source, targetKey, connection.target));
        return false;
    }
    m_inverseMapping[connection.target].append(connection);
    m_connections.append(connection);
    m_dirtyFilters.insert(connection.target);
    return true;
}

void QSGroupedFilter::connectObject(const QVariant &value, const Filter *target, const QString &targetKey)
{
    Filter *interned = internFilterForFilter(target);
    if (!interned)
        return;
    setValue(interned, targetKey, value);
    m_connections.append({{}, {}, idOf(target), targetKey});
    m_dirtyFilters.insert(idOf(target));
}

void QSGroupedFilter::closure(const QString &id, Pass &pass) const
{
    if (pass.closed.contains(id))
        return;
    pass.closed.insert(id);
    for (const Connection &connection : m_inverseMapping.value(id)) {
        closure(connection.source, pass);
        if (m_dirtyFilters.contains(connection.source))
            m_dirtyFilters.insert(id);
    }
}

QVariant QSGroupedFilter::pull(const QString &key, const QString &id, Pass &pass) const
{
    const QString question = id + QLatin1Char('/') + key;
    const auto answered = pass.answered.constFind(question);
    if (answered != pass.answered.constEnd())
        return *answered;
    Filter *filter = member(id);
    if (!filter)
        return {};
    if (m_dirtyFilters.contains(id)) {
        for (const Connection &connection : m_inverseMapping.value(id))
            setValue(filter, connection.targetKey, pull(connection.sourceKey, connection.source, pass));
        m_dirtyFilters.remove(id);
    }
    const QVariant value = platform::KeyValue::valueForKey(filter, key);
    pass.answered.insert(question, value);
    return value;
}

void QSGroupedFilter::calculateDirtyStateClosure(const QString &objectString)
{
    Pass pass;
    closure(objectString, pass);
}

QVariant QSGroupedFilter::valueForKey(const QString &key, const QString &objectString)
{
    Pass pass;
    return pull(key, objectString, pass);
}

QVariant QSGroupedFilter::exportedOutput(const QString &name) const
{
    const Target target = m_outputMapping.value(name);
    Pass pass;
    closure(target.member, pass);
    return pull(target.key, target.member, pass);
}

QVariant QSGroupedFilter::valueForKey(const QString &key)
{
    if (m_outputMapping.contains(key))
        return exportedOutput(key);
    if (m_inputMapping.contains(key)) {
        const Target &first = m_inputMapping.value(key).first();
        return platform::KeyValue::valueForKey(member(first.member), first.key);
    }
    return Filter::valueForKey(key);
}

bool QSGroupedFilter::setValueForKey(const QString &key, const QVariant &value)
{
    if (!m_inputMapping.contains(key))
        return Filter::setValueForKey(key, value);
    bool set = true;
    for (const Target &target : m_inputMapping.value(key)) {
        m_dirtyFilters.insert(target.member);
        set = setValue(member(target.member), target.key, value) && set;
    }
    emit keyValueChanged(key);
    return set;
}

QVariantMap QSGroupedFilter::attributes() const
{
    platform::logInfo(QStringLiteral("attributes"));
    return Filter::attributes();
}

void QSGroupedFilter::setDefaults() { platform::logInfo(QStringLiteral("Defaults")); }

QStringList QSGroupedFilter::inputKeys() const
{
    return m_inputValues;
}

QStringList QSGroupedFilter::outputKeys() const
{
    return m_outputValues;
}

QMap<QString, Filter *> QSGroupedFilter::filters() const
{
    QMap<QString, Filter *> members;
    for (const auto &[id, filter] : m_filters)
        members.insert(id, filter.get());
    return members;
}

QString QSGroupedFilter::description() const
{
    QString text = QStringLiteral("<- ");
    for (const QString &name : m_inputValues)
        text += name + QLatin1Char(' ');
    text += QStringLiteral("-> ");
    for (const QString &name : m_outputValues)
        text += name + QLatin1Char(' ');
    return text;
}

std::unique_ptr<Filter> QSGroupedFilter::copy() const
{
    auto group = std::make_unique<QSGroupedFilter>();
    for (const Connection &connection : m_connections) {
        Filter *target = member(connection.target);
        if (connection.sourceKey.isEmpty())
            group->connectObject(platform::KeyValue::valueForKey(target, connection.targetKey), target,
                                 connection.targetKey);
        else if (Filter *source = member(connection.source))
            group->connectObject(source, connection.sourceKey, target, connection.targetKey);
    }
    for (const QString &name : m_inputValues) {
        for (const Target &target : m_inputMapping.value(name))
            group->exportKey(target.key, member(target.member), name);
    }
    for (const QString &name : m_outputValues)
        group->exportKey(m_outputMapping.value(name).key, member(m_outputMapping.value(name).member), name);
    return group;
}

Image QSGroupedFilter::outputImage() const
{
    if (!m_outputMapping.contains(QStringLiteral("outputImage")))
        return {};
    return exportedOutput(QStringLiteral("outputImage")).value<Image>();
}
