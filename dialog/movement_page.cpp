#include "movement_page.h"

#include <algorithm>

#include "active_dialog.h"
#include "working_settings.h"

namespace {

using glimmer::TransitionSettings;

constexpr int32_t cellFlagBands = 1;

constexpr PageTrackbar movementTrackbars[] = {
    {IDC_MOVEMENT_VARIANCE, &TransitionSettings::speedVariance, 255},
    {IDC_MOVEMENT_SPEED_NOISE, &TransitionSettings::speedNoise, 255},
    {IDC_MOVEMENT_XY_DIFFERENCE, &TransitionSettings::xySpeedDifference, 255},
    {IDC_MOVEMENT_CENTER_X, &TransitionSettings::centerX, 256},
    {IDC_MOVEMENT_CENTER_Y, &TransitionSettings::centerY, 256},
};

constexpr PagePreset movementPresets[] = {
    {IDC_MOVEMENT_PRESET_X, IDC_MOVEMENT_CENTER_X, &TransitionSettings::centerX, 127},
    {IDC_MOVEMENT_PRESET_Y, IDC_MOVEMENT_CENTER_Y, &TransitionSettings::centerY, 127},
    {IDC_MOVEMENT_PRESET_V, IDC_MOVEMENT_VARIANCE, &TransitionSettings::speedVariance, 16},
    {IDC_MOVEMENT_PRESET_N, IDC_MOVEMENT_SPEED_NOISE, &TransitionSettings::speedNoise, 4},
    {IDC_MOVEMENT_PRESET_C, IDC_MOVEMENT_XY_DIFFERENCE, &TransitionSettings::xySpeedDifference, 127},
};

constexpr PageFlag movementFlags[] = {
    {IDC_MOVEMENT_BANDS, &TransitionSettings::cellFlags, cellFlagBands, false},
};

constexpr PageTool movementTools[] = {
    {IDC_MOVEMENT_VARIANCE, IDS_TIP_SPEED_VARIANCE},
    {IDC_MOVEMENT_SPEED_NOISE, IDS_TIP_SPEED_NOISE},
    {IDC_MOVEMENT_XY_DIFFERENCE, IDS_TIP_XY_SPEED_DIFFERENCE},
    {IDC_MOVEMENT_CENTER_X, IDS_TIP_CENTER_X},
    {IDC_MOVEMENT_CENTER_Y, IDS_TIP_CENTER_Y},
};

int32_t clampedCellSize(int32_t value) { return std::clamp(value, cellSizeMinimum, cellSizeMaximum); }

}  // namespace

const CMyPropertyPage1::CellBox CMyPropertyPage1::widthBox = {
    IDC_MOVEMENT_CELL_WIDTH, &CMyPropertyPage1::m_cellWidth, &TransitionSettings::cellWidth};
const CMyPropertyPage1::CellBox CMyPropertyPage1::heightBox = {
    IDC_MOVEMENT_CELL_HEIGHT, &CMyPropertyPage1::m_cellHeight, &TransitionSettings::cellHeight};

CMyPropertyPage1::CMyPropertyPage1()
    : CSliderPage(IDD, {movementTrackbars, movementPresets, movementFlags, movementTools}) {}

void CMyPropertyPage1::DoDataExchange(CDataExchange& dx) {
    DDX_Control(dx, IDC_MOVEMENT_BANDS, m_bands);
    DDX_Control(dx, IDC_MOVEMENT_CELL_HEIGHT, m_cellHeightBox);
    DDX_Control(dx, IDC_MOVEMENT_CELL_WIDTH, m_cellWidthBox);
    DDX_Control(dx, IDC_MOVEMENT_CELL_HEIGHT_SPIN, m_cellHeightSpin);
    DDX_Control(dx, IDC_MOVEMENT_CELL_WIDTH_SPIN, m_cellWidthSpin);
    DDX_Text(dx, IDC_MOVEMENT_CELL_WIDTH, m_cellWidth);
    DDX_Text(dx, IDC_MOVEMENT_CELL_HEIGHT, m_cellHeight);
}

void CMyPropertyPage1::SetPageRanges() {
    m_cellWidthSpin.SetRange(cellSizeMinimum, cellSizeMaximum);
    m_cellHeightSpin.SetRange(cellSizeMinimum, cellSizeMaximum);
}

void CMyPropertyPage1::LoadMovementControls() {
    LoadTrackbars();
    // The arrows hold 16-bit positions: a record's 32-bit cell size is
    // clamped first, or 65537 would show as 1. Setting a position rewrites
    // the box, whose change handling stores and redraws when the text
    // changed; the clamped value is stored here as well for when it did not.
    glimmer::TransitionSettings& settings = workingSettings();
    const int32_t width = clampedCellSize(settings.cellWidth);
    const int32_t height = clampedCellSize(settings.cellHeight);
    m_cellWidthSpin.SetPos(width);
    m_cellHeightSpin.SetPos(height);
    settings.cellWidth = m_cellWidth = width;
    settings.cellHeight = m_cellHeight = height;
    LoadFlags();
    UpdateData(false);
}

bool CMyPropertyPage1::BoxIsEmpty(int editId) const { return ::GetWindowTextLengthA(GetDlgItem(editId)) == 0; }

void CMyPropertyPage1::ClampCellSize(const CellBox& box) {
    int32_t& value = this->*box.member;
    const int32_t clamped = clampedCellSize(value);
    if (clamped == value) return;
    value = clamped;
    UpdateData(false);
}

// Changes that a data exchange makes by rewriting the boxes, and focus moves
// caused by its prompt, are not the user's: they are ignored.
void CMyPropertyPage1::OnCellSizeChange(const CellBox& box) {
    if (IsInDataExchange() || GetDlgItem(box.editId) == nullptr || BoxIsEmpty(box.editId)) return;
    UpdateData(true);
    ClampCellSize(box);
    workingSettings().*box.field = this->*box.member;
    refreshActivePreview();
}

void CMyPropertyPage1::OnCellSizeKillFocus(const CellBox& box) {
    if (IsInDataExchange() || GetDlgItem(box.editId) == nullptr) return;
    if (BoxIsEmpty(box.editId)) UpdateData(false);
    UpdateData(true);
    ClampCellSize(box);
    workingSettings().*box.field = this->*box.member;
}

BOOL CMyPropertyPage1::OnKillActive() {
    if (BoxIsEmpty(IDC_MOVEMENT_CELL_WIDTH) || BoxIsEmpty(IDC_MOVEMENT_CELL_HEIGHT)) UpdateData(false);
    glimmer::TransitionSettings& settings = workingSettings();
    settings.cellWidth = m_cellWidth;
    settings.cellHeight = m_cellHeight;
    return CSliderPage::OnKillActive();
}
