// The "Sources" page: the source map of "Moving X", "Moving Y" or "Delay",
// chosen with a spin, with its source, repeats, "Odd" and "Invert", and a
// grey thumbnail of the map as the sampler computes it from the preview's
// current frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls.h"
#include "dialog_ids.h"
#include "dib_picture.h"
#include "message_map.h"
#include "property_page.h"
#include "transition_settings.h"

class CMyPropertyPage4 : public CPropertyPage {
public:
    enum { IDD = IDD_SOURCES_PAGE };
    CMyPropertyPage4();
    void LoadSourceControls();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void DoDataExchange(CDataExchange& dx) override;

    BEGIN_MESSAGE_MAP(CMyPropertyPage4, CPropertyPage)
        ON_WM_PAINT()
        ON_WM_VSCROLL()
        ON_BN_CLICKED(IDC_SOURCES_INVERT, OnCheckBox)
        ON_BN_CLICKED(IDC_SOURCES_ODD_X, OnCheckBox)
        ON_BN_CLICKED(IDC_SOURCES_ODD_Y, OnCheckBox)
        ON_WM_DESTROY()
    END_MESSAGE_MAP()

private:
    void OnPaint();
    void OnVScroll(UINT code, int position, HWND control);
    void OnCheckBox();
    void OnDestroy() { m_thumbnail.Close(); }

    void PrepareSourceThumbnail();
    void DrawSourceThumbnail();
    // Has the page repainted over the thumbnail's area.
    void InvalidateThumbnail();
    // The block of the chosen parameter; null outside 0..2.
    glimmer::SourceMap* ChosenMap() const;

    CSpinButtonCtrl m_sourceSpin;
    CSpinButtonCtrl m_repeatYSpin;
    CSpinButtonCtrl m_repeatXSpin;
    CSpinButtonCtrl m_parameterSpin;
    int m_invert = 0;
    int m_oddX = 0;
    int m_oddY = 0;
    std::string m_parameterName;
    std::string m_repeatXText;
    std::string m_repeatYText;
    std::string m_sourceName;
    std::string m_legend;

    std::vector<uint32_t> m_thumbnailPixels;
    DibPicture m_thumbnail;
};
