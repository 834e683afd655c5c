#include "nature_page.h"

namespace {

using glimmer::TransitionSettings;

constexpr PageTrackbar natureTrackbars[] = {
    {IDC_NATURE_GRAVITY, &TransitionSettings::gravity, 255},
    {IDC_NATURE_WIND, &TransitionSettings::wind, 255},
    {IDC_NATURE_MINIMUM, &TransitionSettings::minimumSpeed, 255},
    {IDC_NATURE_TIMELINE, &TransitionSettings::timelineLinearity, 255},
};

constexpr PagePreset naturePresets[] = {
    {IDC_NATURE_PRESET_TIMELINE, IDC_NATURE_TIMELINE, &TransitionSettings::timelineLinearity, 127},
    {IDC_NATURE_PRESET_GRAVITY, IDC_NATURE_GRAVITY, &TransitionSettings::gravity, 0},
    {IDC_NATURE_PRESET_M, IDC_NATURE_MINIMUM, &TransitionSettings::minimumSpeed, 8},
    {IDC_NATURE_PRESET_W, IDC_NATURE_WIND, &TransitionSettings::wind, 128},
};

constexpr PageFlag natureFlags[] = {
    {IDC_NATURE_HOLD_CLIP1, &TransitionSettings::holdFlags, 1, true},
    {IDC_NATURE_HOLD_CLIP2, &TransitionSettings::holdFlags, 2, true},
};

constexpr PageTool natureTools[] = {
    {IDC_NATURE_GRAVITY, IDS_TIP_GRAVITY},
    {IDC_NATURE_WIND, IDS_TIP_WIND},
    {IDC_NATURE_MINIMUM, IDS_TIP_MINIMUM_SPEED},
    {IDC_NATURE_TIMELINE, IDS_TIP_TIMELINE_LINEARITY},
};

}  // namespace

CMyPropertyPage2::CMyPropertyPage2()
    : CSliderPage(IDD, {natureTrackbars, naturePresets, natureFlags, natureTools}) {}

void CMyPropertyPage2::LoadNatureControls() {
    LoadTrackbars();
    LoadFlags();
}
