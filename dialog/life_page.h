// The "Life" page: delay and its random part, the shortest and longest
// life, and the order in which the renderer walks the picture.
#pragma once

#include "dialog_ids.h"
#include "slider_page.h"

class CMyPropertyPage3 : public CSliderPage {
public:
    enum { IDD = IDD_LIFE_PAGE };
    CMyPropertyPage3();
    void LoadLifeControls();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void LoadControls() override { LoadLifeControls(); }

    BEGIN_MESSAGE_MAP(CMyPropertyPage3, CSliderPage)
        ON_BN_CLICKED(IDC_LIFE_DOWN_TO_UP, OnOrderClicked)
        ON_BN_CLICKED(IDC_LIFE_LEFT_TO_RIGHT, OnOrderClicked)
        ON_BN_CLICKED(IDC_LIFE_RIGHT_TO_LEFT, OnOrderClicked)
        ON_BN_CLICKED(IDC_LIFE_UP_TO_DOWN, OnOrderClicked)
    END_MESSAGE_MAP()

private:
    // After the pressed button has released its partner.
    void OnOrderClicked();

    CButton m_rightToLeft;
    CButton m_downToUp;
    CButton m_upToDown;
    CButton m_leftToRight;
};
