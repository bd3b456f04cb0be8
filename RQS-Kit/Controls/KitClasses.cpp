#include "RQS-Kit/Controls/KitClasses.h"

#include "RQS-Kit/Controls/QS3PartImageView.h"
#include "RQS-Kit/Controls/QSArrowView.h"
#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSBoxView.h"
#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSColorView.h"
#include "RQS-Kit/Controls/QSColorWell.h"
#include "RQS-Kit/Controls/QSColumnView.h"
#include "RQS-Kit/Controls/QSCropView.h"
#include "RQS-Kit/Controls/QSDragButton.h"
#include "RQS-Kit/Controls/QSDropView.h"
#include "RQS-Kit/Controls/QSFeedPageView.h"
#include "RQS-Kit/Controls/QSFrameLessWindow.h"
#include "RQS-Kit/Controls/QSGlassView.h"
#include "RQS-Kit/Controls/QSGradientPicker.h"
#include "RQS-Kit/Controls/QSGridItem.h"
#include "RQS-Kit/Controls/QSImagePrintView.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Controls/QSInfoHoverButton.h"
#include "RQS-Kit/Controls/QSLabel.h"
#include "RQS-Kit/Controls/QSLanguagePopUpButton.h"
#include "RQS-Kit/Controls/QSLayoutTranslationView.h"
#include "RQS-Kit/Controls/QSLineView.h"
#include "RQS-Kit/Controls/QSListView.h"
#include "RQS-Kit/Controls/QSOpenableListEntryView.h"
#include "RQS-Kit/Controls/QSOverlayScrollView.h"
#include "RQS-Kit/Controls/QSPatternView.h"
#include "RQS-Kit/Controls/QSPointingView.h"
#include "RQS-Kit/Controls/QSPopupButton.h"
#include "RQS-Kit/Controls/QSResizeView.h"
#include "RQS-Kit/Controls/QSRotationView.h"
#include "RQS-Kit/Controls/QSRoundedRect.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "RQS-Kit/Controls/QSScroller.h"
#include "RQS-Kit/Controls/QSShadowedScrollView.h"
#include "RQS-Kit/Controls/QSShapedBox.h"
#include "RQS-Kit/Controls/QSSimpleColorWell.h"
#include "RQS-Kit/Controls/QSSlider.h"
#include "RQS-Kit/Controls/QSStackView.h"
#include "RQS-Kit/Controls/QS3DView.h"
#include "RQS-Kit/Controls/QSSymbolButton.h"
#include "RQS-Kit/Controls/QSTabView.h"
#include "RQS-Kit/Controls/QSTestView.h"
#include "RQS-Kit/Controls/QSTextField.h"
#include "RQS-Kit/Controls/QSToolBarButton.h"
#include "RQS-Kit/Controls/QSToolBarView.h"
#include "RQS-Kit/Controls/QSTranslatingBox.h"
#include "RQS-Kit/Foundation/QSEncodingPopupButton.h"
#include "RQS-Kit/Foundation/QSTranslatingButton.h"
#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"
#include "platform/ui/InterfaceLoader.h"

namespace rqs {

void registerKitClasses()
{
    using platform::InterfaceLoader;
    InterfaceLoader::registerClass<QSButton>(QStringLiteral("QSButton"));
    InterfaceLoader::registerClass<QSDragButton>(QStringLiteral("QSDragButton"));
    InterfaceLoader::registerClass<QSPopupButton>(QStringLiteral("QSPopupButton"));
    InterfaceLoader::registerClass<QSInfoHoverButton>(QStringLiteral("QSInfoHoverButton"));
    InterfaceLoader::registerClass<QSSymbolButton>(QStringLiteral("QSSymbolButton"));
    InterfaceLoader::registerClass<QSRoundedRect>(QStringLiteral("QSRoundedRect"));
    InterfaceLoader::registerClass<QSImageView>(QStringLiteral("QSImageView"));
    InterfaceLoader::registerClass<QSDropView>(QStringLiteral("QSDropView"));
    InterfaceLoader::registerClass<QS3PartImageView>(QStringLiteral("QS3PartImageView"));
    InterfaceLoader::registerClass<QSImagePrintView>(QStringLiteral("QSImagePrintView"));
    InterfaceLoader::registerClass<QSLabel>(QStringLiteral("QSLabel"));
    InterfaceLoader::registerClass<QSTextField>(QStringLiteral("QSTextField"));
    InterfaceLoader::registerClass<QSTranslatingBox>(QStringLiteral("QSTranslatingBox"));
    InterfaceLoader::registerClass<QSToolBarView>(QStringLiteral("QSToolBarView"));
    InterfaceLoader::registerClass<QSToolBarButton>(QStringLiteral("QSToolBarButton"));
    InterfaceLoader::registerFactory(QStringLiteral("QSColorView"), &QSColorView::fromInterfaceFile);
    InterfaceLoader::registerClass<QSPatternView>(QStringLiteral("QSPatternView"));
    InterfaceLoader::registerClass<QSColumnView>(QStringLiteral("QSColumnView"));
    InterfaceLoader::registerClass<QSGlassView>(QStringLiteral("QSGlassView"));
    InterfaceLoader::registerClass<QSTabView>(QStringLiteral("QSTabView"));
    InterfaceLoader::registerClass<QSTestView>(QStringLiteral("QSTestView"));
    InterfaceLoader::registerClass<QSBoxView>(QStringLiteral("QSBoxView"));
    InterfaceLoader::registerClass<QSShapedBox>(QStringLiteral("QSShapedBox"));
    InterfaceLoader::registerClass<QSPointingView>(QStringLiteral("QSPointingView"));
    InterfaceLoader::registerClass<QSLineView>(QStringLiteral("QSLineView"));
    InterfaceLoader::registerClass<QSArrowView>(QStringLiteral("QSArrowView"));
    InterfaceLoader::registerClass<QSColorWell>(QStringLiteral("QSColorWell"));
    InterfaceLoader::registerClass<QSSimpleColorWell>(QStringLiteral("QSSimpleColorWell"));
    InterfaceLoader::registerClass<QSGradientPicker>(QStringLiteral("QSGradientPicker"));
    InterfaceLoader::registerFactory(QStringLiteral("QSSlider"), &QSSlider::fromInterfaceFile);
    InterfaceLoader::registerClass<QSScroller>(QStringLiteral("QSScroller"));
    InterfaceLoader::registerClass<QSEncodingPopupButton>(QStringLiteral("QSEncodingPopupButton"));
    InterfaceLoader::registerClass<QSTranslatingButton>(QStringLiteral("QSTranslatingButton"));
    InterfaceLoader::registerClass<QSResizeView>(QStringLiteral("QSResizeView"));
    InterfaceLoader::registerClass<QSFeedPageView>(QStringLiteral("QSFeedPageView"));
    InterfaceLoader::registerClass<QSTranslatingSegmentedControl>(QStringLiteral("QSTranslatingSegmentedControl"));
    InterfaceLoader::registerClass<QSRotationView>(QStringLiteral("QSRotationView"));
    InterfaceLoader::registerClass<QSCropView>(QStringLiteral("QSCropView"));
    InterfaceLoader::registerClass<QSLanguagePopUpButton>(QStringLiteral("QSLanguagePopUpButton"));
    InterfaceLoader::registerClass<QSListView>(QStringLiteral("QSListView"));
    InterfaceLoader::registerClass<QSBasicListEntryView>(QStringLiteral("QSBasicListEntryView"));
    InterfaceLoader::registerClass<QSOpenableListEntryView>(QStringLiteral("QSOpenableListEntryView"));
    InterfaceLoader::registerClass<QSRowView>(QStringLiteral("QSRowView"));
    InterfaceLoader::registerClass<QSShadowedScrollView>(QStringLiteral("QSShadowedScrollView"));
    InterfaceLoader::registerClass<QSOverlayScrollView>(QStringLiteral("QSOverlayScrollView"));
    InterfaceLoader::registerClass<QSFrameLessWindow>(QStringLiteral("QSFrameLessWindow"));
    InterfaceLoader::registerClass<QSLayoutTranslationView>(QStringLiteral("QSLayoutTranslationView"));
    InterfaceLoader::registerClass<QSGridItem>(QStringLiteral("QSGridItem"));
    InterfaceLoader::registerFactory(QStringLiteral("QSStackView"), &QSStackView::fromInterfaceFile);
    InterfaceLoader::registerClass<QS3DView>(QStringLiteral("QS3DView"));
}

} // namespace rqs
