#pragma once

#include "RQS-Kit/Effects/QSFrameMaterials.h"
#include "RQS-Kit/Effects/QSTexturedFrameFilter.h"
#include "RQS-Kit/Foundation/QSWindowController.h"

#include <QImage>
#include <QList>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QListWidget;
class QListWidgetItem;
class QSColorWell;
class QSFrameCatalog;
class QSImageArray;
class QSFrameDescription;
class QSFrameEditor;
class QSImageView;
class QSShadeRow;
class QWidget;
namespace platform {
class AspectRatioLayout;
}

// The frame editor: the user's own frames and the built-in ones in a list, the chosen frame drawn
// around a sample picture, and for the user's frames their texture, colour, cut, masks and shade
// stack, every edit undoable through the window's undo manager. Its window comes from its
// interface file. Main thread only.
class QSMaterialBuilder : public QSWindowController
{
    Q_OBJECT

public:
    QSMaterialBuilder(QSFrameCatalog &userCatalog, QSFrameCatalog &systemCatalog, QObject *parent = nullptr);
    ~QSMaterialBuilder() override;
    // Over the shared catalogs.
    static QSMaterialBuilder &sharedMaterialBuilder();

    // The area of the preview picture is at most the square of the user default "QSMBPreviewSize".
    // A picture set here wins; else the sample pictures' current one, else "PreviewImage".
    void setSamplePicture(const QImage &picture);
    // The shared sample pictures at first; the preview follows their current picture.
    void setImageArray(QSImageArray *imageArray);
    QSFrameEditor &editor() const { return *m_editor; }
    const QList<QSShadeRow *> &shadeRows() const { return m_rows; }
    QImage previewImage() const;
    double previewAspectRatio() const;

    Q_INVOKABLE void selectTexture(QObject *sender);
    Q_INVOKABLE void selectTextureColor(QObject *sender);
    Q_INVOKABLE void selectTextureCut(QObject *sender);
    Q_INVOKABLE void selectExternalMask(QObject *sender);
    Q_INVOKABLE void selectInternalMask(QObject *sender);
    // False for the title item, a separator or a group title.
    Q_INVOKABLE bool addNewShade(QObject *sender);
    Q_INVOKABLE void addUserFrame(QObject *sender);
    Q_INVOKABLE void duplicateFrame(QObject *sender);
    Q_INVOKABLE void removeUserFrame(QObject *sender);
    Q_INVOKABLE void frameSelected(QObject *sender);

    // The sample picture again, as the user default may have changed.
    void updatePreviewInputImage();
    // False, drawing nothing and keeping the proportion, when the filter has no finite picture.
    bool previewHasChanged();

protected:
    void windowDidLoad() override;
    void windowWillClose(const platform::Notification &notification) override;

private:
    template <class T>
    T *outlet(const char *name);
    bool selectShade(int row, int shadeIndex);
    QString addUserFrame(const QVariantMap &dictionary, const QString &baseName);
    void reloadFrames();
    void showSelectedFrame();
    void showFrame(std::shared_ptr<QSFrameDescription> frame);
    void setupForFrame();
    void addShadeRow();
    void frameRenamed(QListWidgetItem *item);

    QSFrameCatalog &m_userCatalog, &m_systemCatalog;
    QSFrameMaterials m_materials;
    QSTexturedFrameFilter m_previewFilter;
    QImage m_samplePicture;
    QPointer<QSImageArray> m_imageArray;
    QSFrameEditor *m_editor = nullptr;
    QList<QSShadeRow *> m_rows;
    platform::AspectRatioLayout *m_aspect = nullptr;
    QPointer<QComboBox> m_framePopup, m_texture, m_externalMask, m_internalMask, m_newShade;
    QPointer<QListWidget> m_frameList;
    QPointer<QSColorWell> m_colorWell;
    QPointer<QCheckBox> m_textureCut;
    QPointer<QWidget> m_removeFrame, m_duplicateFrame, m_shadesContainer;
    QPointer<QSImageView> m_preview;
};
