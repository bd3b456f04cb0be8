#include "RQS-Kit/Effects/QSMaterialBuilder.h"

#include "RQS-Kit/Controls/QSColorWell.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Controls/QSShadowedScrollView.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSFrameEditor.h"
#include "RQS-Kit/Controls/QSDropView.h"
#include "RQS-Kit/Effects/QSImageArray.h"
#include "RQS-Kit/Foundation/QSCachedImage.h"
#include "RQS-Kit/Effects/QSShadeRow.h"
#include "RQS-Kit/Effects/QSTextureCatalog.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Foundation/PopUpButtonExtension.h"
#include "RQS-Kit/Foundation/QSLocalizeHelper.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AspectRatioLayout.h"
#include "platform/ui/UndoManager.h"
#include "platform/ui/ViewUndo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QListWidget>
#include <QParallelAnimationGroup>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>

#include <cmath>

namespace {

const QString PreviewSizeKey = QStringLiteral("QSMBPreviewSize");
constexpr int IDRole = Qt::UserRole;
constexpr int UserFrameRole = Qt::UserRole + 1;
// The title item and the separator above the shade names.
constexpr int NewShadeHeader = 2;

bool isHeading(const QString &entry) { return entry == QLatin1String("-") || QSFrameMaterials::isGroupTitle(entry); }

bool shiftAlone() { return QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier; }

} // namespace

QSMaterialBuilder::QSMaterialBuilder(QSFrameCatalog &userCatalog, QSFrameCatalog &systemCatalog, QObject *parent)
    : QSWindowController(parent), m_userCatalog(userCatalog), m_systemCatalog(systemCatalog),
      m_materials(QSFrameCatalog::framesBundlePath()), m_editor(new QSFrameEditor(this))
{
    rqs::registerKitFilters();
    platform::UserDefaults::standardUserDefaults()->registerDefaults({{PreviewSizeKey, 1024}});
    m_previewFilter.setValueForKey(QStringLiteral("inputWidth"), 0.1);
    m_previewFilter.setValueForKey(QStringLiteral("inputShadowWidth"), 0.05);
    m_previewFilter.setUpdateDelay(-1.0);
    auto *center = platform::NotificationCenter::defaultCenter();
    center->addObserver(this, QStringLiteral("qsfilterupdate"), &m_previewFilter,
                        [this](const platform::Notification &) { previewHasChanged(); });
    center->addObserver(this, QStringLiteral("QSFrameCatalogChanged"), &m_userCatalog,
                        [this](const platform::Notification &) { reloadFrames(); });
    m_layoutTimer.setSingleShot(true);
    m_layoutTimer.setInterval(300);
    connect(&m_layoutTimer, &QTimer::timeout, this, [this] { updateLayout(Animate); });
    m_drawingDelay.setSingleShot(true);
    m_drawingDelay.setInterval(300);
    connect(&m_drawingDelay, &QTimer::timeout, this, [this] {
        if (m_renderer.isRendering())
            showPreviewStatus(rqs::localized(QStringLiteral("PreviewDrawing")), true);
    });
    connect(&m_renderer, &platform::fx::PictureRenderer::progressed, this, [this](double share) {
        if (m_previewProgress)
            m_previewProgress->setValue(int(share * 100));
    });
    connect(&m_renderer, &platform::fx::PictureRenderer::finished, this, [this](const QImage &picture) {
        showPreviewStatus({}, false);
        if (m_preview)
            m_preview->setImage(picture);
        drawOutdatedPreview();
    });
    connect(&m_renderer, &platform::fx::PictureRenderer::failed, this, [this](const QString &reason) {
        platform::logWarning(QStringLiteral("The frame preview could not be drawn"));
        showPreviewStatus(reason.isEmpty() ? rqs::localized(QStringLiteral("PreviewFailed"))
                                           : rqs::localized(QStringLiteral("PreviewFailedBecause")).arg(reason),
                          false);
        if (m_preview)
            m_preview->setImage({});
        drawOutdatedPreview();
    });
    connect(&m_renderer, &platform::fx::PictureRenderer::refused, this, [this](const QString &reason) {
        showPreviewStatus(rqs::localized(QStringLiteral("PreviewRefused")).arg(reason), false);
        if (m_preview)
            m_preview->setImage({});
        drawOutdatedPreview();
    });
    connect(&m_renderer, &platform::fx::PictureRenderer::cancelled, this, [this] {
        showPreviewStatus(rqs::localized(QStringLiteral("PreviewStopped")), false);
        if (m_preview)
            m_preview->setImage({});
    });
    setImageArray(&QSImageArray::sharedImageArray());
}

void QSMaterialBuilder::setImageArray(QSImageArray *imageArray)
{
    auto *center = platform::NotificationCenter::defaultCenter();
    if (m_imageArray)
        center->removeObserver(this, QStringLiteral("QSIACurrentChangedNotification"), m_imageArray);
    m_imageArray = imageArray;
    if (imageArray)
        center->addObserver(this, QStringLiteral("QSIACurrentChangedNotification"), imageArray,
                            [this](const platform::Notification &) { updatePreviewInputImage(); });
    if (m_preview)
        updatePreviewInputImage();
}

QSMaterialBuilder::~QSMaterialBuilder() { platform::NotificationCenter::defaultCenter()->removeObserver(this); }

QSMaterialBuilder &QSMaterialBuilder::sharedMaterialBuilder()
{
    static auto *builder = new QSMaterialBuilder(QSFrameCatalog::sharedUserFrameCatalog(),
                                                 QSFrameCatalog::sharedFrameCatalog(), qApp);
    return *builder;
}

template <class T>
T *QSMaterialBuilder::outlet(const char *name)
{
    T *object = window() ? window()->findChild<T *>(QLatin1String(name)) : nullptr;
    if (!object)
        platform::logError(QStringLiteral("The frame editor's window has no %1").arg(QLatin1String(name)));
    return object;
}

void QSMaterialBuilder::windowDidLoad()
{
    m_framePopup = outlet<QComboBox>("framePopupButton");
    m_frameList = outlet<QListWidget>("frameList");
    m_texture = outlet<QComboBox>("textureButton");
    m_colorWell = outlet<QSColorWell>("textureColorWell");
    m_textureCut = outlet<QCheckBox>("textureCutButton");
    m_externalMask = outlet<QComboBox>("externalMaskButton");
    m_internalMask = outlet<QComboBox>("internalMaskButton");
    m_newShade = outlet<QComboBox>("newShadeButton");
    m_shadesContainer = outlet<QWidget>("shadesContainer");
    m_shadesScrollView = outlet<QSShadowedScrollView>("shadesScrollView");
    m_removeFrame = outlet<QWidget>("removeFrameButton");
    m_duplicateFrame = outlet<QWidget>("duplicateFrameButton");
    m_preview = outlet<QSImageView>("preView");
    m_previewStatus = outlet<QWidget>("previewStatus");
    m_previewStatusText = outlet<QLabel>("previewStatusText");
    m_previewProgress = outlet<QProgressBar>("previewProgress");
    m_cancelPreview = outlet<QWidget>("cancelPreviewButton");
    if (m_preview) {
        // The framed picture lies on the panel with a drop shadow: radius 5, down and to the right by 2.
        auto *shadow = new QGraphicsDropShadowEffect(m_preview);
        shadow->setBlurRadius(10);
        shadow->setOffset(2, 2);
        shadow->setColor(Qt::black);
        m_preview->setGraphicsEffect(shadow);
    }
    auto *previewArea = outlet<QWidget>("previewArea");
    if (!m_framePopup || !m_frameList || !m_texture || !m_colorWell || !m_textureCut || !m_externalMask
        || !m_internalMask || !m_newShade || !m_shadesContainer || !m_shadesScrollView || !m_removeFrame
        || !m_duplicateFrame || !m_preview || !previewArea || !m_previewStatus || !m_previewStatusText
        || !m_previewProgress || !m_cancelPreview)
        return;
    // The line keeps its height when empty, so that the preview does not jump when it shows.
    m_previewStatus->setMinimumHeight(m_cancelPreview->sizeHint().height());
    m_cancelShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), window());
    connect(m_cancelShortcut, &QShortcut::activated, this, [this] { cancelPreview(nullptr); });
    showPreviewStatus({}, false);

    rqs::addEntries(m_texture, QSTextureCatalog::sharedTextureNames());
    rqs::addEntries(m_externalMask, QStringList{QStringLiteral("No Mask")} + m_materials.externalMaskNames());
    rqs::addEntries(m_internalMask, m_materials.internalMaskNames());
    rqs::addEntries(m_newShade, QStringList{QStringLiteral("Add a Shade"), QStringLiteral("-")} + m_materials.shadeNames());
    // The rows are placed by hand, again a moment after the list's size changed.
    m_shadesScrollView->installEventFilter(this);
    m_aspect = new platform::AspectRatioLayout(previewArea);
    m_aspect->addWidget(m_preview);

    // The frames' edits and the catalog's additions and removals share the window's history.
    auto *undoManager = platform::undoManagerForView(window());
    m_editor->setUndoManager(undoManager);
    m_userCatalog.setUndoManager(undoManager);
    connect(new QShortcut(QKeySequence::Undo, window()), &QShortcut::activated, undoManager, &platform::UndoManager::undo);
    connect(new QShortcut(QKeySequence::Redo, window()), &QShortcut::activated, undoManager, &platform::UndoManager::redo);
    // Escape closes the window, as Ctrl+W does, unless a preview is being drawn: then it stops that.
    window()->closeWithEscapeAndCtrlW();
    connect(m_editor, &QSFrameEditor::frameChanged, this, [this] { setupForFrame(Animate); });
    connect(m_frameList, &QListWidget::currentRowChanged, this, &QSMaterialBuilder::showSelectedFrame);
    connect(m_frameList, &QListWidget::itemChanged, this, &QSMaterialBuilder::frameRenamed);

    updatePreviewInputImage();
    reloadFrames();
    // The editor opens on a frame, the first of the list, not on the plain frame.
    if (m_frameList->count() > 0)
        m_frameList->setCurrentRow(0);
    else
        showSelectedFrame();
    QMetaObject::invokeMethod(this, [this] { updateLayout(PlaceAtOnce); }, Qt::QueuedConnection);
}

bool QSMaterialBuilder::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) && watched == m_shadesScrollView)
        m_layoutTimer.start();
    return QSWindowController::eventFilter(watched, event);
}

void QSMaterialBuilder::windowWillClose(const platform::Notification &notification)
{
    // Closing the editor is when the user expects the frames kept.
    if (m_userCatalog.isSavePending())
        m_userCatalog.saveCatalogInstantly(true);
    QSWindowController::windowWillClose(notification);
}

void QSMaterialBuilder::setSamplePicture(const QImage &picture)
{
    m_samplePicture = picture;
    updatePreviewInputImage();
}

void QSMaterialBuilder::updatePreviewInputImage()
{
    QImage picture = m_samplePicture;
    if (picture.isNull() && m_imageArray && !m_imageArray->images().empty()) {
        if (const auto current = m_imageArray->currentImage())
            picture = current->nsImage();
    }
    if (picture.isNull())
        picture = rqs::imageNamed(*platform::Bundle::mainBundle(), QStringLiteral("PreviewImage"));
    if (picture.isNull()) {
        platform::logInfo(QStringLiteral("No PreviewImage picture: the frame editor shows its frames on grey"));
        picture = QImage(800, 600, QImage::Format_ARGB32);
        picture.fill(QColor(190, 190, 190));
    }
    const double size = platform::UserDefaults::standardUserDefaults()->doubleForKey(PreviewSizeKey);
    platform::fx::Image scaled;
    if (size > 0 && std::isfinite(size)) {
        const double k = std::min(1.0, std::sqrt(size * size / (double(picture.width()) * picture.height())));
        scaled = platform::fx::Image::fromQImage(picture).transformed(QTransform::fromScale(k, k));
        m_previewFilter.setValueForKey(QStringLiteral("canvasProportion"), 2.0 * scaled.extent().width());
    } else {
        platform::logWarning(QStringLiteral("The frame preview size %1 is not positive: no preview").arg(size));
    }
    m_previewFilter.setValueForKey(QStringLiteral("inputImage"), QVariant::fromValue(scaled));
    previewHasChanged();
}

bool QSMaterialBuilder::previewHasChanged()
{
    if (!m_preview)
        return false;
    const platform::fx::Image output = m_previewFilter.outputImage();
    const QRectF extent = output.isNull() ? QRectF() : output.extent();
    const bool finite = std::isfinite(extent.width()) && std::isfinite(extent.height());
    if (extent.isEmpty() || !finite) {
        m_previewOutdated = false;
        m_renderer.forget();
        showPreviewStatus({}, false);
        m_preview->setImage({});
        return false;
    }
    // While the pointer drags a control the frame changes faster than it is drawn: each change
    // stopping the render before it would leave the preview still until the pointer rests. The
    // render under way ends, and the frame as it is then is drawn next.
    if (m_renderer.isRendering() && QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)) {
        m_previewOutdated = true;
        return true;
    }
    m_previewOutdated = false;
    m_aspect->setRatio(extent.width() / extent.height());
    if (!m_renderer.isRendering()) {
        showPreviewStatus({}, false);
        m_drawingDelay.start();
    }
    m_renderer.render(output, extent);
    return true;
}

void QSMaterialBuilder::cancelPreview(QObject *)
{
    m_previewOutdated = false;
    m_renderer.cancel();
}

void QSMaterialBuilder::drawOutdatedPreview()
{
    if (std::exchange(m_previewOutdated, false))
        previewHasChanged();
}

void QSMaterialBuilder::showPreviewStatus(const QString &text, bool drawing)
{
    if (!drawing)
        m_drawingDelay.stop();
    if (m_cancelShortcut)
        m_cancelShortcut->setEnabled(drawing);
    if (!m_previewStatusText)
        return;
    m_previewStatusText->setText(text);
    m_previewStatusText->setVisible(!text.isEmpty());
    if (!drawing)
        m_previewProgress->setValue(0);
    m_previewProgress->setVisible(drawing);
    m_cancelPreview->setVisible(drawing);
}

QImage QSMaterialBuilder::previewImage() const { return m_preview ? m_preview->image() : QImage(); }
double QSMaterialBuilder::previewAspectRatio() const { return m_aspect ? m_aspect->ratio() : 0.0; }

void QSMaterialBuilder::reloadFrames()
{
    if (!m_frameList)
        return;
    const QString shown = m_frameList->currentItem() ? m_frameList->currentItem()->data(IDRole).toString() : QString();
    const QSignalBlocker blockList(m_frameList);
    m_frameList->clear();
    // The list holds frames only; the pop-up heads their groups.
    for (const QSFrameCatalog *catalog : {&m_userCatalog, &m_systemCatalog}) {
        for (const QString &frameID : catalog->frameIDs()) {
            if (isHeading(frameID))
                continue;
            auto *item = new QListWidgetItem(QSLocalizeHelper::localizedString(frameID), m_frameList);
            item->setData(IDRole, frameID);
            item->setData(UserFrameRole, catalog->editable());
            if (catalog->editable())
                item->setFlags(item->flags() | Qt::ItemIsEditable);
            else
                item->setForeground(QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        }
    }
    m_framePopup->clear();
    m_framePopupEntries = m_userCatalog.frameIDs() + QStringList{QStringLiteral("-")} + m_systemCatalog.frameIDs();
    rqs::addEntries(m_framePopup, m_framePopupEntries);
    for (int row = 0; row < m_frameList->count(); ++row) {
        if (m_frameList->item(row)->data(IDRole).toString() == shown)
            m_frameList->setCurrentRow(row);
    }
    // The frame shown is gone: show what is selected now, the plain frame.
    if (m_frameList->currentRow() < 0 && !shown.isEmpty())
        showSelectedFrame();
}

void QSMaterialBuilder::showSelectedFrame()
{
    const QListWidgetItem *item = m_frameList->currentItem();
    const QString frameID = item ? item->data(IDRole).toString() : QString();
    const bool user = item && item->data(UserFrameRole).toBool();
    m_removeFrame->setEnabled(user);
    m_duplicateFrame->setEnabled(item);
    auto frame = user ? m_userCatalog.frameWithName(frameID) : m_systemCatalog.frameWithName(frameID);
    showFrame(frame ? frame : QSFrameCatalog::plainFrame());
    m_framePopup->setCurrentIndex(frameID.isEmpty() ? -1 : int(m_framePopupEntries.indexOf(frameID)));
}

void QSMaterialBuilder::showFrame(std::shared_ptr<QSFrameDescription> frame)
{
    // The user's frames announce their edits, so that the preview follows and the catalog saves.
    if (frame->isEditable())
        frame->setPostsChanges(true);
    m_editor->setFrame(frame);
    m_previewFilter.setFrameDescription(frame);
    setupForFrame(Animate | ScrollToTop);
    previewHasChanged();
}

void QSMaterialBuilder::frameSelected(QObject *sender)
{
    const auto *popUp = qobject_cast<QComboBox *>(sender);
    const QString frameID = popUp ? m_framePopupEntries.value(popUp->currentIndex()) : QString();
    if (frameID.isEmpty() || isHeading(frameID))
        return;
    for (int row = 0; row < m_frameList->count(); ++row) {
        if (m_frameList->item(row)->data(IDRole).toString() == frameID)
            m_frameList->setCurrentRow(row);
    }
}

void QSMaterialBuilder::setupForFrame(int layoutFlags)
{
    const auto frame = m_editor->frame();
    if (!frame || !m_texture)
        return;
    const bool editable = frame->isEditable();
    m_texture->setCurrentIndex(std::max<int>(0, QSTextureCatalog::sharedTextureNames().indexOf(frame->textureName())));
    const platform::fx::Color color = frame->textureColor();
    m_colorWell->setColor(QColor::fromRgbF(color.r, color.g, color.b, color.a));
    m_textureCut->setChecked(frame->textureFillMode() == 1);
    m_externalMask->setCurrentIndex(int(m_materials.externalMaskNames().indexOf(frame->externalMaskName())) + 1);
    m_internalMask->setCurrentIndex(std::max<int>(0, m_materials.internalMaskNames().indexOf(frame->internalMaskName())));
    for (QWidget *control : {static_cast<QWidget *>(m_texture.data()), static_cast<QWidget *>(m_colorWell.data()),
                             static_cast<QWidget *>(m_textureCut.data()), static_cast<QWidget *>(m_externalMask.data()),
                             static_cast<QWidget *>(m_internalMask.data())})
        control->setEnabled(editable);
    m_newShade->setVisible(editable);

    const auto &shades = frame->shades();
    while (m_rows.size() > shades.size())
        delete m_rows.takeLast();
    while (m_rows.size() < shades.size())
        addShadeRow();
    for (int i = 0; i < shades.size(); ++i)
        m_rows[i]->show(*shades[i], m_materials.indexOfShade(shades[i]->name()), editable);
    updateLayout(layoutFlags);
}

void QSMaterialBuilder::addShadeRow()
{
    auto *row = new QSShadeRow(m_materials.shadeNames(), int(m_rows.size()), m_shadesContainer);
    const bool narrow = m_shadesContainer->width() < QSShadeRow::NarrowBelow;
    const int height = QSShadeRow::rowHeight(narrow);
    row->setGeometry(0, int(m_rows.size()) * height, m_shadesContainer->width(), height);
    row->layOut(narrow, newShadeButtonFrame());
    row->QWidget::show();
    connect(row, &QSShadeRow::shadePicked, this, &QSMaterialBuilder::selectShade);
    connect(row, &QSShadeRow::blendModePicked, this,
            [this](int index, const QString &mode) { m_editor->setShadeBlendMode(mode, index); });
    connect(row, &QSShadeRow::intensityPicked, this,
            [this](int index, double intensity) { m_editor->setShadeIntensity(intensity, index); });
    connect(row, &QSShadeRow::removeClicked, this, [this](int index) { m_editor->removeShade(index); });
    m_rows.append(row);
}

QRect QSMaterialBuilder::newShadeButtonFrame() const
{
    QWidget *top = m_newShade->window();
    const QPoint at = m_newShade->mapTo(top, QPoint()) - m_shadesContainer->mapTo(top, QPoint());
    return {std::max(0, at.x()), 0, m_newShade->width(), m_newShade->sizeHint().height()};
}

void QSMaterialBuilder::updateLayout(int flags)
{
    m_layoutTimer.stop();
    if (!m_shadesContainer || !m_shadesScrollView)
        return;
    if (!m_rowAnimation) {
        m_rowAnimation = new QParallelAnimationGroup(m_shadesContainer);
        m_rowAnimation->setObjectName(QStringLiteral("shadeRowsAnimation"));
        connect(m_rowAnimation, &QAbstractAnimation::finished, this, [this] { rowsPlaced(m_animatedFlags); });
    }
    // A pass cut short still ends: the rows are placed anew below, and its scrolling is done now.
    if (m_rowAnimation->state() == QAbstractAnimation::Running) {
        m_rowAnimation->stop();
        rowsPlaced(m_animatedFlags);
    }
    m_rowAnimation->clear();
    // Row i lies i row heights below the top: y up, at H − (i + 1) × r in a list H high.
    const bool narrow = m_shadesContainer->width() < QSShadeRow::NarrowBelow;
    const int r = QSShadeRow::rowHeight(narrow);
    const int rows = int(m_rows.size()) * r;
    m_shadesContainer->setMinimumHeight(rows);
    m_shadesContainer->resize(m_shadesContainer->width(), std::max(m_shadesScrollView->viewport()->height(), rows));
    QParallelAnimationGroup *animation = (flags & Animate) ? m_rowAnimation.data() : nullptr;
    // Shift alone held slows the animation down for inspection.
    const int duration = flags == Animate && shiftAlone() ? 2500 : 250;
    const QRect newShade = newShadeButtonFrame();
    for (int i = 0; i < m_rows.size(); ++i) {
        QSShadeRow *row = m_rows[i];
        row->layOut(narrow, newShade);
        const QRect place(0, i * r, m_shadesContainer->width(), r);
        if (!animation) {
            row->setGeometry(place);
            continue;
        }
        auto *move = new QPropertyAnimation(row, "geometry", animation);
        move->setDuration(duration);
        move->setEndValue(place);
        animation->addAnimation(move);
    }
    if (!animation) {
        rowsPlaced(flags);
        return;
    }
    m_animatedFlags = flags;
    animation->start();
}

void QSMaterialBuilder::rowsPlaced(int flags)
{
    if (flags & ScrollToTop)
        m_shadesScrollView->verticalScrollBar()->setValue(0);
    m_shadesScrollView->scrollViewDidScroll();
}

bool QSMaterialBuilder::selectShade(int row, int shadeIndex)
{
    const QString name = m_materials.shadeNames().value(shadeIndex);
    if (name.isEmpty() || isHeading(name)) {
        platform::logInfo(QStringLiteral("'%1' heads a group of shades and is no shade itself").arg(name));
        setupForFrame(Animate);
        return false;
    }
    return m_editor->setShadeName(name, row);
}

bool QSMaterialBuilder::addNewShade(QObject *sender)
{
    auto *popUp = qobject_cast<QComboBox *>(sender);
    if (!popUp)
        return false;
    const int index = popUp->currentIndex();
    popUp->setCurrentIndex(0);
    const QString name = m_materials.shadeNames().value(index - NewShadeHeader);
    if (index < NewShadeHeader || isHeading(name)) {
        platform::logInfo(QStringLiteral("'%1' heads a group of shades and is no shade itself").arg(name));
        return false;
    }
    return m_editor->addShade(name);
}

void QSMaterialBuilder::selectTexture(QObject *sender)
{
    const QString name = QSTextureCatalog::sharedTextureNames().value(qobject_cast<QComboBox *>(sender)->currentIndex());
    if (isHeading(name)) {
        platform::logInfo(QStringLiteral("'%1' heads a group of textures and is no texture itself").arg(name));
        setupForFrame(Animate);
        return;
    }
    m_editor->setTextureName(name);
}

void QSMaterialBuilder::selectTextureColor(QObject *)
{
    const QColor color = m_colorWell->color();
    m_editor->setTextureColor({float(color.redF()), float(color.greenF()), float(color.blueF()), float(color.alphaF())});
}

void QSMaterialBuilder::selectTextureCut(QObject *) { m_editor->setTextureFillMode(m_textureCut->isChecked() ? 1 : 2); }

void QSMaterialBuilder::selectExternalMask(QObject *)
{
    const int index = m_externalMask->currentIndex();
    m_editor->setExternalMaskName(index > 0 ? m_materials.externalMaskNames().value(index - 1) : QString());
}

void QSMaterialBuilder::selectInternalMask(QObject *)
{
    m_editor->setInternalMaskName(m_materials.internalMaskNames().value(m_internalMask->currentIndex()));
}

QString QSMaterialBuilder::addUserFrame(const QVariantMap &dictionary, const QString &baseName)
{
    QString name = baseName;
    for (int n = 2; !m_userCatalog.frameIDForName(name).isEmpty() || !m_systemCatalog.frameIDForName(name).isEmpty(); ++n)
        name = QStringLiteral("%1 %2").arg(baseName).arg(n);
    auto frame = std::make_shared<QSFrameDescription>(dictionary, QSFrameCatalog::framesBundlePath(), true);
    frame->setName(name);
    const QString frameID = m_userCatalog.nextFrameID();
    m_editor->perform(tr("New Frame"), [this, frame, frameID] { m_userCatalog.addFrame(frame, frameID); },
                      [this, frameID] { m_userCatalog.removeFrameAtIndex(int(m_userCatalog.frameIDs().indexOf(frameID))); });
    for (int row = 0; m_frameList && row < m_frameList->count(); ++row) {
        if (m_frameList->item(row)->data(IDRole).toString() == frameID) {
            m_frameList->setCurrentRow(row);
            m_frameList->editItem(m_frameList->item(row));
        }
    }
    return frameID;
}

void QSMaterialBuilder::addUserFrame(QObject *)
{
    addUserFrame({{"Texture", "RQS-T#010#Wood-Light-Knots"}, {"TextureFillMode", 1}}, QStringLiteral("New Frame"));
}

void QSMaterialBuilder::duplicateFrame(QObject *)
{
    if (const auto frame = m_editor->frame())
        addUserFrame(frame->saveDictionary(), rqs::localized(frame->name().isEmpty() ? QStringLiteral("Plain Frame") : frame->name()));
}

void QSMaterialBuilder::removeUserFrame(QObject *)
{
    // By its ID: the list leaves out the group titles that a catalog may hold among its IDs.
    const QListWidgetItem *item = m_frameList->currentItem();
    if (!item || !item->data(UserFrameRole).toBool()) {
        platform::logWarning(QStringLiteral("Only the user's own frames can be removed"));
        return;
    }
    const QString frameID = item->data(IDRole).toString();
    const auto frame = m_userCatalog.frameWithName(frameID);
    m_editor->perform(tr("Remove Frame"), [this, frameID] { m_userCatalog.removeFrameAtIndex(int(m_userCatalog.frameIDs().indexOf(frameID))); },
                      [this, frame, frameID] { m_userCatalog.addFrame(frame, frameID); });
}

void QSMaterialBuilder::frameRenamed(QListWidgetItem *item)
{
    if (!item->data(UserFrameRole).toBool()) {
        platform::logWarning(QStringLiteral("System Frames cannot be renamed"));
        reloadFrames();
        return;
    }
    const QString frameID = item->data(IDRole).toString();
    const auto frame = m_userCatalog.frameWithName(frameID);
    const QString newName = item->text(), oldName = frame ? frame->name() : QString();
    if (!frame || newName.isEmpty() || !m_userCatalog.frameIDForName(newName).isEmpty()) {
        platform::logWarning(QStringLiteral("The frame cannot be named '%1'").arg(newName));
        reloadFrames();
        return;
    }
    if (!QSFrameCatalog::isFitName(newName)) {
        reloadFrames();
        return;
    }
    m_editor->perform(tr("Rename Frame"), [this, frameID, newName] { m_userCatalog.renameFrameID(frameID, newName); },
                      [this, frameID, oldName] { m_userCatalog.renameFrameID(frameID, oldName); });
}
