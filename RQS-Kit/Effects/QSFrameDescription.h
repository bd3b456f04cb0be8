#pragma once

#include "RQS-Kit/Effects/QSFrameImageDescription.h"
#include "RQS-Kit/Effects/QSMaskDescription.h"
#include "RQS-Kit/Effects/QSShadeDescription.h"
#include "platform/fx/Color.h"
#include "platform/ui/UndoManager.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

// One picture frame: name, texture and tint, fill mode, masks, inset and a stack of shades, read
// from and written to a frame dictionary. Resource names are looked up as prefixes of files in the
// frame bundle's folders only. Entries this version does not know are kept and written back.
class QSFrameDescription : public QObject
{
    Q_OBJECT

public:
    enum Change { Shades = 1, Texture = 2, Masks = 4 };

    QSFrameDescription(const QVariantMap &dictionary, const QString &bundlePath, bool editable);

    QVariantMap saveDictionary() const;

    // A frame with an undo manager, or one told to post its changes (a catalog's, so that they are
    // saved), posts every change: "FrameShadeChanged", "FrameTextureChanged", "FrameMaskChanged"
    // as the bits of Change say, then "FrameChanged", and "FrameUndo" last for a change an undo or
    // redo replays. Its caches follow every change regardless.
    void sendChangeNotification(int bits);
    void setPostsChanges(bool posts) { m_postsChanges = posts; }

    // Every setter below registers its inverse here, as a step named from the strings table. None
    // for frames that nobody edits.
    platform::UndoManager *undoManager() const { return m_undoManager; }
    void setUndoManager(platform::UndoManager *undoManager) { m_undoManager = undoManager; }

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    const QString &textureName() const { return m_textureName; }
    // Resolved by the texture catalog; the colour becomes the texture's own (black without one).
    void setTextureName(const QString &name);
    platform::fx::Color textureColor() const { return m_textureColor; }
    void setTextureColor(const platform::fx::Color &color);
    int textureFillMode() const { return m_fillMode; }
    void setTextureFillMode(int mode);
    const QString &externalMaskName() const { return m_externalMask; }
    void setExternalMaskName(const QString &name);
    const QString &internalMaskName() const { return m_internalMask; }
    void setInternalMaskName(const QString &name);
    // The mask of the picture itself; plain stores, as are the inset's, registering and posting
    // nothing.
    const QString &imageMaskName() const { return m_imageMask; }
    void setImageMaskName(const QString &name);
    // 0 lays the frame wholly around the picture, 1 wholly on it: a number beyond becomes the
    // nearer end, and one that is not finite leaves the inset as it was, each with a warning.
    // Shade intensities, read or set, keep within 0 to 1 the same way.
    double inset() const { return m_inset; }
    void setInset(double inset);
    bool isEditable() const { return m_editable; }

    const QList<std::shared_ptr<QSShadeDescription>> &shades() const { return m_shades; }
    void insertShade(std::shared_ptr<QSShadeDescription> shade, int index);
    // At the end of the stack.
    void addShade(std::shared_ptr<QSShadeDescription> shade);
    void removeShadeAtIndex(int index);
    // The shade at the index takes the file of another shade name, with the drawing options that
    // file's name carries; blend mode and intensity stay. False, with a warning, for an index not
    // in the stack or a name no shade file begins with.
    bool setShadeName(const QString &name, int index);
    // One undo step per pointer gesture: the changes of a drag undo together to the intensity
    // before it.
    void setShadeIntensity(double intensity, int index);
    // Takes {"undoObject": intensity, "undoIndex": index}, the record that undoes an intensity change.
    void setShadeIntensityUndoDescription(const QVariantMap &description);
    void setShadeBlendMode(const QString &mode, int index);
    // The first picture file in the folder of the frame bundle whose name begins with the
    // identifier; empty for none, and for a folder outside the bundle or an identifier that is a
    // path.
    QUrl urlForResourceID(const QString &identifier, const QString &folder) const;
    // In the bundle's folder of shades.
    QUrl urlForShadeName(const QString &name) const;
    // Null for an identifier no shade file starts with.
    std::shared_ptr<QSShadeDescription> shadeNamed(const QString &identifier, const QString &blendMode,
                                                   double intensity) const;

    // Null without mask names.
    std::shared_ptr<const QSMaskDescription> mask() const;
    // The picture's mask, made on first use from the identifier part of the image mask's name;
    // null without a name or without a file of that identifier.
    std::shared_ptr<const QSFrameImageDescription> imageMask() const;
    // The stack with runs of neighbouring joinable shades joined; drawn in the same order.
    const QList<std::shared_ptr<QSShadeDescription>> &optimizedShades() const;

    // The key-value hook: the intensity's undo record, else the properties.
    Q_INVOKABLE bool setValueForKey(const QString &key, const QVariant &value);

private:
    // The value within 0 to 1, the range of the inset and of a shade's intensity: beyond it the
    // nearer end, not finite the fallback, each with a warning naming the key.
    double fraction(double value, double fallback, const char *key) const;
    QString pathForResourceID(const QString &identifier, const QString &type) const;
    void setTexture(const QString &name, const std::optional<platform::fx::Color> &color);
    void registerUndo(const QString &actionName, std::function<void()> inverse);

    QString m_bundlePath;
    bool m_editable;
    bool m_postsChanges = false;
    QPointer<platform::UndoManager> m_undoManager;
    QString m_name, m_textureName, m_externalMask, m_internalMask, m_imageMask;
    platform::fx::Color m_textureColor{0, 0, 0, 1};
    int m_fillMode = 0;
    double m_inset = 0;
    QList<std::shared_ptr<QSShadeDescription>> m_shades;
    QVariantList m_unknownShades;
    QVariantMap m_unknownEntries;
    mutable std::shared_ptr<const QSMaskDescription> m_mask;
    mutable std::shared_ptr<const QSFrameImageDescription> m_imageMaskDescription;
    mutable std::optional<QList<std::shared_ptr<QSShadeDescription>>> m_optimized;
};
