#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

// Sets an environment variable, or unsets it for a null value, until the scope ends.
class EnvironmentScope
{
public:
    EnvironmentScope(const char *name, const QString &value)
        : m_name(name)
        , m_old(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    }
    ~EnvironmentScope()
    {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }
    EnvironmentScope(const EnvironmentScope &) = delete;
    EnvironmentScope &operator=(const EnvironmentScope &) = delete;

private:
    const char *m_name;
    std::optional<QByteArray> m_old;
};
