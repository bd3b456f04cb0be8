#pragma once

#include "RQS-Kit/Effects/QSFilter.h"
#include "RQS-Kit/Foundation/QSColor.h"

// Fills the shape of its input image with a texture of the texture catalog (or a picture the user
// put in the kit's temporary folder, or a plain colour), tinted to "inputColor", then blends it over
// the input by "inputCompositeName" unless the input is only a mask ("imageIsMask").
class QSTexturizeFilter : public QSFilter
{
    Q_OBJECT
    // Another name of "inputTextureWidth", which callers and stored settings may use.
    Q_PROPERTY(double inputTextureScale READ inputTextureScale WRITE setInputTextureScale)
    Q_CLASSINFO("dependsOn:inputTextureScale", "inputTextureWidth")

public:
    QSTexturizeFilter();
    static void registerClass();

    double inputTextureScale() const { return numberValue(QStringLiteral("inputTextureWidth")); }
    void setInputTextureScale(double scale) { setValueForKey(QStringLiteral("inputTextureWidth"), scale); }

    // The texture as chosen, before its tint.
    platform::fx::Image inputTexture() const { return m_texture; }
    // Resets the texture's drawing options to the plain ones.
    void setInputTexture(const platform::fx::Image &texture);
    unsigned textureSections() const { return m_sections; }
    double textureBaseRepeats() const { return m_baseRepeats; }
    bool scaleTexture() const { return m_scaleTexture; }
    bool noTextureShift() const { return m_noShift; }
    QSColor::Hsv textureHSV() const { return m_hsv; }
    // The texture in the tint colour; a 100 × 100 plain colour without a texture.
    platform::fx::Image cachedTexture() const;
    // Drawn instead of the tinted texture until the texture or the colour changes.
    void setCachedTexture(const platform::fx::Image &texture) { m_cachedTexture = texture; }

    platform::fx::Image outputImage() const override;
    // The base description, then the inputs and the texture's drawing options one a line.
    QString description() const override;

private:
    void chooseTexture(const QString &name);
    platform::fx::Color tintColor() const;

    platform::fx::Image m_texture;
    unsigned m_sections = 1;
    QSColor::Hsv m_hsv{0, 0, 1.0};
    double m_baseRepeats = 1.0;
    bool m_scaleTexture = false, m_noShift = true, m_choosing = false;
    mutable platform::fx::Image m_cachedTexture;
};
