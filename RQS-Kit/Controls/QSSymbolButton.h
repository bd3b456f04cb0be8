#pragma once

#include "platform/graphics/Shadow.h"
#include "platform/ui/Control.h"

#include <QString>

#include <array>
#include <optional>

// A button whose whole look is a drawing kit's symbol, found through QSSymbolRegistry by names
// built from the symbol, the visual state and the on/off state: "draw" + symbolName + a state name
// ("Off", "OffHover", "On", "OnDown", ...; falling back to the plain "", "Hover", "Down" and
// "Disabled", where an "on" button takes the down drawing at rest and the plain one when pressed),
// followed by "WithSize" when the size is flexible. A kit's general drawing
// "draw" + symbolName + ("WithSize" | "WithState") is used for every state instead. A state
// without a drawing takes the normal off drawing; a symbol without any is warned of once. The
// shadow comes from "shadowFor" + symbolName + state name in the same way. The kit draws y-up in
// the button's bounds, then the control's image is drawn over it. A click fires on release while
// the pointer is over an enabled button; the owner sets the on/off state. Main thread only.
class QSSymbolButton : public platform::Control
{
    Q_OBJECT
    Q_PROPERTY(QString styleKitName READ styleKitName WRITE setStyleKitName)
    Q_PROPERTY(QString symbolName READ symbolName WRITE setSymbolName)
    Q_PROPERTY(bool flexibleSize READ flexibleSize WRITE setFlexibleSize)
    Q_PROPERTY(int buttonState READ buttonState)
    Q_PROPERTY(bool hovered READ hovered WRITE setHovered)
    Q_PROPERTY(bool mouseDown READ isMouseDown WRITE setMouseDown)

public:
    explicit QSSymbolButton(QWidget *parent = nullptr);

    // "QSSymbolStyleKit" until one is set; that kit need not exist.
    QString styleKitName() const;
    void setStyleKitName(const QString &styleKitName);
    QString symbolName() const;
    void setSymbolName(const QString &symbolName);
    bool flexibleSize() const;
    void setFlexibleSize(bool flexibleSize);

    // 0 disabled, else 3 while pressed, 2 while hovered, 1 otherwise.
    int buttonState() const;
    bool hovered() const;
    void setHovered(bool hovered);
    bool isMouseDown() const;
    void setMouseDown(bool mouseDown);
    void setState(int state) override;

    // The per-state drawing's name for a state name ("OffHover").
    QString selectorOfType(const QString &type) const;
    // The drawing used for a visual state; empty when there is none.
    QString invocationForState(int state, bool on) const;
    std::optional<platform::Shadow> shadowForState(int state, bool on) const;
    // The shadow that drawing casts now.
    std::optional<platform::Shadow> currentShadow() const;

    void drawRect(const QRectF &dirtyRect) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;
    void updateTrackingAreas() override;

private:
    // The state names tried first and then as fallback.
    static QString stateName(int state, bool on, bool plain);
    QString generalSelector() const;
    void updateInvocationType();
    int index() const;
    bool isOn() const;

    QString m_styleKitName = QStringLiteral("QSSymbolStyleKit");
    QString m_symbolName;
    bool m_flexibleSize = false;
    bool m_hovered = false;
    bool m_mouseDown = false;
    bool m_general = false;
    std::array<QString, 8> m_invocations;
    std::array<std::optional<platform::Shadow>, 8> m_shadows;
    int m_trackingArea = 0;
    QString m_reportedMissing;
};
