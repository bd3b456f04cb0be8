#pragma once

#include "RQS-Kit/Controls/QSButtonBackgroundCache.h"
#include "RQS-Kit/Controls/QSButtonImages.h"
#include "RQS-Kit/Controls/QSButtonStyle.h"
#include "platform/ui/Control.h"

#include <QTimer>
#include <QVariantMap>

#include <array>

// The kit's image-driven push button. Its look comes from resources found by its name: a
// description folder "<name>.button" of the main bundle (three-slice backgrounds, symbols and a
// per-state text style), else images named after it. A light and a dark ("-Dark") variant of every
// image are chosen by the palette. Over the background it draws an image, a symbol, a title and a
// sub-title, y-up.
//
// The visual state (buttonState) is 0 disabled, 1 normal, 2 hover or 3 down; requests 6 (a click
// released over the button) and 7 (a click made in code) send the action and are never stored.
// While the pointer is over it, it shows the pointing-hand cursor and its hint, and its tool tip
// after a delay. Main thread only.
class QSButton : public platform::Control
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString symbolName READ symbolName WRITE setSymbolName)
    Q_PROPERTY(int buttonState READ buttonState)
    Q_PROPERTY(bool isHovered READ isHovered)
    Q_PROPERTY(bool isSwitchButton READ isSwitchButton WRITE setIsSwitchButton)
    Q_PROPERTY(bool stateIndependent READ stateIndependent WRITE setStateIndependent)
    Q_PROPERTY(bool noScaling READ noScaling WRITE setNoScaling)
    Q_PROPERTY(QString subTitle READ subTitle WRITE setSubTitle)
    Q_PROPERTY(double subTitleFactor READ subTitleFactor WRITE setSubTitleFactor)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
    Q_PROPERTY(QString textColorName READ textColorName WRITE setTextColorName)
    Q_PROPERTY(QString textShadowName READ textShadowName WRITE setTextShadowName)
    Q_PROPERTY(double textMargin READ textMargin)
    Q_PROPERTY(double textOffsetY READ textOffsetY)
    Q_PROPERTY(int imageAlignment READ imageAlignment WRITE setImageAlignment)
    Q_PROPERTY(QString hint READ hint WRITE setHint)
    Q_PROPERTY(QString toolTip READ toolTip WRITE setToolTip)
    Q_PROPERTY(QString disabledToolTip READ disabledToolTip WRITE setDisabledToolTip)
    Q_PROPERTY(bool disableTracking READ disableTracking WRITE setDisableTracking)
    Q_PROPERTY(bool isRemoteControlled READ isRemoteControlled WRITE setIsRemoteControlled)
    Q_PROPERTY(QString appearanceExtension READ appearanceExtension WRITE setAppearanceExtension)
    Q_PROPERTY(int backgroundsRendered READ backgroundsRendered)

public:
    explicit QSButton(QWidget *parent = nullptr);
    ~QSButton() override;

    QString name() const;
    virtual void setName(const QString &name);
    QString symbolName() const;
    // The folder "<symbolName>.symbol" gives the symbols in place of the description folder's.
    void setSymbolName(const QString &symbolName);
    QString appearanceExtension() const;
    // "" or "-Dark"; a change reloads every image.
    void setAppearanceExtension(const QString &extension);
    // Loads the images and style of the name again.
    void updateButton();
    void loadButtonInDirectory(const QString &folder);
    void loadSymbolsInDirectory(const QString &folder);

    int buttonState() const;
    virtual void setButtonState(int request);
    bool isHovered() const;
    bool isSwitchButton() const;
    void setIsSwitchButton(bool isSwitchButton);
    bool stateIndependent() const;
    // The on symbols are the off ones themselves, else derived from them, unless loaded apart.
    void setStateIndependent(bool stateIndependent);
    void setState(int state) override;
    // Looked up in the strings table "Controls"; the title is its own key and fallback.
    void setTitle(const QString &title) override;
    bool sendAction(const QString &action, QObject *target) override;
    // "QSButton (<name>): <title>", for logs.
    QString description() const;

    bool noScaling() const;
    void setNoScaling(bool noScaling);
    QString subTitle() const;
    void setSubTitle(const QString &subTitle);
    double subTitleFactor() const;
    void setSubTitleFactor(double factor);
    QColor textColor() const;
    void setTextColor(const QColor &color);
    // The description of the colour the text is drawn in now.
    QString textColorName() const;
    void setTextColorName(const QString &description);
    // The preset of that name for normal, with its "Disabled", "Hover" and "Down" variants.
    QString textShadowName() const;
    void setTextShadowName(const QString &name);
    std::optional<platform::Shadow> textShadow() const;
    void setTextShadow(const std::optional<platform::Shadow> &shadow);
    double textMargin() const;
    double textOffsetY() const;
    QMarginsF padding() const;
    // Where the control's own image sits: 0 left, 1 right, 2 centre.
    int imageAlignment() const;
    void setImageAlignment(int alignment);
    QString hint() const;
    void setHint(const QString &hint);
    // Stored localised; shown by the kit's tool-tip window, never by Qt's own.
    QString toolTip() const;
    void setToolTip(const QString &toolTip);
    QString disabledToolTip() const;
    void setDisabledToolTip(const QString &toolTip);
    bool disableTracking() const;
    void setDisableTracking(bool disableTracking);
    // Someone else drives the hover state; the button tracks nothing itself.
    bool isRemoteControlled() const;
    void setIsRemoteControlled(bool remoteControlled);

    QVariantMap buttonInfo() const;
    bool hasDisabledDescription() const;
    QSButtonImages::ImageSet midImages(bool on) const;
    QSButtonImages::ImageSet leftImages(bool on) const;
    QSButtonImages::ImageSet rightImages(bool on) const;
    QSButtonImages::ImageSet symbolImages(bool on) const;
    int backgroundsRendered() const;

    // What the title, image, symbol and middle image need.
    QSizeF intrinsicContentSize() const;
    QSize sizeHint() const override;
    // Layouts never make a button smaller than it needs.
    QSize minimumSizeHint() const override;
    // Where the control's own image goes in the rectangle.
    QRectF imageRectIn(const QRectF &rect) const;
    void drawRect(const QRectF &dirtyRect) override;

    // Space and Return click a focused button.
    void keyDown(QKeyEvent *event) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;
    void updateTrackingAreas() override;

protected:
    // The description folder the look is loaded from: "<name>.button" of the main bundle; empty
    // when there is none, and then images named after the button are used.
    virtual QString descriptionFolder() const;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // Applies the text style of the current visual state.
    void updateButtonState();
    // The title colour as drawn: dimmed while disabled unless the description styles that state.
    QColor drawnColor(const QColor &color) const;
    // At half its alpha.
    static QColor dimmed(const QColor &color);
    QSButtonStyle &style();

private:
    struct TextBox;
    TextBox titleBox(const QString &text, double factor, const QColor &color) const;
    void drawBackground(QRectF &rect, int slot);
    // Keys go to a focused button: it says so with a ring in the highlight colour.
    void drawFocusRing(const QRectF &rect);
    void showToolTipTimed();
    void leaveWindow(QWidget *window);
    bool isOn() const;

    QString m_name;
    QString m_symbolName;
    QString m_appearanceExtension;
    QVariantMap m_buttonInfo;
    QSButtonImages::ImageSet m_leftOff, m_midOff, m_rightOff, m_leftOn, m_midOn, m_rightOn, m_symbolOff, m_symbolOn;
    bool m_isSwitchButton = false;
    bool m_stateIndependent = false;
    QSButtonStyle m_style;
    std::array<QString, 4> m_shadowNames;

    int m_buttonState = -1;
    bool m_isHovered = false;
    bool m_noScaling = false;
    QString m_subTitle;
    double m_subTitleFactor = 0;
    int m_imageAlignment = 0;
    QString m_hint;
    QString m_toolTip;
    QString m_disabledToolTip;
    bool m_disableTracking = false;
    bool m_isRemoteControlled = false;
    bool m_trackingPending = false;
    int m_trackingArea = 0;
    QTimer m_insideTimer;
    QSButtonBackgroundCache m_cache;
};
