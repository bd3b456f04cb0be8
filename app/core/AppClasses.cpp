#include "app/core/AppClasses.h"

#include "app/core/VXCenterShadow.h"
#include "app/core/VXDoublePageFilterView.h"
#include "app/core/VXFeatureHeader.h"
#include "app/core/VXNoScrollView.h"
#include "app/core/VXPageView.h"
#include "app/core/VXPagesTableView.h"
#include "app/core/VXStyleKit.h"
#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"
#include "platform/InterfaceLoader.h"

void registerAppClasses()
{
    using platform::InterfaceLoader;
    rqs::registerKitClasses();
    InterfaceLoader::registerClass<QSTranslatingSegmentedControl>(QStringLiteral("QSTranslatingSegmentedControl"));
    InterfaceLoader::registerClass<VXPageView>(QStringLiteral("VXPageView"));
    InterfaceLoader::registerClass<VXDoublePageFilterView>(QStringLiteral("VXDoublePageFilterView"));
    InterfaceLoader::registerClass<VXCenterShadow>(QStringLiteral("VXCenterShadow"));
    InterfaceLoader::registerClass<VXFeatureHeader>(QStringLiteral("VXFeatureHeader"));
    InterfaceLoader::registerClass<VXNoScrollView>(QStringLiteral("VXNoScrollView"));
    InterfaceLoader::registerClass<VXPagesTableView>(QStringLiteral("VXPagesTableView"));
    VXStyleKit::registerSymbols();
}
