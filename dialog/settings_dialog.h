// The settings dialog: the preview with its trackbar and readout, the
// banner, OK, Cancel, "&Load", "&Save" and "&Help", and beside it the
// frame with the four pages. Every change goes straight into the working
// settings; OK and Cancel only end the dialog.
#pragma once

#include <string>

#include "controls.h"
#include "dialog.h"
#include "dialog_ids.h"
#include "dib_picture.h"
#include "message_map.h"
#include "timecode.h"

class CPropertyFrame;

class CSettingsDialog : public CDialog {
public:
    enum { IDD = IDD_SETTINGS_DIALOG };

    explicit CSettingsDialog(HWND owner);
    ~CSettingsDialog() override;

    // The preview (what the pages call).
    void PreparePreview();
    void FetchSourceFrames();
    void RefreshPreview();
    void UpdateTimeReadout();

    void CreatePropertyFrame();
    CPropertyFrame* PropertyFrame() const { return m_pPropertyFrame; }
    int32_t PreviewPosition() const { return m_previewPos; }

    bool PreTranslateMessage(MSG& message) override;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;

    BEGIN_MESSAGE_MAP(CSettingsDialog, CDialog)
        ON_WM_HSCROLL()
        ON_WM_PAINT()
        ON_BN_CLICKED(IDC_SAVE, OnSave)
        ON_BN_CLICKED(IDC_LOAD, OnLoad)
        ON_BN_CLICKED(IDC_BANNER, OnBanner)
        ON_WM_MOVE()
        ON_WM_DESTROY()
    END_MESSAGE_MAP()

private:
    void OnHScroll(UINT code, int position, HWND trackbar);
    void OnPaint();
    void OnSave();
    void OnLoad();
    void OnBanner();
    void OnMove(int x, int y);
    void OnDestroy();
    void ReloadActivePage();

    CBitmap m_bannerBitmap;
    int32_t m_previewPos = 0;
    CButton m_bannerButton;
    CSliderCtrl m_previewSlider;
    std::string m_readoutText;
    CToolTipCtrl m_toolTip;
    CPropertyFrame* m_pPropertyFrame = nullptr;

    TimeReadout m_readout;
    DibPicture m_previewPicture;
};
