#include "app/window/AppClasses.h"

#include "app/booklet/VXStyleKit.h"
#include "app/window/VXCenterShadow.h"
#include "app/window/VXDoublePageFilterView.h"
#include "app/window/VXFeatureHeader.h"
#include "app/window/VXNoScrollView.h"
#include "app/window/VXPageView.h"
#include "app/window/VXPagesTableView.h"
#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"
#include "platform/ui/InterfaceLoader.h"

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
