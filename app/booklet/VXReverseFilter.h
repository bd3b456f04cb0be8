#pragma once

#include "app/booklet/VXFilter.h"

// The input's padded pages back to front: the padding comes first, the first page last.
class VXReverseFilter : public VXFilter
{
    Q_OBJECT

public:
    explicit VXReverseFilter(QObject *parent = nullptr);

    VXPagePtr objectAtIndexedSubscript(quint64 index) const override;
    quint64 indexForPage(const VXPagePtr &page) const override;
};
