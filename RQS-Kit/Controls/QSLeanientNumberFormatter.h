#pragma once

#include <QDoubleValidator>

// A number formatter for text fields that never stops the typing: whatever is typed may stand
// while it is being edited, and only a number in the field's locale (and range, when one is set)
// is acceptable as the field's value.
class QSLeanientNumberFormatter : public QDoubleValidator
{
    Q_OBJECT
public:
    explicit QSLeanientNumberFormatter(QObject *parent = nullptr);

    State validate(QString &input, int &position) const override;
};
