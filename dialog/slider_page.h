// The pattern the Movement, Nature and Life pages share, written once:
// each page describes its trackbars, preset buttons, flag boxes and
// tooltips in tables, and this class sets the ranges, loads the controls
// from the record, stores every trackbar on a scroll, applies presets and
// flags, and relays tooltips.
#pragma once

#include <cstddef>
#include <cstdint>

#include "controls.h"
#include "message_map.h"
#include "property_page.h"
#include "transition_settings.h"

using SettingsField = int32_t glimmer::TransitionSettings::*;

struct PageTrackbar {
    int id;
    SettingsField field;
    int maximum;  // every range starts at 0
};

struct PagePreset {
    int buttonId;
    int trackbarId;
    SettingsField field;
    int32_t value;
};

struct PageFlag {
    int boxId;
    SettingsField field;
    int32_t bit;
    bool refetchesFrames;  // the Hold boxes change which frames the preview shows
};

struct PageTool {
    int controlId;
    UINT textId;
};

// A view of one of a page's constant tables.
template <typename T>
struct PageTable {
    template <std::size_t N>
    constexpr PageTable(const T (&items)[N]) : begin_(items), end_(items + N) {}
    constexpr PageTable() : begin_(nullptr), end_(nullptr) {}
    const T* begin() const { return begin_; }
    const T* end() const { return end_; }

private:
    const T* begin_;
    const T* end_;
};

struct SliderPageTables {
    PageTable<PageTrackbar> trackbars;  // in the order ranges are set and values stored
    PageTable<PagePreset> presets;
    PageTable<PageFlag> flags;
    PageTable<PageTool> tools;          // in the order they are registered
};

class CSliderPage : public CPropertyPage {
public:
    bool PreTranslateMessage(MSG& message) override;

protected:
    CSliderPage(UINT templateId, const SliderPageTables& tables)
        : CPropertyPage(templateId), m_tables(tables) {}

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

    // Ranges of the page's other controls, after the trackbars' own.
    virtual void SetPageRanges() {}
    // The page's load operation: every control from the record.
    virtual void LoadControls() = 0;

    // Trackbar positions and flag boxes from the record.
    void LoadTrackbars() const;
    void LoadFlags() const;

    BEGIN_MESSAGE_MAP(CSliderPage, CPropertyPage)
        ON_WM_HSCROLL()
        ON_BN_CLICKED_FOR(OnTableButton)
    END_MESSAGE_MAP()

    CToolTipCtrl m_toolTip;

private:
    void OnHScroll(UINT code, int position, HWND trackbar);
    // A preset or flag box of the tables; false for any other button.
    bool OnTableButton(int id);

    SliderPageTables m_tables;
};
