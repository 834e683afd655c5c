// glimmer-host.exe as a user runs it: a child process that loads Fx.prm,
// with its PNG mapping checked against the engine and its settings dialog
// ended from here.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine_image.h"
#include "frame_cases.h"
#include "frame_setup.h"
#include "settings_file.h"
#include "window_caption.h"

namespace glimmer::testing {
namespace {

struct HostRun {
    DWORD exitCode = 1;
    std::string output;
};

std::string folderOfThisProgram() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string temporaryPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "glimmer-host-test-" + name;
}

// Starts glimmer-host with `arguments`; while it runs, `whileRunning` gets
// its process id. Answers its exit code and what it printed.
template <typename WhileRunning>
HostRun runHost(const std::string& arguments, WhileRunning whileRunning) {
    HostRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + folderOfThisProgram() + "glimmer-host.exe\" " + arguments;
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folderOfThisProgram().c_str(), &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        whileRunning(process.dwProcessId);
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
        WaitForSingleObject(process.hProcess, 30000);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return run;
}

HostRun runHost(const std::string& arguments) {
    return runHost(arguments, [](DWORD) {});
}

struct DialogOfProcess {
    DWORD process;
    HWND found;
};

BOOL CALLBACK findDialogOfProcess(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogOfProcess*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process) return TRUE;
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
        windowCaption(window) == "Glimmerscatterweft")
        search->found = window;
    return TRUE;
}

// Ends the settings dialog of `process` with `command` once it shows.
bool endSettingsDialog(DWORD process, int command) {
    DialogOfProcess search{process, nullptr};
    for (int tries = 0; tries < 2000 && search.found == nullptr; ++tries) {
        Sleep(10);
        EnumWindows(findDialogOfProcess, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found == nullptr) return false;
    PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(search.found, command)));
    return true;
}

TEST(GlimmerHost, InfoPrintsNameDescriptionAndResourceBytes) {
    const HostRun run = runHost("info");
    EXPECT_EQ(run.exitCode, 0u);
    for (const char* line : {"name: Glimmerscatterweft\r\n", "description: Image A dissipates and reveals image B.\r\n",
                             "TYPE 1000 (6 bytes): 00 00 58 46 50 53\r\n",
                             "FOPT 1000 (10 bytes): 00 00 00 00 22 00 01 00 00 00\r\n",
                             "FXVS 1000 (4 bytes): 00 00 02 00\r\n", "FXDF 10 (7 bytes): 00 00 57 49 30 38 00\r\n"})
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "in:\n" << run.output;
}

// The PNG files carry the case's words; what comes back must be the
// engine's frame of those words, whatever the mode.
TEST(GlimmerHost, RenderedPngHoldsTheEnginesFrame) {
    const std::string a = temporaryPath("a.png");
    const std::string b = temporaryPath("b.png");
    const std::string out = temporaryPath("out.png");
    const std::string settingsFile = temporaryPath("s.qvx");
    for (const FrameCase& c : frameCases()) {
        if (c.rowBytesFlags != 0) continue;  // PNG files know no row padding flags
        SCOPED_TRACE(c.name);
        const auto imageA = casePicture(c, imageATag);
        const auto imageB = casePicture(c, imageBTag);
        ASSERT_TRUE(writePng(a, imageA.data(), c.width, c.rows));
        ASSERT_TRUE(writePng(b, imageB.data(), c.width, c.rows));
        std::string arguments = "render --a \"" + a + "\" --b \"" + b + "\" --out \"" + out + "\" --position " +
                                std::to_string(c.position) + " --total " + std::to_string(c.total);
        if (c.renderFlags != 0) arguments += " --interleaved";
        if (c.hostHasSettings) {
            ASSERT_EQ(writeSettingsFile(settingsFile, c.settings), SettingsFileStatus::ok);
            arguments += " --settings \"" + settingsFile + "\"";
        }
        const HostRun run = runHost(arguments);
        ASSERT_EQ(run.exitCode, 0u) << run.output;

        // glimmer-host's destination starts as zeros: at an odd interleaved
        // position the rows' second halves keep them.
        std::vector<uint32_t> expected(imageA.size(), 0);
        runFrameSetup({imageA.data(), imageB.data(), expected.data(), c.rows, c.width * 4, c.position, c.total,
                       c.renderFlags != 0},
                      c.hostHasSettings ? c.settings : defaultSettings());
        EngineImage rendered;
        ASSERT_TRUE(readPng(out, rendered));
        EXPECT_EQ(rendered.width, c.width);
        EXPECT_EQ(rendered.rows, c.rows);
        EXPECT_TRUE(rendered.pixels == expected);
    }
    for (const std::string& file : {a, b, out, settingsFile}) DeleteFileA(file.c_str());
}

TEST(GlimmerHost, SetupSavesWhatTheDialogLeaves) {
    const std::string loaded = temporaryPath("loaded.qvx");
    const std::string saved = temporaryPath("saved.qvx");
    TransitionSettings own = withNoisyReserved(defaultSettings(), 42);
    own.gravity = 77;
    ASSERT_EQ(writeSettingsFile(loaded, own), SettingsFileStatus::ok);
    const struct {
        const char* what;
        std::string settings;
        int command;
        TransitionSettings expected;
        const char* report;
    } cases[] = {
        {"own settings, OK", " --settings \"" + loaded + "\"", IDOK, own, "settings: the host's block"},
        {"own settings, Cancel", " --settings \"" + loaded + "\"", IDCANCEL, own, "settings: the host's block"},
        {"no settings, OK", "", IDOK, defaultSettings(), "settings: a new block"},
        {"no settings, Cancel", "", IDCANCEL, defaultSettings(), "settings: a new block"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(saved.c_str());
        bool ended = false;
        const HostRun run = runHost("setup --total 10 --save \"" + saved + "\"" + c.settings,
                                    [&](DWORD process) { ended = endSettingsDialog(process, c.command); });
        EXPECT_TRUE(ended);
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_NE(run.output.find(c.report), std::string::npos) << run.output;
        TransitionSettings result;
        ASSERT_EQ(readSettingsFile(saved, result), SettingsFileStatus::ok);
        EXPECT_EQ(std::memcmp(&result, &c.expected, sizeof result), 0);
    }
    DeleteFileA(loaded.c_str());
    DeleteFileA(saved.c_str());
}

TEST(GlimmerHost, BadCommandLinesFailWithUsage) {
    EXPECT_EQ(runHost("").exitCode, 2u);
    EXPECT_EQ(runHost("render --a").exitCode, 2u);
    EXPECT_EQ(runHost("render --a x.png --b y.png --position 1 --total 2").exitCode, 1u);  // no --out
    EXPECT_EQ(runHost("render --a missing.png --b missing.png --position 1 --total 2 --out o.png").exitCode, 1u);
    EXPECT_EQ(runHost("render --a x.png --b y.png --position 1x --total 2 --out o.png").exitCode, 1u);
}

}  // namespace
}  // namespace glimmer::testing
