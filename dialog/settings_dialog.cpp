#include "settings_dialog.h"

#include "about_dialog.h"
#include "framework_module.h"
#include "host_frame_setup.h"
#include "my_property_sheet.h"
#include "preview_frames.h"
#include "preview_rules.h"
#include "property_frame.h"
#include "settings_file.h"
#include "settings_file_dialogs.h"
#include "working_settings.h"

namespace {

struct DialogTool {
    int controlId;
    UINT textId;
};

constexpr DialogTool dialogTools[] = {
    {IDC_LOAD, IDS_TIP_LOAD},     {IDC_SAVE, IDS_TIP_SAVE},     {IDOK, IDS_TIP_OK},
    {IDCANCEL, IDS_TIP_CANCEL},   {IDC_BANNER, IDS_TIP_ABOUT},  {IDC_HELP_COMMAND, IDS_TIP_HELP},
};

}  // namespace

CSettingsDialog::CSettingsDialog(HWND owner) : CDialog(IDD, owner) {}

// The frame and the sheet went with the window; they delete themselves.
CSettingsDialog::~CSettingsDialog() = default;

void CSettingsDialog::DoDataExchange(CDataExchange& dx) {
    DDX_Control(dx, IDC_BANNER, m_bannerButton);
    DDX_Control(dx, IDC_PREVIEW_TRACKBAR, m_previewSlider);
    DDX_Text(dx, IDC_READOUT, m_readoutText);
}

BOOL CSettingsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_bannerBitmap.LoadBitmap(IDB_BANNER)) m_bannerButton.SetBitmap(m_bannerBitmap.GetSafeHandle());
    m_previewSlider.SetRangeMin(0);
    m_previewSlider.SetRangeMax(previewTrackbarMaximum(hostRecord().total));
    CreatePropertyFrame();
    PreparePreview();
    FetchSourceFrames();
    UpdateTimeReadout();
    if (m_toolTip.Create(m_hWnd)) {
        m_toolTip.Activate(true);
        for (const DialogTool& tool : dialogTools) m_toolTip.AddTool(GetDlgItem(tool.controlId), tool.textId);
    }
    return TRUE;
}

void CSettingsDialog::CreatePropertyFrame() {
    if (m_pPropertyFrame != nullptr) return;
    m_pPropertyFrame = new CPropertyFrame(&m_pPropertyFrame);
    const std::string title = LoadResourceString(IDS_PROPERTY_SHEET_CAPTION);
    const RECT nowhere = {0, 0, 0, 0};
    if (!m_pPropertyFrame->Create(title.c_str(), WS_POPUP | WS_BORDER, nowhere, m_hWnd, 0)) {
        // A frame whose window was made and then failed has deleted itself
        // and cleared m_pPropertyFrame; one that never got a window has not.
        delete m_pPropertyFrame;
        m_pPropertyFrame = nullptr;
    }
}

bool CSettingsDialog::PreTranslateMessage(MSG& message) {
    m_toolTip.RelayEvent(message);
    return CDialog::PreTranslateMessage(message);
}

void CSettingsDialog::OnHScroll(UINT code, int, HWND) {
    if (code == TB_THUMBPOSITION || code == TB_ENDTRACK) return;
    RefreshPreview();
    UpdateTimeReadout();
}

void CSettingsDialog::OnPaint() {
    PAINTSTRUCT paint;
    ::BeginPaint(m_hWnd, &paint);
    RefreshPreview();
    ::EndPaint(m_hWnd, &paint);
}

void CSettingsDialog::OnSave() {
    SettingsFileDialogs files(m_hWnd);
    glimmer::saveSettings(workingSettings(), files);
}

void CSettingsDialog::OnLoad() {
    SettingsFileDialogs files(m_hWnd);
    if (!glimmer::loadSettings(workingSettings(), files)) return;
    ReloadActivePage();
    // holdFlags may have changed with the file.
    FetchSourceFrames();
    RefreshPreview();
}

void CSettingsDialog::ReloadActivePage() {
    if (m_pPropertyFrame == nullptr || m_pPropertyFrame->m_pSheet == nullptr) return;
    CMyPropertySheet& sheet = *m_pPropertyFrame->m_pSheet;
    switch (sheet.GetActiveIndex()) {
    case 0: sheet.m_page1.LoadMovementControls(); break;
    case 1: sheet.m_page2.LoadNatureControls(); break;
    case 2: sheet.m_page3.LoadLifeControls(); break;
    case 3: sheet.m_page4.LoadSourceControls(); break;
    default: break;
    }
}

void CSettingsDialog::OnBanner() {
    CAboutDialog about;
    about.DoModal();
}

void CSettingsDialog::OnMove(int, int) {
    if (m_pPropertyFrame == nullptr) return;
    HWND frame = m_pPropertyFrame->m_hWnd;
    RECT group;
    RECT current;
    ::GetWindowRect(GetDlgItem(IDC_PREVIEW_GROUP), &group);
    ::GetWindowRect(frame, &current);
    ::MoveWindow(frame, group.right + 1, group.top, current.right - current.left,
                 current.bottom - current.top, TRUE);
    if (!::IsWindowVisible(frame)) ::ShowWindow(frame, SW_SHOW);
}

void CSettingsDialog::OnDestroy() { m_previewPicture.Close(); }

void CSettingsDialog::PreparePreview() {
    const glimmer::HostFrameRecord& destination = **hostRecord().destination;
    const int32_t width = (destination.rowBytes >> 2) & 0xFFF;
    const int32_t rows = destination.bounds[3] - destination.bounds[1];
    m_previewPicture.Prepare(GetDlgItem(IDC_PREVIEW_GROUP), width, rows);
}

void CSettingsDialog::FetchSourceFrames() {
    fetchSourceFrames(hostRecord(), workingSettings().holdFlags, m_previewPos);
}

void CSettingsDialog::RefreshPreview() {
    glimmer::HostEffectRecord& record = hostRecord();
    const int32_t position = m_previewSlider.m_hWnd != nullptr ? m_previewSlider.GetPos() : m_previewPos;
    fetchFramesForPosition(record, workingSettings().holdFlags, position, m_previewPos,
                           glimmer::externalRenderFlag != 0);
    m_previewPos = position;
    record.position = renderPosition(position, record.total, record.reverse != 0);
    glimmer::runHostFrameSetup(glimmer::hostEffectHandle);
    m_previewPicture.Draw(GetDlgItem(IDC_PREVIEW_GROUP), (**hostRecord().destination).pixels);
}

void CSettingsDialog::UpdateTimeReadout() {
    const glimmer::HostEffectRecord& record = hostRecord();
    m_readout.Update(record.total, m_previewPos, record.frameRate);
    m_readoutText = m_readout.Text();
    UpdateData(false);
}
