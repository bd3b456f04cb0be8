#include "platform/foundation/KeyValueObservation.h"

#include "platform/foundation/KeyValueObserver.h"

namespace platform {

KeyValueObservation::KeyValueObservation(KeyValueObserver *observer) : m_observer(observer) {}

bool KeyValueObservation::isConnected() const { return m_observer && m_observer->isActive(); }

void KeyValueObservation::disconnect()
{
    if (m_observer)
        m_observer->stop();
    m_observer.clear();
}

} // namespace platform
