#pragma once

#include "platform/graphics/Shadow.h"

#include <QAbstractButton>
#include <QString>

#include <optional>

// A push button whose whole look is a drawing kit's symbol, found through QSSymbolRegistry. Each
// redraw calls the kit's operation "draw" + symbolName + state, followed by "WithSize" when the
// size is flexible; the state is "" (normal), "Hover", "Down" or "Disabled". A state the kit does
// not draw takes the normal drawing; without that nothing is drawn and a warning is logged once.
// The drawing casts the kit's shadow "shadowFor" + symbolName + state, else the normal state's,
// else none. The kit draws y-up in the button's bounds. A click fires on release over the button.
// Main thread only.
class QSSymbolButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QString styleKitName READ styleKitName WRITE setStyleKitName)
    Q_PROPERTY(QString symbolName READ symbolName WRITE setSymbolName)
    Q_PROPERTY(bool flexibleSize READ flexibleSize WRITE setFlexibleSize)

public:
    explicit QSSymbolButton(QWidget *parent = nullptr);

    // "QSSymbolStyleKit" until one is set; that kit need not exist.
    QString styleKitName() const;
    void setStyleKitName(const QString &styleKitName);
    QString symbolName() const;
    void setSymbolName(const QString &symbolName);
    bool flexibleSize() const;
    void setFlexibleSize(bool flexibleSize);

    // 0 disabled, 1 normal, 2 hover, 3 down.
    int buttonState() const;
    // The drawing operation's name for a state name ("Hover").
    QString selectorOfType(const QString &type) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    static QString stateName(int state);
    std::optional<platform::Shadow> shadowForState(int state) const;
    void setHovered(bool hovered);

    QString m_styleKitName = QStringLiteral("QSSymbolStyleKit");
    QString m_symbolName;
    bool m_flexibleSize = false;
    bool m_hovered = false;
    QString m_reportedMissing;
};
