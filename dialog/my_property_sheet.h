// The sheet of the four settings pages, in tab order.
#pragma once

#include "life_page.h"
#include "movement_page.h"
#include "nature_page.h"
#include "property_sheet.h"
#include "sources_page.h"

class CMyPropertySheet : public CPropertySheet {
public:
    explicit CMyPropertySheet(HWND parent);

    CMyPropertyPage1 m_page1;
    CMyPropertyPage2 m_page2;
    CMyPropertyPage3 m_page3;
    CMyPropertyPage4 m_page4;

protected:
    // Made on the heap by the frame; goes with its window.
    void PostNcDestroy() override { delete this; }
};
