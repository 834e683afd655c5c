// "&Load" and "&Save" of the real dialog through the common file dialogs:
// the file written, the settings read back into every page, and the
// messages of the files that do not load.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "dialog_ids.h"
#include "dialog_user.h"
#include "settings_file.h"

namespace glimmer::testing {
namespace {

std::string temporaryPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class SettingsFileDialogTest : public DialogTest {};

TEST_F(SettingsFileDialogTest, SaveWritesTheWorkingCopyAndLoadBringsItBackOnEveryPage) {
    const std::string path = temporaryPath("glimmer-dialog-test.qvx");
    TransitionSettings saved;
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        user.moveTrackbar(user.pageControl(IDC_MOVEMENT_VARIANCE), 201);
        working().gravity = 77;
        working().lifeMinimum = 33;
        working().reserved168[100] = 0xAB;
        saved = working();
        user.clickAndLeave(user.control(IDC_SAVE));
        ASSERT_TRUE(user.chooseFile(path));
        Sleep(300);
        ASSERT_EQ(fileBytes(path), std::string(settingsFileHeader, 32) +
                                       std::string(reinterpret_cast<const char*>(&saved), sizeof saved));

        // Saving over the file asks first; "Yes" replaces it.
        working().wind = 3;
        user.clickAndLeave(user.control(IDC_SAVE));
        ASSERT_TRUE(user.chooseFile(path));
        EXPECT_NE(user.dismissMessageBox().find("already exists"), std::string::npos);
        Sleep(300);
        EXPECT_EQ(fileBytes(path).substr(32 + offsetof(TransitionSettings, wind), 1), std::string(1, '\3'));

        // Load while "Life" is in front: Life shows it at once, the other
        // pages when they come to the front.
        writeBytes(path, std::string(settingsFileHeader, 32) +
                             std::string(reinterpret_cast<const char*>(&saved), sizeof saved));
        user.showPage(2);
        working() = defaultSettings();
        user.moveTrackbar(user.pageControl(IDC_LIFE_MINIMUM), 250);
        user.clickAndLeave(user.control(IDC_LOAD));
        ASSERT_TRUE(user.chooseFile(path));
        Sleep(300);
        EXPECT_EQ(bytesOf(working()), bytesOf(saved));
        EXPECT_EQ(user.trackbarPosition(user.pageControl(IDC_LIFE_MINIMUM)), 33);
        user.showPage(0);
        EXPECT_EQ(user.trackbarPosition(user.pageControl(IDC_MOVEMENT_VARIANCE)), 201);
        user.showPage(1);
        EXPECT_EQ(user.trackbarPosition(user.pageControl(IDC_NATURE_GRAVITY)), 77);
    }, IDCANCEL));
    // Cancel drops the loaded values with the working copy.
    EXPECT_EQ(bytesOf(hostSettings()), bytesOf(defaultSettings()));
}

TEST_F(SettingsFileDialogTest, FilesThatDoNotLoadShowTheirMessageAndChangeNothing) {
    const std::string missing = temporaryPath("glimmer-missing.qvx");
    const std::string shortFile = temporaryPath("glimmer-short.qvx");
    const std::string foreign = temporaryPath("glimmer-foreign.qvx");
    writeBytes(shortFile, "Glimmer");
    std::string notOurs(settingsFileHeader, 32);
    notOurs[31] = '!';
    writeBytes(foreign, notOurs + std::string(424, '\1'));
    ASSERT_TRUE(runSetup([&](DialogUser& user) {
        const TransitionSettings before = working();
        for (const auto& [path, message] : {std::pair<std::string, std::string>{missing, "Error opening file!"},
                                            {shortFile, "Error reading file!"},
                                            {foreign, "Not a Scatterweave file!"}}) {
            user.clickAndLeave(user.control(IDC_LOAD));
            ASSERT_TRUE(user.chooseFile(path));
            EXPECT_EQ(user.dismissMessageBox(), message) << path;
            EXPECT_EQ(bytesOf(working()), bytesOf(before));
        }
        // A cancelled file dialog changes nothing and shows nothing.
        user.clickAndLeave(user.control(IDC_LOAD));
        HWND files = nullptr;
        for (int i = 0; i < 500 && files == nullptr; ++i, Sleep(10)) {
            for (HWND w = GetWindow(user.dialog, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT))
                if (GetWindow(w, GW_OWNER) == user.dialog && IsWindowVisible(w) && w != user.frame) files = w;
        }
        ASSERT_NE(files, nullptr);
        PostMessageA(files, WM_COMMAND, IDCANCEL, 0);
        Sleep(200);
        EXPECT_EQ(bytesOf(working()), bytesOf(before));
    }));
}

}  // namespace
}  // namespace glimmer::testing
