#include "RQS-Kit/Effects/QSFilterGenerator.h"

std::unique_ptr<QSFilterGenerator> QSFilterGenerator::filterGenerator()
{
    return std::make_unique<QSFilterGenerator>();
}

void QSFilterGenerator::exportKey(const QString &key, const platform::fx::Filter *filter, const QString &name)
{
    m_generatedFilter.exportKey(key, filter, name);
}

bool QSFilterGenerator::connectObject(const platform::fx::Filter *source, const QString &sourceKey,
                                      const platform::fx::Filter *target, const QString &targetKey)
{
    return m_generatedFilter.connectObject(source, sourceKey, target, targetKey);
}

void QSFilterGenerator::connectObject(const QVariant &value, const platform::fx::Filter *target, const QString &targetKey)
{
    m_generatedFilter.connectObject(value, target, targetKey);
}
