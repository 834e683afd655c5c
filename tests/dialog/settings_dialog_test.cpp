// The settings dialog of the built Fx.prm, opened through xEffect and
// driven by control id: preview trackbar and readout, the frames the
// preview asks the host for, the sheet frame beside the preview, and what
// the preview shows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "dialog_ids.h"
#include "dialog_user.h"

namespace glimmer::testing {
namespace {

using Request = LoggedClipFrames::Request;
using Requests = std::vector<Request>;

std::string readoutLine(const std::string& label, const std::string& timecode, int blanksAfter) {
    return label + timecode + std::string(blanksAfter, ' ');
}

class SettingsDialogTest : public DialogTest {};

TEST_F(SettingsDialogTest, ReadoutTrackbarAndHeldFramesOfTheDefaults) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        HWND trackbar = user.control(IDC_PREVIEW_TRACKBAR);
        EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0), 0);
        EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0), 49);
        EXPECT_EQ(user.text(user.control(IDC_READOUT)),
                  readoutLine("Duration: ", "0:00:02:00", 6) + "\n" + readoutLine("Preview:  ", "0:00:00:00", 7));
        // Both clips held (holdFlags 3): image A at 0 as track 0, image B at
        // total - 1 as track 1, and nothing more when the trackbar moves.
        Requests opening = clips.take();
        ASSERT_GE(opening.size(), 2u);
        EXPECT_EQ(opening[0], (Request{0, 0}));
        EXPECT_EQ(opening[1], (Request{49, 1}));
        user.moveTrackbar(trackbar, 37);
        EXPECT_EQ(clips.take(), Requests{});
        EXPECT_EQ(session.record().position, 37);
        EXPECT_EQ(user.text(user.control(IDC_READOUT)),
                  readoutLine("Duration: ", "0:00:02:00", 6) + "\n" + readoutLine("Preview:  ", "0:00:01:12", 7));
        // Releasing the thumb renders and reads out nothing new.
        session.record().position = -5;
        user.moveTrackbar(trackbar, 12, TB_THUMBPOSITION);
        user.moveTrackbar(trackbar, 12, TB_ENDTRACK);
        EXPECT_EQ(session.record().position, -5);
        EXPECT_NE(user.text(user.control(IDC_READOUT)).find("0:00:01:12"), std::string::npos);
    }));
}

// Frame requests for every combination of reverse, sourceSwap and hold
// bits, seen when the trackbar moves and when a Hold box is clicked.
TEST_F(SettingsDialogTest, FrameRequestsFollowHoldReverseAndSwap) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        HWND trackbar = user.control(IDC_PREVIEW_TRACKBAR);
        int position = 0;
        for (int reverse = 0; reverse <= 1; ++reverse) {
            for (int swap = 0; swap <= 1; ++swap) {
                for (int hold = 0; hold <= 3; ++hold) {
                    SCOPED_TRACE("reverse " + std::to_string(reverse) + " swap " + std::to_string(swap) +
                                 " hold " + std::to_string(hold));
                    session.record().reverse = static_cast<uint8_t>(reverse * 7);
                    session.record().sourceSwap = static_cast<uint8_t>(swap * 3);
                    working().holdFlags = hold;
                    const int32_t trackA = (reverse != swap) ? 1 : 0;
                    const int32_t trackB = 1 - trackA;
                    const int effective = reverse ? ((hold & 1) << 1) | ((hold & 2) >> 1) : hold;
                    position = (position + 7) % 50;
                    clips.take();
                    user.moveTrackbar(trackbar, position);
                    Requests expected;
                    if ((effective & 1) == 0) expected.push_back({position, trackA});
                    if ((effective & 2) == 0) expected.push_back({position, trackB});
                    EXPECT_EQ(clips.take(), expected);
                    EXPECT_EQ(session.record().position, reverse ? 50 - position - 1 : position);
                }
            }
        }
        // The same position again requests nothing but renders again.
        clips.take();
        working().holdFlags = 0;
        session.record().position = -1;
        user.moveTrackbar(trackbar, position, TB_LINEDOWN);
        EXPECT_EQ(clips.take(), Requests{});
        EXPECT_NE(session.record().position, -1);

        // A Hold box fetches both images anew under the new rule.
        session.record().reverse = 0;
        session.record().sourceSwap = 0;
        working().holdFlags = 3;
        user.showPage(1);
        clips.take();
        user.click(user.pageControl(IDC_NATURE_HOLD_CLIP1));
        EXPECT_EQ(working().holdFlags, 2);
        EXPECT_EQ(clips.take(), (Requests{{position, 0}, {49, 1}}));
        user.click(user.pageControl(IDC_NATURE_HOLD_CLIP2));
        EXPECT_EQ(working().holdFlags, 0);
        EXPECT_EQ(clips.take(), (Requests{{position, 0}, {position, 1}}));
        user.click(user.pageControl(IDC_NATURE_HOLD_CLIP1));
        EXPECT_EQ(clips.take(), (Requests{{0, 0}, {position, 1}}));
    }));
}

TEST_F(SettingsDialogTest, SheetFrameStaysBesideThePreviewAndAltF4HidesIt) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        ASSERT_NE(user.frame, nullptr);
        ASSERT_NE(user.sheet, nullptr);
        auto expectBeside = [&] {
            RECT group;
            RECT frame;
            GetWindowRect(user.control(IDC_PREVIEW_GROUP), &group);
            GetWindowRect(user.frame, &frame);
            EXPECT_EQ(frame.left, group.right + 1);
            EXPECT_EQ(frame.top, group.top);
        };
        expectBeside();
        EXPECT_EQ(GetWindow(user.frame, GW_OWNER), user.dialog);
        SetWindowPos(user.dialog, nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        expectBeside();

        // Alt+F4 in a page's control reaches the frame as a close: hidden.
        HWND focusable = user.pageControl(IDC_MOVEMENT_VARIANCE);
        PostMessageA(focusable, WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
        const auto giveUp = GetTickCount() + 5000;
        while (IsWindowVisible(user.frame) && GetTickCount() < giveUp) Sleep(10);
        EXPECT_FALSE(IsWindowVisible(user.frame));
        EXPECT_TRUE(IsWindow(user.frame));
        SetWindowPos(user.dialog, nullptr, 80, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_TRUE(IsWindowVisible(user.frame));
        expectBeside();
        // The first page is in front.
        EXPECT_EQ(user.activePage(), 0);
    }));
}

TEST_F(SettingsDialogTest, PreviewShowsTheTransitionAndFollowsTheTrackbar) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        HWND group = user.control(IDC_PREVIEW_GROUP);
        HWND trackbar = user.control(IDC_PREVIEW_TRACKBAR);
        SetWindowPos(user.dialog, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        user.moveTrackbar(trackbar, 10);
        Sleep(200);
        const ScreenPicture early = user.captureClient(group);
        // The sheet shows above the dialog: its page is no plain background.
        EXPECT_GT(user.captureClient(user.page()).colourCount(), 3u);

        user.saveScreenshot(user.captureDialogAndSheet(), "dialog-movement.png");
        user.moveTrackbar(trackbar, 30);
        Sleep(200);
        const ScreenPicture late = user.captureClient(group);
        EXPECT_GT(early.colourCount(), 8u);
        EXPECT_GT(late.colourCount(), 8u);
        EXPECT_FALSE(early == late);
        // A repaint without a change draws the same picture.
        RedrawWindow(user.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(200);
        EXPECT_TRUE(user.captureClient(group) == late);
        for (int index = 1; index <= 3; ++index) {
            static const char* const names[] = {"", "dialog-nature.png", "dialog-life.png", "dialog-sources.png"};
            user.showPage(index);
            Sleep(200);
            user.saveScreenshot(user.captureDialogAndSheet(), names[index]);
        }
    }));
}

TEST_F(SettingsDialogTest, OkKeepsTheEditsAndCancelDropsThem) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        user.moveTrackbar(user.pageControl(IDC_MOVEMENT_VARIANCE), 200);
        EXPECT_EQ(working().speedVariance, 200);
    }, IDOK));
    EXPECT_EQ(hostSettings().speedVariance, 200);
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        user.moveTrackbar(user.pageControl(IDC_MOVEMENT_VARIANCE), 9);
        EXPECT_EQ(working().speedVariance, 9);
    }, IDCANCEL));
    EXPECT_EQ(hostSettings().speedVariance, 200);
}

TEST_F(SettingsDialogTest, BannerOpensTheAboutBoxAndIsNoTabStop) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        HWND banner = user.control(IDC_BANNER);
        EXPECT_EQ(GetWindowLongA(banner, GWL_STYLE) & WS_TABSTOP, 0);
        EXPECT_NE(SendMessageA(banner, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
        user.clickAndLeave(banner);
        // The about box has its OK button and nothing else to answer.
        EXPECT_NE(user.dismissMessageBox().find("Glimmerscatterweft"), std::string::npos);
    }));
}

// A host that gives no positive frame rate gets blank timecodes, not a
// division by zero.
TEST_F(SettingsDialogTest, FrameRateOfZeroLeavesTheTimecodesBlank) {
    for (int16_t rate : {int16_t{0}, int16_t{-25}}) {
        session.record().frameRate = rate;
        ASSERT_TRUE(runSetup([&](DialogUser& user) {
            user.moveTrackbar(user.control(IDC_PREVIEW_TRACKBAR), 20);
            EXPECT_EQ(user.text(user.control(IDC_READOUT)),
                      "Duration:" + std::string(17, ' ') + "\n" + "Preview:" + std::string(19, ' '));
        }));
    }
}

// A frame whose window goes before the dialog's leaves the dialog without
// a frame rather than with a deleted one: moving it and loading still work.
TEST_F(SettingsDialogTest, DialogOutlivesItsFrame) {
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        HWND frame = user.frame;
        host().runOnHostThread([frame] { DestroyWindow(frame); });
        EXPECT_FALSE(IsWindow(frame));
        SetWindowPos(user.dialog, nullptr, 30, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        user.moveTrackbar(user.control(IDC_PREVIEW_TRACKBAR), 5);
        EXPECT_EQ(session.record().position, 5);
    }));
}

// The host may move a frame's pixels between calls: the preview renders
// into and draws from the buffer the record names at that moment.
TEST_F(SettingsDialogTest, PreviewFollowsAMovedDestinationBuffer) {
    std::vector<uint32_t> moved(frameWidth * frameRows, 0u);
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        uint32_t* original = session.destination().record().pixels;
        host().runOnHostThread([&] { session.destination().record().pixels = moved.data(); });
        user.moveTrackbar(user.control(IDC_PREVIEW_TRACKBAR), 3);
        EXPECT_NE(std::count(moved.begin(), moved.end(), 0u), static_cast<long>(moved.size()));
        host().runOnHostThread([&] { session.destination().record().pixels = original; });
    }));
}

}  // namespace
}  // namespace glimmer::testing
