#include "platform/foundation/KeyValueBinding.h"

#include "platform/foundation/KeyValue.h"

namespace platform {

KeyValueBinding::KeyValueBinding(QObject *target, const QString &targetKey, QObject *source,
                                 const QString &sourceKey)
    : QObject(target), m_target(target), m_targetKey(targetKey), m_source(source), m_sourceKey(sourceKey)
{
}

KeyValueBinding::~KeyValueBinding() { stop(); }

bool KeyValueBinding::start(bool twoWay)
{
    m_observation = KeyValue::observe(m_source, m_sourceKey, this, [this](const QVariant &) { apply(); });
    if (!m_observation.isConnected())
        return false;
    if (twoWay) {
        m_writeBack = KeyValue::observe(m_target, m_targetKey, this, [this](const QVariant &value) { writeBack(value); });
        if (!m_writeBack.isConnected()) {
            m_observation.disconnect();
            return false;
        }
    }
    apply();
    return true;
}

void KeyValueBinding::stop()
{
    m_observation.disconnect();
    m_writeBack.disconnect();
}

bool KeyValueBinding::isApplying() const { return m_applying; }

QString KeyValueBinding::targetKey() const { return m_targetKey; }

QObject *KeyValueBinding::source() const { return m_source; }

QString KeyValueBinding::sourceKey() const { return m_sourceKey; }

void KeyValueBinding::apply()
{
    // A change that comes round again through a binding running the other way stops here.
    if (m_applying || !m_source)
        return;
    m_applying = true;
    KeyValue::setValue(m_target, m_targetKey, KeyValue::valueForKey(m_source, m_sourceKey));
    m_applying = false;
}

void KeyValueBinding::writeBack(const QVariant &value)
{
    // What the binding itself set is the source's value already.
    if (m_applying || !m_source)
        return;
    m_applying = true;
    KeyValue::setValue(m_source, m_sourceKey, value);
    m_applying = false;
}

} // namespace platform
