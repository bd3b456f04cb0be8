#pragma once

#include "RQS-Kit/Effects/QSGroupedFilter.h"

// Builds one grouped filter with the operations of a filter generator.
class QSFilterGenerator
{
public:
    static std::unique_ptr<QSFilterGenerator> filterGenerator();

    void exportKey(const QString &key, const platform::fx::Filter *filter, const QString &name = {});
    bool connectObject(const platform::fx::Filter *source, const QString &sourceKey, const platform::fx::Filter *target,
                       const QString &targetKey);
    void connectObject(const QVariant &value, const platform::fx::Filter *target, const QString &targetKey);
    // The same group on every call.
    QSGroupedFilter *filter() { return &m_generatedFilter; }

private:
    QSGroupedFilter m_generatedFilter;
};
