#pragma once

#include <QPointer>
#include <QVariant>

#include <functional>

namespace platform {

class KeyValueObserver;

// Handle of one observation made by KeyValue::observe. Copies refer to the same observation;
// letting the handle go does not end it.
class KeyValueObservation
{
public:
    using Callback = std::function<void(const QVariant &value)>;

    KeyValueObservation() = default;
    explicit KeyValueObservation(KeyValueObserver *observer);

    bool isConnected() const;
    // Safe from inside the observation's own callback.
    void disconnect();

private:
    QPointer<KeyValueObserver> m_observer;
};

} // namespace platform
