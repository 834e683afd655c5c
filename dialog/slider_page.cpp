#include "slider_page.h"

#include <commctrl.h>

#include "active_dialog.h"
#include "working_settings.h"

BOOL CSliderPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    for (const PageTrackbar& trackbar : m_tables.trackbars) {
        CSliderCtrl control(GetDlgItem(trackbar.id));
        control.SetRangeMin(0);
        control.SetRangeMax(trackbar.maximum);
    }
    SetPageRanges();
    LoadControls();
    if (m_toolTip.Create(m_hWnd)) {
        m_toolTip.Activate(true);
        for (const PageTool& tool : m_tables.tools) m_toolTip.AddTool(GetDlgItem(tool.controlId), tool.textId);
    }
    return TRUE;
}

BOOL CSliderPage::OnSetActive() {
    LoadControls();
    return CPropertyPage::OnSetActive();
}

bool CSliderPage::PreTranslateMessage(MSG& message) {
    m_toolTip.RelayEvent(message);
    return CPropertyPage::PreTranslateMessage(message);
}

void CSliderPage::LoadTrackbars() const {
    const glimmer::TransitionSettings& settings = workingSettings();
    for (const PageTrackbar& trackbar : m_tables.trackbars)
        CSliderCtrl(GetDlgItem(trackbar.id)).SetPos(settings.*trackbar.field);
}

void CSliderPage::LoadFlags() const {
    const glimmer::TransitionSettings& settings = workingSettings();
    for (const PageFlag& flag : m_tables.flags)
        CButton(GetDlgItem(flag.boxId)).SetCheck((settings.*flag.field & flag.bit) != 0 ? BST_CHECKED : BST_UNCHECKED);
}

// Thumb-position and end-track codes end a movement whose values were
// stored while it ran.
void CSliderPage::OnHScroll(UINT code, int, HWND) {
    if (code == TB_THUMBPOSITION || code == TB_ENDTRACK) return;
    glimmer::TransitionSettings& settings = workingSettings();
    for (const PageTrackbar& trackbar : m_tables.trackbars)
        settings.*trackbar.field = CSliderCtrl(GetDlgItem(trackbar.id)).GetPos();
    refreshActivePreview();
}

bool CSliderPage::OnTableButton(int id) {
    for (const PagePreset& preset : m_tables.presets) {
        if (preset.buttonId != id) continue;
        CSliderCtrl(GetDlgItem(preset.trackbarId)).SetPos(preset.value);
        workingSettings().*preset.field = preset.value;
        refreshActivePreview();
        return true;
    }
    for (const PageFlag& flag : m_tables.flags) {
        if (flag.boxId != id) continue;
        int32_t& field = workingSettings().*flag.field;
        if (CButton(GetDlgItem(flag.boxId)).GetCheck() == BST_CHECKED)
            field |= flag.bit;
        else
            field &= ~flag.bit;
        if (flag.refetchesFrames) fetchActiveSourceFrames();
        refreshActivePreview();
        return true;
    }
    return false;
}
