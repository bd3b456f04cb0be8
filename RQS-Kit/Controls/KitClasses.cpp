#include "RQS-Kit/Controls/KitClasses.h"

#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QS3PartImageView.h"
#include "RQS-Kit/Controls/QSCIImageLayer.h"
#include "RQS-Kit/Controls/QSDropView.h"
#include "RQS-Kit/Controls/QSImagePrintView.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Controls/QSLabel.h"
#include "RQS-Kit/Controls/QSRoundedRect.h"
#include "RQS-Kit/Controls/QSSymbolButton.h"
#include "RQS-Kit/Controls/QSTextField.h"
#include "RQS-Kit/Controls/QSTranslatingBox.h"
#include "RQS-Kit/Foundation/QSEncodingPopupButton.h"
#include "RQS-Kit/Foundation/QSTranslatingButton.h"
#include "platform/ui/InterfaceLoader.h"

namespace rqs {

void registerKitClasses()
{
    using platform::InterfaceLoader;
    InterfaceLoader::registerClass<QSButton>(QStringLiteral("QSButton"));
    InterfaceLoader::registerClass<QSSymbolButton>(QStringLiteral("QSSymbolButton"));
    InterfaceLoader::registerClass<QSRoundedRect>(QStringLiteral("QSRoundedRect"));
    InterfaceLoader::registerClass<QSCIImageLayer>(QStringLiteral("QSCIImageLayer"));
    InterfaceLoader::registerClass<QSImageView>(QStringLiteral("QSImageView"));
    InterfaceLoader::registerClass<QSDropView>(QStringLiteral("QSDropView"));
    InterfaceLoader::registerClass<QS3PartImageView>(QStringLiteral("QS3PartImageView"));
    InterfaceLoader::registerClass<QSImagePrintView>(QStringLiteral("QSImagePrintView"));
    InterfaceLoader::registerClass<QSLabel>(QStringLiteral("QSLabel"));
    InterfaceLoader::registerClass<QSTextField>(QStringLiteral("QSTextField"));
    InterfaceLoader::registerClass<QSTranslatingBox>(QStringLiteral("QSTranslatingBox"));
    InterfaceLoader::registerClass<QSEncodingPopupButton>(QStringLiteral("QSEncodingPopupButton"));
    InterfaceLoader::registerClass<QSTranslatingButton>(QStringLiteral("QSTranslatingButton"));
}

} // namespace rqs
