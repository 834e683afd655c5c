// The "Nature" page: minimum speed, timeline, gravity, wind, and the Hold
// boxes that freeze a clip in the preview.
#pragma once

#include "dialog_ids.h"
#include "slider_page.h"

class CMyPropertyPage2 : public CSliderPage {
public:
    enum { IDD = IDD_NATURE_PAGE };
    CMyPropertyPage2();
    void LoadNatureControls();

protected:
    void LoadControls() override { LoadNatureControls(); }
};
