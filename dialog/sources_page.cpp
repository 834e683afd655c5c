#include "sources_page.h"

#include "active_dialog.h"
#include "source_map.h"
#include "source_thumbnail.h"
#include "working_settings.h"

namespace {

struct Parameter {
    const char* name;
    glimmer::SourceMap glimmer::TransitionSettings::*block;
    const char* legend;
};

constexpr Parameter parameters[] = {
    {"Moving X", &glimmer::TransitionSettings::movingXMap, "Black:Right White:Left"},
    {"Moving Y", &glimmer::TransitionSettings::movingYMap, "Black: Up  White: Down"},
    {"Delay", &glimmer::TransitionSettings::delayMap, "Black:First White:Last"},
};
constexpr int parameterCount = 3;

// A record from a file or the host may hold any number: outside the list
// there is no name to show.
const char* sourceName(int32_t source) {
    return source >= 0 && source < glimmer::sourceCount ? glimmer::sourceMapNames[source] : "";
}

}  // namespace

CMyPropertyPage4::CMyPropertyPage4()
    : CPropertyPage(IDD), m_thumbnailPixels(thumbnailWidth * thumbnailRows, 0u) {}

void CMyPropertyPage4::DoDataExchange(CDataExchange& dx) {
    DDX_Control(dx, IDC_SOURCES_SOURCE_SPIN, m_sourceSpin);
    DDX_Control(dx, IDC_SOURCES_REPEAT_Y_SPIN, m_repeatYSpin);
    DDX_Control(dx, IDC_SOURCES_REPEAT_X_SPIN, m_repeatXSpin);
    DDX_Control(dx, IDC_SOURCES_PARAMETER_SPIN, m_parameterSpin);
    DDX_Check(dx, IDC_SOURCES_INVERT, m_invert);
    DDX_Check(dx, IDC_SOURCES_ODD_X, m_oddX);
    DDX_Check(dx, IDC_SOURCES_ODD_Y, m_oddY);
    DDX_Text(dx, IDC_SOURCES_PARAMETER_NAME, m_parameterName);
    DDX_Text(dx, IDC_SOURCES_REPEAT_X_TEXT, m_repeatXText);
    DDX_Text(dx, IDC_SOURCES_REPEAT_Y_TEXT, m_repeatYText);
    DDX_Text(dx, IDC_SOURCES_SOURCE_NAME, m_sourceName);
    DDX_Text(dx, IDC_SOURCES_LEGEND, m_legend);
}

BOOL CMyPropertyPage4::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_parameterSpin.SetRange(0, parameterCount - 1);
    m_repeatXSpin.SetRange(1, 16);
    m_repeatYSpin.SetRange(1, 16);
    m_sourceSpin.SetRange(0, glimmer::sourceCount - 1);
    m_parameterSpin.SetPos(0);
    LoadSourceControls();
    PrepareSourceThumbnail();
    return TRUE;
}

BOOL CMyPropertyPage4::OnSetActive() {
    LoadSourceControls();
    return CPropertyPage::OnSetActive();
}

glimmer::SourceMap* CMyPropertyPage4::ChosenMap() const {
    const int parameter = m_parameterSpin.GetPos();
    if (parameter < 0 || parameter >= parameterCount) return nullptr;
    return &(workingSettings().*parameters[parameter].block);
}

void CMyPropertyPage4::LoadSourceControls() {
    const int parameter = m_parameterSpin.GetPos();
    if (const glimmer::SourceMap* map = ChosenMap()) {
        m_repeatXSpin.SetPos(map->repeatX);
        m_repeatYSpin.SetPos(map->repeatY);
        m_sourceSpin.SetPos(map->source);
        m_invert = map->invert;
        m_oddX = map->oddX;
        m_oddY = map->oddY;
        m_parameterName = parameters[parameter].name;
        m_sourceName = sourceName(map->source);
        m_repeatXText = std::to_string(map->repeatX);
        m_repeatYText = std::to_string(map->repeatY);
        m_legend = parameters[parameter].legend;
    }
    UpdateData(false);
    InvalidateThumbnail();
    refreshActivePreview();
}

void CMyPropertyPage4::OnVScroll(UINT, int, HWND control) {
    const int id = ::GetDlgCtrlID(control);
    glimmer::SourceMap* map = ChosenMap();
    // The three values are written together, whichever spin moved.
    if (map != nullptr && (id == IDC_SOURCES_SOURCE_SPIN || id == IDC_SOURCES_REPEAT_X_SPIN ||
                           id == IDC_SOURCES_REPEAT_Y_SPIN)) {
        map->repeatX = m_repeatXSpin.GetPos();
        map->repeatY = m_repeatYSpin.GetPos();
        map->source = m_sourceSpin.GetPos();
    }
    LoadSourceControls();
}

void CMyPropertyPage4::OnCheckBox() {
    glimmer::SourceMap* map = ChosenMap();
    UpdateData(true);
    if (map != nullptr) {
        map->invert = m_invert;
        map->oddX = m_oddX;
        map->oddY = m_oddY;
    }
    InvalidateThumbnail();
    refreshActivePreview();
}

void CMyPropertyPage4::InvalidateThumbnail() {
    RECT area{};
    ::GetClientRect(GetDlgItem(IDC_SOURCES_THUMBNAIL_GROUP), &area);
    ::InvalidateRect(m_hWnd, &area, FALSE);
}

void CMyPropertyPage4::OnPaint() {
    PAINTSTRUCT paint;
    ::BeginPaint(m_hWnd, &paint);
    DrawSourceThumbnail();
    ::EndPaint(m_hWnd, &paint);
}

void CMyPropertyPage4::PrepareSourceThumbnail() {
    m_thumbnail.Prepare(GetDlgItem(IDC_SOURCES_THUMBNAIL_GROUP), thumbnailWidth, thumbnailRows);
}

void CMyPropertyPage4::DrawSourceThumbnail() {
    const glimmer::SourceMap* map = ChosenMap();
    if (map == nullptr) return;
    const glimmer::HostEffectRecord& record = hostRecord();
    const glimmer::HostFrameRecord& imageA = **record.sourceA;
    const ThumbnailSources sources{(imageA.rowBytes >> 2) & 0xFFF, imageA.bounds[3] - imageA.bounds[1],
                                   imageA.pixels, (**record.sourceB).pixels};
    computeSourceThumbnail(m_thumbnailPixels.data(), *map, sources);
    m_thumbnail.Draw(GetDlgItem(IDC_SOURCES_THUMBNAIL_GROUP), m_thumbnailPixels.data());
}
