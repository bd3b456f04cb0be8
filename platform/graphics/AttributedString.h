#pragma once

#include <QList>
#include <QString>
#include <QTextLayout>

namespace platform {

// Text with character formats: the ranges follow each other without overlap and cover the text.
struct AttributedString
{
    QString text;
    QList<QTextLayout::FormatRange> ranges;
};

} // namespace platform
