// What every test of the built Fx.prm starts from: the plug-in loaded by
// name like the editor does, a main window for the stand-in PREMINFO.dll
// to report, the plug-in's globals, and the stand-in's call log.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "dialog_driver.h"
#include "effect_session.h"
#include "plugin_globals.h"
#include "plugin_library.h"
#include "preminfo_standin.h"

namespace glimmer::testing {

class PluginTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static PluginLibrary& plugin() { return *plugin_; }
    static const HostMainWindow& host() { return *host_; }
    static const PluginGlobals& globals() { return globals_; }

    int32_t call(int32_t selector, HostEffectHandle handle) { return plugin_->call(selector, handle); }

    // A settings block of the host's, from the stand-in's allocator, that
    // the test gives back at its end. The call log starts after it.
    SettingsHandle hostBlock(const TransitionSettings& settings);
    // Takes a block the plug-in handed to the host; given back at the end.
    void adopt(SettingsHandle block) { adopted_.push_back(block); }

    // Ordinals and handles of the calls since the test's last host block.
    static std::vector<PreminfoCall> calls();
    static std::vector<int32_t> ordinals();

    int32_t liveBlocksAtStart_ = 0;

private:
    static PluginLibrary* plugin_;
    static HostMainWindow* host_;
    static PluginGlobals globals_;
    std::vector<SettingsHandle> adopted_;
};

template <typename T>
std::vector<unsigned char> bytesOf(const T& value) {
    const auto* p = reinterpret_cast<const unsigned char*>(&value);
    return std::vector<unsigned char>(p, p + sizeof value);
}

inline std::vector<unsigned char> recordBlockBytes(const EffectSession& session) {
    return std::vector<unsigned char>(session.recordBlock(), session.recordBlock() + EffectSession::recordBlockSize);
}

// A record with a recognisable value in every one of its 424 bytes.
TransitionSettings distinctSettings(unsigned seed);

}  // namespace glimmer::testing
