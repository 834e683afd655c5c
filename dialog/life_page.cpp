#include "life_page.h"

#include "active_dialog.h"
#include "working_settings.h"

namespace {

using glimmer::TransitionSettings;

constexpr int32_t orderRowsUp = 1;       // "D->U"
constexpr int32_t orderColumnsLeft = 2;  // "R->L"

constexpr PageTrackbar lifeTrackbars[] = {
    {IDC_LIFE_DELAY, &TransitionSettings::delay, 255},
    {IDC_LIFE_DELAY_NOISE, &TransitionSettings::delayNoise, 255},
    {IDC_LIFE_MINIMUM, &TransitionSettings::lifeMinimum, 255},
    {IDC_LIFE_MAXIMUM, &TransitionSettings::lifeMaximum, 255},
};

constexpr PagePreset lifePresets[] = {
    {IDC_LIFE_PRESET_D, IDC_LIFE_DELAY, &TransitionSettings::delay, 0},
    {IDC_LIFE_PRESET_L, IDC_LIFE_MAXIMUM, &TransitionSettings::lifeMaximum, 255},
    {IDC_LIFE_PRESET_M, IDC_LIFE_MINIMUM, &TransitionSettings::lifeMinimum, 255},
    {IDC_LIFE_PRESET_N, IDC_LIFE_DELAY_NOISE, &TransitionSettings::delayNoise, 0},
};

constexpr PageTool lifeTools[] = {
    {IDC_LIFE_DELAY, IDS_TIP_DELAY},
    {IDC_LIFE_DELAY_NOISE, IDS_TIP_DELAY_NOISE},
    {IDC_LIFE_MINIMUM, IDS_TIP_LIFE_MINIMUM},
    {IDC_LIFE_MAXIMUM, IDS_TIP_LIFE_MAXIMUM},
    {IDC_LIFE_LEFT_TO_RIGHT, IDS_TIP_LEFT_TO_RIGHT},
    {IDC_LIFE_RIGHT_TO_LEFT, IDS_TIP_RIGHT_TO_LEFT},
    {IDC_LIFE_UP_TO_DOWN, IDS_TIP_UP_TO_DOWN},
    {IDC_LIFE_DOWN_TO_UP, IDS_TIP_DOWN_TO_UP},
};

int checkState(bool pressed) { return pressed ? BST_CHECKED : BST_UNCHECKED; }

}  // namespace

CMyPropertyPage3::CMyPropertyPage3() : CSliderPage(IDD, {lifeTrackbars, lifePresets, {}, lifeTools}) {}

void CMyPropertyPage3::DoDataExchange(CDataExchange& dx) {
    DDX_Control(dx, IDC_LIFE_RIGHT_TO_LEFT, m_rightToLeft);
    DDX_Control(dx, IDC_LIFE_DOWN_TO_UP, m_downToUp);
    DDX_Control(dx, IDC_LIFE_UP_TO_DOWN, m_upToDown);
    DDX_Control(dx, IDC_LIFE_LEFT_TO_RIGHT, m_leftToRight);
}

void CMyPropertyPage3::LoadLifeControls() {
    LoadTrackbars();
    const int32_t order = workingSettings().orderFlags;
    // All four explicitly, so that each pair shows exactly one pressed button.
    m_upToDown.SetCheck(checkState((order & orderRowsUp) == 0));
    m_leftToRight.SetCheck(checkState((order & orderColumnsLeft) == 0));
    m_downToUp.SetCheck(checkState((order & orderRowsUp) != 0));
    m_rightToLeft.SetCheck(checkState((order & orderColumnsLeft) != 0));
}

void CMyPropertyPage3::OnOrderClicked() {
    int32_t& order = workingSettings().orderFlags;
    if (m_upToDown.GetCheck() == BST_CHECKED)
        order &= ~orderRowsUp;
    else
        order |= orderRowsUp;
    if (m_leftToRight.GetCheck() == BST_CHECKED)
        order &= ~orderColumnsLeft;
    else
        order |= orderColumnsLeft;
    refreshActivePreview();
}
