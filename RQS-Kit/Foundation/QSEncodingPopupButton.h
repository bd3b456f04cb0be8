#pragma once

#include <QComboBox>

// The encoding menu: every entry of QSEncoding's table, tagged with its code page, with the
// table's separator. Rows are chosen by index, so that of two entries sharing a code page the
// one the user chose stays shown.
class QSEncodingPopupButton : public QComboBox
{
    Q_OBJECT
public:
    explicit QSEncodingPopupButton(QWidget *parent = nullptr);

    void setupButton();
    void addItemWithTitle(const QString &title, quint64 tag);

    // The shown row's code page.
    quint64 selectedEncoding() const;
    // The shown row when it has that code page, else the first row that has it; false (logged) when there is none.
    bool selectItemWithEncoding(quint64 codePage);
};
