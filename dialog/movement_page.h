// The "Movement" page: speed and direction trackbars with their presets,
// the two cell-size boxes with arrows, and "Bands".
#pragma once

#include <cstdint>

#include "dialog_ids.h"
#include "slider_page.h"

// Cell sizes the boxes accept.
constexpr int32_t cellSizeMinimum = 1;
constexpr int32_t cellSizeMaximum = 4096;

class CMyPropertyPage1 : public CSliderPage {
public:
    enum { IDD = IDD_MOVEMENT_PAGE };
    CMyPropertyPage1();
    void LoadMovementControls();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void SetPageRanges() override;
    void LoadControls() override { LoadMovementControls(); }
    BOOL OnKillActive() override;

    BEGIN_MESSAGE_MAP(CMyPropertyPage1, CSliderPage)
        ON_EN_KILLFOCUS(IDC_MOVEMENT_CELL_WIDTH, OnCellWidthKillFocus)
        ON_EN_KILLFOCUS(IDC_MOVEMENT_CELL_HEIGHT, OnCellHeightKillFocus)
        ON_EN_CHANGE(IDC_MOVEMENT_CELL_WIDTH, OnCellWidthChange)
        ON_EN_CHANGE(IDC_MOVEMENT_CELL_HEIGHT, OnCellHeightChange)
    END_MESSAGE_MAP()

private:
    // A cell-size box: its edit, the member it exchanges with, its field.
    struct CellBox {
        int editId;
        int32_t CMyPropertyPage1::*member;
        SettingsField field;
    };
    static const CellBox widthBox;
    static const CellBox heightBox;

    void OnCellWidthKillFocus() { OnCellSizeKillFocus(widthBox); }
    void OnCellHeightKillFocus() { OnCellSizeKillFocus(heightBox); }
    void OnCellWidthChange() { OnCellSizeChange(widthBox); }
    void OnCellHeightChange() { OnCellSizeChange(heightBox); }
    void OnCellSizeChange(const CellBox& box);
    void OnCellSizeKillFocus(const CellBox& box);
    // Clamps the box's integer to 1..4096, rewriting both boxes if it changed.
    void ClampCellSize(const CellBox& box);
    bool BoxIsEmpty(int editId) const;

    CButton m_bands;
    CEdit m_cellHeightBox;
    CEdit m_cellWidthBox;
    CSpinButtonCtrl m_cellHeightSpin;
    CSpinButtonCtrl m_cellWidthSpin;
    int32_t m_cellWidth = 0;
    int32_t m_cellHeight = 0;
};
