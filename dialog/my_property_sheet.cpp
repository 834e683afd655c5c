#include "my_property_sheet.h"

#include "dialog_ids.h"

CMyPropertySheet::CMyPropertySheet(HWND parent) : CPropertySheet(IDS_PROPERTY_SHEET_CAPTION, parent, 0) {
    AddPage(m_page1);
    AddPage(m_page2);
    AddPage(m_page3);
    AddPage(m_page4);
}
