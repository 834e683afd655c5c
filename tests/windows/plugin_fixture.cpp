#include "plugin_fixture.h"

#include "preminfo.h"

#include <string>

namespace glimmer::testing {

namespace {

// Under wine on a display without a window manager, every dialog that
// closes waits two seconds for a window manager to withdraw it. Unmanaged
// windows skip that wait; the setting applies to this program only.
void unmanagedWindowsUnderWine() {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) return;
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return;
    const char* name = std::strrchr(path, '\\') != nullptr ? std::strrchr(path, '\\') + 1 : path;
    const std::string key = std::string("Software\\Wine\\AppDefaults\\") + name + "\\X11 Driver";
    HKEY settings = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &settings, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(settings, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(settings);
}

}  // namespace

PluginLibrary* PluginTest::plugin_ = nullptr;
HostMainWindow* PluginTest::host_ = nullptr;
PluginGlobals PluginTest::globals_;

void PluginTest::SetUpTestSuite() {
    unmanagedWindowsUnderWine();
    plugin_ = new PluginLibrary("Fx.prm");
    host_ = new HostMainWindow();
    preminfoStandinSetMainWindow(host_->window());
    if (plugin_->loaded()) globals_ = findPluginGlobals(plugin_->module());
}

void PluginTest::TearDownTestSuite() {
    delete host_;
    delete plugin_;
    host_ = nullptr;
    plugin_ = nullptr;
}

void PluginTest::SetUp() {
    ASSERT_TRUE(plugin_->loaded()) << "Fx.prm or its xEffect not found";
    ASSERT_TRUE(globals_.found()) << "the plug-in's globals are not in Fx.prm's symbol table";
    preminfoStandinSetAllocation(preminfoAllocates);
    preminfoStandinClearLog();
    liveBlocksAtStart_ = preminfoStandinLiveBlocks();
}

void PluginTest::TearDown() {
    for (SettingsHandle block : adopted_) preminfoDisposeHandle(reinterpret_cast<void**>(block));
    adopted_.clear();
    EXPECT_EQ(preminfoStandinBadDisposals(), 0) << "a block was disposed twice or never allocated";
    preminfoStandinSetAllocation(preminfoAllocates);
}

SettingsHandle PluginTest::hostBlock(const TransitionSettings& settings) {
    auto block = reinterpret_cast<SettingsHandle>(preminfoNewHandle(static_cast<int32_t>(sizeof settings)));
    **block = settings;
    adopted_.push_back(block);
    preminfoStandinClearLog();
    liveBlocksAtStart_ = preminfoStandinLiveBlocks();
    return block;
}

std::vector<PreminfoCall> PluginTest::calls() {
    std::vector<PreminfoCall> log(static_cast<std::size_t>(preminfoStandinCallCount()));
    for (std::size_t i = 0; i < log.size(); ++i) preminfoStandinCallAt(static_cast<int32_t>(i), &log[i]);
    return log;
}

std::vector<int32_t> PluginTest::ordinals() {
    std::vector<int32_t> result;
    for (const PreminfoCall& c : calls()) result.push_back(c.ordinal);
    return result;
}

TransitionSettings distinctSettings(unsigned seed) {
    TransitionSettings s;
    auto* bytes = reinterpret_cast<unsigned char*>(&s);
    for (std::size_t i = 0; i < sizeof s; ++i) bytes[i] = static_cast<unsigned char>(i * 29 + seed);
    // The Movement page clamps cell sizes into 1..4096 as soon as it shows
    // them; in range, a record passes through the dialog unchanged.
    s.cellWidth = static_cast<int32_t>(1 + seed % 7);
    s.cellHeight = static_cast<int32_t>(2 + seed % 5);
    return s;
}

}  // namespace glimmer::testing
