#pragma once

#include "RQS-Kit/Effects/QSFrameMaterials.h"
#include "RQS-Kit/Effects/QSTexturedFrameFilter.h"
#include "RQS-Kit/Foundation/QSWindowController.h"
#include "platform/fx/PictureRenderer.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QTimer>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QParallelAnimationGroup;
class QProgressBar;
class QShortcut;
class QSColorWell;
class QSFrameCatalog;
class QSImageArray;
class QSFrameDescription;
class QSFrameEditor;
class QSImageView;
class QSShadowedScrollView;
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
    // How the shade rows are laid out: at once, or animated and perhaps with the list scrolled to its top.
    enum LayoutFlag { PlaceAtOnce = 1, Animate = 4, ScrollToTop = 0x100 };

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
    // False, drawing nothing and keeping the proportion, when the filter has no finite picture;
    // otherwise the preview is drawn away from the window, which keeps answering: a render that
    // takes more than a moment shows its progress and a Cancel button (Escape cancels too), and
    // one beyond the render budgets is refused with its reason below the preview. A change stops
    // the render under way, except while the left button is held: a drag's renders each end, and
    // the frame as it is then is drawn next, so that the preview follows the drag.
    bool previewHasChanged();
    bool isDrawingPreview() const { return m_renderer.isRendering(); }
    Q_INVOKABLE void cancelPreview(QObject *sender);
    // Rows of 38 points in two lines in a list narrower than 550 points, else of 31 in one line;
    // the animation lasts 0.25 s, 2.5 s while Shift alone is held.
    void updateLayout(int flags);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
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
    void setupForFrame(int layoutFlags);
    void addShadeRow();
    // In the shade list's coordinates.
    QRect newShadeButtonFrame() const;
    // The list scrolled as the flags ask and its edge shadows updated.
    void rowsPlaced(int flags);
    void frameRenamed(QListWidgetItem *item);
    // The frame changed while a drag let the render under way go on: drawn now.
    void drawOutdatedPreview();
    // The line below the preview: what is under way or why nothing is drawn; empty hides it.
    void showPreviewStatus(const QString &text, bool drawing);

    QSFrameCatalog &m_userCatalog, &m_systemCatalog;
    QSFrameMaterials m_materials;
    QSTexturedFrameFilter m_previewFilter;
    platform::fx::PictureRenderer m_renderer;
    // The progress shows once a render has taken this long.
    QTimer m_drawingDelay;
    // The frame changed after the render under way began.
    bool m_previewOutdated = false;
    QImage m_samplePicture;
    QPointer<QSImageArray> m_imageArray;
    QSFrameEditor *m_editor = nullptr;
    QList<QSShadeRow *> m_rows;
    // A relayout 0.3 s after the shade list's last change of frame.
    QTimer m_layoutTimer;
    QPointer<QParallelAnimationGroup> m_rowAnimation;
    int m_animatedFlags = 0;
    // The frame pop-up's entries, group titles and the separator included.
    QStringList m_framePopupEntries;
    platform::AspectRatioLayout *m_aspect = nullptr;
    QPointer<QComboBox> m_framePopup, m_texture, m_externalMask, m_internalMask, m_newShade;
    QPointer<QListWidget> m_frameList;
    QPointer<QSColorWell> m_colorWell;
    QPointer<QCheckBox> m_textureCut;
    QPointer<QWidget> m_removeFrame, m_duplicateFrame, m_shadesContainer;
    QPointer<QSShadowedScrollView> m_shadesScrollView;
    QPointer<QSImageView> m_preview;
    QPointer<QWidget> m_previewStatus, m_cancelPreview;
    QPointer<QLabel> m_previewStatusText;
    QPointer<QProgressBar> m_previewProgress;
    QPointer<QShortcut> m_cancelShortcut;
};
