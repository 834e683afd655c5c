// The four pages of the real dialog, driven by control id: every trackbar
// and preset, the cell-size boxes, the flag bits, the Sources spins and
// the thumbnail against the engine's sampler.
#include <windows.h>
#include <commctrl.h>

#include "dialog_ids.h"
#include "dialog_user.h"
#include "source_map.h"

namespace glimmer::testing {
namespace {

using Field = int32_t TransitionSettings::*;

struct Slider {
    int page;
    int id;
    Field field;
    int maximum;
    int presetId;
    int presetValue;
};

const Slider sliders[] = {
    {0, IDC_MOVEMENT_VARIANCE, &TransitionSettings::speedVariance, 255, IDC_MOVEMENT_PRESET_V, 16},
    {0, IDC_MOVEMENT_SPEED_NOISE, &TransitionSettings::speedNoise, 255, IDC_MOVEMENT_PRESET_N, 4},
    {0, IDC_MOVEMENT_XY_DIFFERENCE, &TransitionSettings::xySpeedDifference, 255, IDC_MOVEMENT_PRESET_C, 127},
    {0, IDC_MOVEMENT_CENTER_X, &TransitionSettings::centerX, 256, IDC_MOVEMENT_PRESET_X, 127},
    {0, IDC_MOVEMENT_CENTER_Y, &TransitionSettings::centerY, 256, IDC_MOVEMENT_PRESET_Y, 127},
    {1, IDC_NATURE_MINIMUM, &TransitionSettings::minimumSpeed, 255, IDC_NATURE_PRESET_M, 8},
    {1, IDC_NATURE_TIMELINE, &TransitionSettings::timelineLinearity, 255, IDC_NATURE_PRESET_TIMELINE, 127},
    {1, IDC_NATURE_GRAVITY, &TransitionSettings::gravity, 255, IDC_NATURE_PRESET_GRAVITY, 0},
    {1, IDC_NATURE_WIND, &TransitionSettings::wind, 255, IDC_NATURE_PRESET_W, 128},
    {2, IDC_LIFE_DELAY, &TransitionSettings::delay, 255, IDC_LIFE_PRESET_D, 0},
    {2, IDC_LIFE_DELAY_NOISE, &TransitionSettings::delayNoise, 255, IDC_LIFE_PRESET_N, 0},
    {2, IDC_LIFE_MINIMUM, &TransitionSettings::lifeMinimum, 255, IDC_LIFE_PRESET_M, 255},
    {2, IDC_LIFE_MAXIMUM, &TransitionSettings::lifeMaximum, 255, IDC_LIFE_PRESET_L, 255},
};

class SettingsPagesTest : public DialogTest {};

TEST_F(SettingsPagesTest, TrackbarsStoreEveryFieldOfTheirPageAndPresetsSetTheirValues) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        for (int page = 0; page <= 2; ++page) {
            user.showPage(page);
            // Positions set without notification are all stored by one scroll.
            int value = 40;
            for (const Slider& s : sliders)
                if (s.page == page) SendMessageA(user.pageControl(s.id), TBM_SETPOS, TRUE, value++);
            const Slider* first = nullptr;
            for (const Slider& s : sliders)
                if (s.page == page && first == nullptr) first = &s;
            user.moveTrackbar(user.pageControl(first->id), 39);
            int index = 0;
            for (const Slider& s : sliders) {
                if (s.page != page) continue;
                SCOPED_TRACE("trackbar " + std::to_string(s.id));
                EXPECT_EQ(working().*s.field, index == 0 ? 39 : 40 + index);
                ++index;
                EXPECT_EQ(SendMessageA(user.pageControl(s.id), TBM_GETRANGEMAX, 0, 0), s.maximum);
                // The end of a movement stores nothing new.
                SendMessageA(user.pageControl(s.id), TBM_SETPOS, TRUE, 3);
                user.moveTrackbar(user.pageControl(s.id), 3, TB_ENDTRACK);
                user.moveTrackbar(user.pageControl(s.id), 3, TB_THUMBPOSITION);
                EXPECT_NE(working().*s.field, 3);
                user.moveTrackbar(user.pageControl(s.id), s.maximum);
                EXPECT_EQ(working().*s.field, s.maximum);
                user.click(user.pageControl(s.presetId));
                EXPECT_EQ(working().*s.field, s.presetValue);
                EXPECT_EQ(user.trackbarPosition(user.pageControl(s.id)), s.presetValue);
            }
        }
    }));
    EXPECT_EQ(hostSettings().centerX, 127);
    EXPECT_EQ(hostSettings().lifeMinimum, 255);
}

TEST_F(SettingsPagesTest, BandsHoldAndOrderSetExactlyTheirBits) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        working().cellFlags = 0x40;
        user.click(user.pageControl(IDC_MOVEMENT_BANDS));
        EXPECT_EQ(working().cellFlags, 0x41);
        user.click(user.pageControl(IDC_MOVEMENT_BANDS));
        EXPECT_EQ(working().cellFlags, 0x40);

        user.showPage(1);
        EXPECT_EQ(user.check(user.pageControl(IDC_NATURE_HOLD_CLIP1)), BST_CHECKED);
        EXPECT_EQ(user.check(user.pageControl(IDC_NATURE_HOLD_CLIP2)), BST_CHECKED);
        user.click(user.pageControl(IDC_NATURE_HOLD_CLIP2));
        EXPECT_EQ(working().holdFlags, 1);
        user.click(user.pageControl(IDC_NATURE_HOLD_CLIP1));
        EXPECT_EQ(working().holdFlags, 0);

        user.showPage(2);
        EXPECT_EQ(user.check(user.pageControl(IDC_LIFE_LEFT_TO_RIGHT)), BST_CHECKED);
        EXPECT_EQ(user.check(user.pageControl(IDC_LIFE_UP_TO_DOWN)), BST_CHECKED);
        working().orderFlags = 0x10;
        user.click(user.pageControl(IDC_LIFE_RIGHT_TO_LEFT));
        EXPECT_EQ(working().orderFlags, 0x12);
        EXPECT_EQ(user.check(user.pageControl(IDC_LIFE_LEFT_TO_RIGHT)), BST_UNCHECKED);
        user.click(user.pageControl(IDC_LIFE_DOWN_TO_UP));
        EXPECT_EQ(working().orderFlags, 0x13);
        user.click(user.pageControl(IDC_LIFE_LEFT_TO_RIGHT));
        EXPECT_EQ(working().orderFlags, 0x11);
        user.click(user.pageControl(IDC_LIFE_UP_TO_DOWN));
        EXPECT_EQ(working().orderFlags, 0x10);
        // A page brought to the front shows the record as it stands.
        working().orderFlags = 3;
        working().holdFlags = 2;
        user.showPage(1);
        EXPECT_EQ(user.check(user.pageControl(IDC_NATURE_HOLD_CLIP1)), BST_UNCHECKED);
        EXPECT_EQ(user.check(user.pageControl(IDC_NATURE_HOLD_CLIP2)), BST_CHECKED);
        user.showPage(2);
        EXPECT_EQ(user.check(user.pageControl(IDC_LIFE_RIGHT_TO_LEFT)), BST_CHECKED);
        EXPECT_EQ(user.check(user.pageControl(IDC_LIFE_DOWN_TO_UP)), BST_CHECKED);
        EXPECT_EQ(user.check(user.pageControl(IDC_LIFE_LEFT_TO_RIGHT)), BST_UNCHECKED);
    }));
}

TEST_F(SettingsPagesTest, CellSizeBoxesClampRefuseNonNumbersAndRestoreEmptyText) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        HWND width = user.pageControl(IDC_MOVEMENT_CELL_WIDTH);
        HWND height = user.pageControl(IDC_MOVEMENT_CELL_HEIGHT);
        EXPECT_EQ(user.text(width), "2");
        user.setText(width, "0");
        EXPECT_EQ(user.text(width), "1");
        EXPECT_EQ(working().cellWidth, 1);
        user.setText(height, "5000");
        EXPECT_EQ(user.text(height), "4096");
        EXPECT_EQ(working().cellHeight, 4096);
        user.setText(width, "37");
        EXPECT_EQ(working().cellWidth, 37);

        EXPECT_EQ(user.setTextExpectingMessage(width, "12abc"), "Please enter an integer.");
        EXPECT_EQ(working().cellWidth, 37);
        GUITHREADINFO focus = {sizeof focus};
        GetGUIThreadInfo(GetWindowThreadProcessId(user.dialog, nullptr), &focus);
        EXPECT_EQ(focus.hwndFocus, width);  // the focus is back in the bad box
        DWORD selectionEnd = 0;
        SendMessageA(width, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&selectionEnd));
        EXPECT_EQ(selectionEnd, 5u);  // the bad text is selected for retyping

        // Emptied: nothing stored, and the number comes back on focus loss.
        user.setText(width, "");
        EXPECT_EQ(working().cellWidth, 37);
        SendMessageA(user.page(), WM_COMMAND, MAKEWPARAM(IDC_MOVEMENT_CELL_WIDTH, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(width));
        EXPECT_EQ(user.text(width), "37");
        // ... and on leaving the page.
        user.setText(height, "");
        user.showPage(1);
        EXPECT_EQ(working().cellHeight, 4096);
        user.showPage(0);
        EXPECT_EQ(user.text(user.pageControl(IDC_MOVEMENT_CELL_HEIGHT)), "4096");

        // A record's 32-bit sizes (a file loaded while another page is in
        // front) are clamped before the 16-bit arrows see them.
        user.showPage(1);
        working().cellWidth = 65537;
        working().cellHeight = 40000;
        user.showPage(0);
        EXPECT_EQ(user.text(user.pageControl(IDC_MOVEMENT_CELL_WIDTH)), "4096");
        EXPECT_EQ(user.text(user.pageControl(IDC_MOVEMENT_CELL_HEIGHT)), "4096");
        EXPECT_EQ(working().cellWidth, 4096);
        EXPECT_EQ(working().cellHeight, 4096);
        user.showPage(1);
        working().cellWidth = -3;
        user.showPage(0);
        EXPECT_EQ(user.text(user.pageControl(IDC_MOVEMENT_CELL_WIDTH)), "1");
        EXPECT_EQ(working().cellWidth, 1);
    }));
}

TEST_F(SettingsPagesTest, SourcesSpinsNamesAndBlocks) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        user.showPage(3);
        HWND parameter = user.pageControl(IDC_SOURCES_PARAMETER_SPIN);
        HWND source = user.pageControl(IDC_SOURCES_SOURCE_SPIN);
        HWND repeatX = user.pageControl(IDC_SOURCES_REPEAT_X_SPIN);
        HWND repeatY = user.pageControl(IDC_SOURCES_REPEAT_Y_SPIN);
        auto shown = [&](int id) { return user.text(user.pageControl(id)); };
        EXPECT_EQ(shown(IDC_SOURCES_PARAMETER_NAME), "Moving X");
        EXPECT_EQ(shown(IDC_SOURCES_SOURCE_NAME), "Diag 1");
        EXPECT_EQ(shown(IDC_SOURCES_LEGEND), "Black:Right White:Left");
        EXPECT_EQ(shown(IDC_SOURCES_REPEAT_X_TEXT), "1");

        // Ranges without wrapping: the spins stop at their ends.
        for (auto [spin, low, high] : {std::tuple<HWND, int, int>{parameter, 0, 2}, {source, 0, 14},
                                       {repeatX, 1, 16}, {repeatY, 1, 16}}) {
            int lower = 0;
            int upper = 0;
            SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
            EXPECT_EQ(lower, low);
            EXPECT_EQ(upper, high);
            EXPECT_EQ(GetWindowLongA(spin, GWL_STYLE) & UDS_WRAP, 0);
        }

        const TransitionSettings before = working();
        user.moveSpin(parameter, 1);
        EXPECT_EQ(shown(IDC_SOURCES_PARAMETER_NAME), "Moving Y");
        EXPECT_EQ(shown(IDC_SOURCES_LEGEND), "Black: Up  White: Down");
        EXPECT_EQ(bytesOf(working()), bytesOf(before));  // choosing a parameter writes nothing
        user.moveSpin(source, 12);
        EXPECT_EQ(working().movingYMap.source, 12);
        EXPECT_EQ(working().movingYMap.repeatX, 1);
        EXPECT_EQ(shown(IDC_SOURCES_SOURCE_NAME), "Grad X");
        user.moveSpin(repeatX, 16);
        user.moveSpin(repeatY, 5);
        EXPECT_EQ(working().movingYMap.repeatX, 16);
        EXPECT_EQ(working().movingYMap.repeatY, 5);
        EXPECT_EQ(shown(IDC_SOURCES_REPEAT_Y_TEXT), "5");
        EXPECT_EQ(bytesOf(working().movingXMap), bytesOf(before.movingXMap));
        EXPECT_EQ(bytesOf(working().delayMap), bytesOf(before.delayMap));

        user.moveSpin(parameter, 2);
        EXPECT_EQ(shown(IDC_SOURCES_PARAMETER_NAME), "Delay");
        EXPECT_EQ(shown(IDC_SOURCES_SOURCE_NAME), "Diag 1 S");
        EXPECT_EQ(user.check(user.pageControl(IDC_SOURCES_ODD_X)), BST_CHECKED);
        EXPECT_EQ(user.check(user.pageControl(IDC_SOURCES_ODD_Y)), BST_CHECKED);
        user.click(user.pageControl(IDC_SOURCES_INVERT));
        EXPECT_EQ(working().delayMap.invert, 1);
        EXPECT_EQ(working().delayMap.oddX, 1);
        user.click(user.pageControl(IDC_SOURCES_ODD_X));
        EXPECT_EQ(working().delayMap.oddX, 0);
        EXPECT_EQ(working().delayMap.oddY, 1);
        EXPECT_EQ(working().movingYMap.invert, 0);

        // A record's source beyond the list shows no name.
        working().delayMap.source = 20;
        user.showPage(0);
        user.showPage(3);
        EXPECT_EQ(shown(IDC_SOURCES_PARAMETER_NAME), "Delay");  // the parameter stays chosen
        EXPECT_EQ(shown(IDC_SOURCES_SOURCE_NAME), "");
    }));
}

// The thumbnail on the screen against the engine's sampler at a few points.
TEST_F(SettingsPagesTest, ThumbnailShowsTheSampledGreyLevels) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        working().movingXMap = SourceMap{sourceGreen1, 0, 2, 1, 1, 0};
        user.showPage(3);
        HWND group = user.pageControl(IDC_SOURCES_THUMBNAIL_GROUP);
        RedrawWindow(user.page(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Sleep(200);
        const ScreenPicture shown = user.captureClient(group);
        RECT client;
        GetClientRect(group, &client);
        // The placement rule for a 128 x 96 picture in this box.
        ASSERT_GT(client.right, 128);
        ASSERT_GT(client.bottom, 96);
        const int x0 = (client.right - 128) / 2;
        const int slack = client.bottom - 96;
        const int y0 = slack / 2 > 10 ? (slack - 10) / 2 + 10 : (slack > 2 ? slack - 2 : slack / 2);
        const HostFrameRecord& a = session.imageA().record();
        const uint32_t* clip2 = session.imageB().record().pixels;
        for (auto [c, r] : {std::pair<int, int>{3, 5}, {64, 48}, {100, 90}, {127, 0}, {20, 70}}) {
            const int x = c * frameWidth / 128;
            const int y = r * frameRows / 96;
            const auto expected = static_cast<uint32_t>(
                sampleSourceMap(x, y, frameWidth, frameRows, working().movingXMap, a.pixels, clip2));
            // Row 0 of the thumbnail is its bottom line on the screen.
            const uint32_t pixel = shown.at(x0 + c, y0 + 95 - r);
            EXPECT_EQ(pixel, expected * 0x010101u) << "column " << c << " row " << r;
        }
    }));
}

}  // namespace
}  // namespace glimmer::testing
