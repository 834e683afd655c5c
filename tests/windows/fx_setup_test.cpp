// Setup through the built Fx.prm: the working copy's life with and without
// the host's settings, left with OK and with Cancel, checked byte for byte
// and by the blocks of the stand-in PREMINFO.dll.
#include "clip_frames.h"
#include "plugin_fixture.h"

namespace glimmer::testing {
namespace {

using Bytes = std::vector<unsigned char>;
using Ordinals = std::vector<int32_t>;

class SetupTest : public PluginTest {
protected:
    static constexpr int32_t width = 32;
    static constexpr int32_t rows = 16;

    // What a user does in the dialog: edits two fields of the working copy.
    static void editWorkingCopy(HostEffectHandle handle) {
        TransitionSettings& working = **(*handle)->settingsHandle;
        working.gravity = 99;
        working.reserved168[200] ^= 0xFF;
    }
    static TransitionSettings edited(TransitionSettings s) {
        s.gravity = 99;
        s.reserved168[200] ^= 0xFF;
        return s;
    }

    void SetUp() override {
        PluginTest::SetUp();
        session.serveFramesFrom(&clips);  // for a dialog whose preview fetches frames
    }

    MovingClipFrames clips;
    EffectSession session{width, rows};
};

// What holds while the dialog of a setup on `session` is open.
void expectOpenSetup(const PluginGlobals& g, EffectSession& session, SettingsHandle hostSettings,
                     const TransitionSettings& workingContents) {
    const SettingsHandle working = session.record().settingsHandle;
    ASSERT_NE(working, nullptr);
    EXPECT_NE(working, hostSettings);
    EXPECT_EQ(*g.setupSettingsHandle, working);
    EXPECT_EQ(*g.savedSettingsHandle, hostSettings);
    EXPECT_EQ(*g.hostEffectHandle, session.handle());
    EXPECT_EQ(*g.setupDestRight, session.destination().record().bounds[2]);
    EXPECT_EQ(*g.externalRenderFlag, 0);
    EXPECT_EQ(bytesOf(**working), bytesOf(workingContents));
}

TEST_F(SetupTest, OkWithHostSettingsCopiesTheEditsIntoTheHostsBlock) {
    const TransitionSettings before = distinctSettings(7);
    const SettingsHandle hostSettings = hostBlock(before);
    session.record().settingsHandle = hostSettings;
    DialogDriver user(host(), IDOK, [&] {
        expectOpenSetup(globals(), session, hostSettings, before);
        editWorkingCopy(session.handle());
    });
    EXPECT_EQ(call(1, session.handle()), 0);
    user.finish();
    ASSERT_TRUE(user.sawDialog());
    EXPECT_EQ(user.dialogOwner(), host().window());

    EXPECT_EQ(session.record().settingsHandle, hostSettings);
    EXPECT_EQ(bytesOf(**hostSettings), bytesOf(edited(before)));
    const auto log = calls();
    ASSERT_EQ(ordinals(), (Ordinals{379, 287, 107}));
    EXPECT_EQ(log[0].bytes, 424);
    EXPECT_EQ(log[1].handle, log[0].handle);  // 287 is told of the working copy
    EXPECT_EQ(log[2].handle, log[0].handle);  // which is the one block disposed
    EXPECT_EQ(preminfoStandinLiveBlocks(), liveBlocksAtStart_);
    EXPECT_EQ(*globals().setupDestRight, 0);
    EXPECT_EQ(*globals().activeSettingsDialog, nullptr);
    EXPECT_EQ(*globals().hostEffectHandle, session.handle());
}

TEST_F(SetupTest, CancelWithHostSettingsLeavesTheHostsBlockAsItWas) {
    const TransitionSettings before = distinctSettings(8);
    const SettingsHandle hostSettings = hostBlock(before);
    session.record().settingsHandle = hostSettings;
    DialogDriver user(host(), IDCANCEL, [&] { editWorkingCopy(session.handle()); });
    EXPECT_EQ(call(1, session.handle()), 0);
    user.finish();
    ASSERT_TRUE(user.sawDialog());

    EXPECT_EQ(session.record().settingsHandle, hostSettings);
    EXPECT_EQ(bytesOf(**hostSettings), bytesOf(before));
    const auto log = calls();
    ASSERT_EQ(ordinals(), (Ordinals{379, 287, 107}));
    EXPECT_EQ(log[2].handle, log[0].handle);
    EXPECT_EQ(preminfoStandinLiveBlocks(), liveBlocksAtStart_);
}

// The stand-in fills new blocks with 0xCD: a fresh working copy must hold
// the defaults with every other byte zero.
TEST_F(SetupTest, OkWithoutSettingsGivesTheHostTheNewBlock) {
    DialogDriver user(host(), IDOK, [&] {
        expectOpenSetup(globals(), session, nullptr, defaultSettings());
        editWorkingCopy(session.handle());
    });
    EXPECT_EQ(call(1, session.handle()), 0);
    user.finish();
    ASSERT_TRUE(user.sawDialog());

    const SettingsHandle result = session.record().settingsHandle;
    ASSERT_NE(result, nullptr);
    adopt(result);
    EXPECT_EQ(bytesOf(**result), bytesOf(edited(defaultSettings())));
    const auto log = calls();
    ASSERT_EQ(ordinals(), (Ordinals{379, 287}));
    EXPECT_EQ(reinterpret_cast<SettingsHandle>(log[0].handle), result);
    EXPECT_EQ(preminfoStandinLiveBlocks(), liveBlocksAtStart_ + 1);
}

// Mend: Cancel discards the edits here too; the host gets a block of
// defaults and nothing is disposed.
TEST_F(SetupTest, CancelWithoutSettingsLeavesOnlyTheDefaults) {
    DialogDriver user(host(), IDCANCEL, [&] { editWorkingCopy(session.handle()); });
    EXPECT_EQ(call(1, session.handle()), 0);
    user.finish();
    ASSERT_TRUE(user.sawDialog());

    const SettingsHandle result = session.record().settingsHandle;
    ASSERT_NE(result, nullptr);
    adopt(result);
    EXPECT_EQ(bytesOf(**result), bytesOf(defaultSettings()));
    EXPECT_EQ(ordinals(), (Ordinals{379, 287}));
    EXPECT_EQ(preminfoStandinLiveBlocks(), liveBlocksAtStart_ + 1);
}

TEST_F(SetupTest, ManySetupsLeakNoBlock) {
    const SettingsHandle hostSettings = hostBlock(distinctSettings(9));
    session.record().settingsHandle = hostSettings;
    for (int command : {IDOK, IDCANCEL, IDOK}) {
        DialogDriver user(host(), command, [&] {
            for (int32_t p = 0; p < 5; ++p) {  // the preview renders meanwhile
                session.record().position = p;
                call(0, session.handle());
            }
        });
        EXPECT_EQ(call(1, session.handle()), 0);
        user.finish();
        EXPECT_TRUE(user.sawDialog());
    }
    EXPECT_EQ(ordinals(), (Ordinals{379, 287, 107, 379, 287, 107, 379, 287, 107}));
    EXPECT_EQ(preminfoStandinLiveBlocks(), liveBlocksAtStart_);
    EXPECT_EQ(session.record().settingsHandle, hostSettings);
}

// Mend: without a block from the host's allocator setup opens no dialog,
// leaves settingsHandle as it was and leaks nothing.
TEST_F(SetupTest, NoBlockFromTheHostEndsSetupQuietly) {
    const TransitionSettings before = distinctSettings(10);
    const SettingsHandle hostSettings = hostBlock(before);
    const struct {
        int32_t mode;
        SettingsHandle settings;
        Ordinals ordinals;
    } cases[] = {
        {preminfoGivesNoHandle, nullptr, {379}},
        {preminfoGivesNoHandle, hostSettings, {379}},
        {preminfoGivesEmptyHandle, nullptr, {379, 107}},
        {preminfoGivesEmptyHandle, hostSettings, {379, 107}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        preminfoStandinClearLog();
        preminfoStandinSetAllocation(c.mode);
        session.record().settingsHandle = c.settings;
        DialogDriver user(host(), IDOK);
        EXPECT_EQ(call(1, session.handle()), 0);
        user.finish();
        EXPECT_FALSE(user.sawDialog());
        EXPECT_EQ(session.record().settingsHandle, c.settings);
        EXPECT_EQ(ordinals(), c.ordinals);
        EXPECT_EQ(preminfoStandinLiveBlocks(), liveBlocksAtStart_);
        EXPECT_EQ(*globals().setupDestRight, 0);
    }
    EXPECT_EQ(bytesOf(**hostSettings), bytesOf(before));
}

// Mend: a second setup arriving through the dialog's message loop is
// turned away before it touches anything.
TEST_F(SetupTest, SetupDuringSetupIsRefused) {
    EffectSession other(width, rows);
    const SettingsHandle otherSettings = hostBlock(distinctSettings(11));
    other.record().settingsHandle = otherSettings;
    DialogDriver user(host(), IDCANCEL, [&] {
        const Bytes otherRecord = recordBlockBytes(other);
        const Bytes thisRecord = recordBlockBytes(session);
        const auto callsBefore = calls().size();
        EXPECT_EQ(call(1, other.handle()), 0);
        EXPECT_EQ(call(0x10001, session.handle()), 0);
        EXPECT_EQ(recordBlockBytes(other), otherRecord);
        EXPECT_EQ(recordBlockBytes(session), thisRecord);
        EXPECT_EQ(calls().size(), callsBefore);
        EXPECT_EQ(*globals().hostEffectHandle, session.handle());
    });
    EXPECT_EQ(call(1, session.handle()), 0);
    user.finish();
    ASSERT_TRUE(user.sawDialog());
    EXPECT_EQ(user.dialogsSeen(), 1);
    adopt(session.record().settingsHandle);
    EXPECT_EQ(other.record().settingsHandle, otherSettings);
}

// A render for the same destination during setup is the preview's; one
// for another destination means the host is busy elsewhere.
TEST_F(SetupTest, OnlyARenderForAnotherDestinationRaisesTheFlag) {
    EffectSession sameWidth(width, rows);
    EffectSession otherWidth(width + 8, rows);
    *globals().externalRenderFlag = 1;  // left over from before: setup clears it
    DialogDriver user(host(), IDCANCEL, [&] {
        EXPECT_EQ(*globals().externalRenderFlag, 0);
        EXPECT_EQ(call(0, session.handle()), 0);
        EXPECT_EQ(call(0, sameWidth.handle()), 0);
        EXPECT_EQ(*globals().externalRenderFlag, 0);
        EXPECT_EQ(call(0, otherWidth.handle()), 0);
        EXPECT_EQ(*globals().externalRenderFlag, 1);
        EXPECT_EQ(call(0, sameWidth.handle()), 0);
        EXPECT_EQ(*globals().externalRenderFlag, 1);
    });
    EXPECT_EQ(call(1, session.handle()), 0);
    user.finish();
    ASSERT_TRUE(user.sawDialog());
    adopt(session.record().settingsHandle);
    EXPECT_EQ(*globals().externalRenderFlag, 1);  // until the next setup
    // The renders without settings took and gave back one block each; the
    // preview's render used the working copy.
    EXPECT_EQ(ordinals(), (Ordinals{379, 287, 379, 107, 379, 107, 379, 107}));
}

}  // namespace
}  // namespace glimmer::testing
