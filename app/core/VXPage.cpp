#include "app/core/VXPage.h"

VXPage::VXPage() = default;

VXPagePtr VXPage::emptyPage()
{
    static const VXPagePtr page = [] {
        auto blank = std::make_shared<VXPage>();
        blank->setIsEmpty(true);
        return blank;
    }();
    return page;
}

bool VXPage::isEmpty() const { return m_isEmpty; }
void VXPage::setIsEmpty(bool isEmpty) { m_isEmpty = isEmpty; }

double VXPage::ratio() const { return 1.0; }
