#pragma once

#include <QPushButton>
#include <QSizeF>
#include <QString>

// The kit's push button. Titles set through setTitle are translated through the main bundle's
// strings table "Controls". Until the button draws state images of its own, it looks and measures
// like the platform's push button. Main thread only.
class QSButton : public QPushButton
{
    Q_OBJECT
public:
    explicit QSButton(QWidget *parent = nullptr);

    QString title() const;
    // The title is its own key and fallback.
    void setTitle(const QString &title);

    // What the current title and image need.
    QSizeF intrinsicContentSize() const;
};
