#include "RQS-Kit/Foundation/QSEncodingPopupButton.h"

#include "RQS-Kit/Foundation/QSEncoding.h"
#include "platform/foundation/Log.h"

QSEncodingPopupButton::QSEncodingPopupButton(QWidget *parent)
    : QComboBox(parent)
{
    setupButton();
}

void QSEncodingPopupButton::setupButton()
{
    clear();
    for (const std::optional<QSEncoding> &entry : QSEncoding::encodings()) {
        if (entry)
            addItemWithTitle(entry->name(), entry->codePage());
        else
            insertSeparator(count());
    }
}

void QSEncodingPopupButton::addItemWithTitle(const QString &title, quint64 tag) { addItem(title, QVariant::fromValue(tag)); }

quint64 QSEncodingPopupButton::selectedEncoding() const { return currentData().toULongLong(); }

bool QSEncodingPopupButton::selectItemWithEncoding(quint64 codePage)
{
    // The shown row may be a later entry of the same code page; it stays.
    if (count() > 0 && selectedEncoding() == codePage)
        return true;
    const int row = findData(QVariant::fromValue(codePage));
    if (row < 0) {
        platform::logWarning(QStringLiteral("The encoding menu has no entry for %1").arg(codePage));
        return false;
    }
    setCurrentIndex(row);
    return true;
}
