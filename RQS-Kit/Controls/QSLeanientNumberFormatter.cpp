#include "RQS-Kit/Controls/QSLeanientNumberFormatter.h"

QSLeanientNumberFormatter::QSLeanientNumberFormatter(QObject *parent)
    : QDoubleValidator(parent)
{
}

QValidator::State QSLeanientNumberFormatter::validate(QString &input, int &position) const
{
    const State state = QDoubleValidator::validate(input, position);
    return state == Invalid ? Intermediate : state;
}
