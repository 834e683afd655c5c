// A host that hands the plug-in nonsense: garbage selectors and handles, a
// settings block full of 0xFF, frames with no rows or with negative ones,
// row pitches with high bits set, lengths of 0 and below, a frame rate of
// 0. The plug-in must neither crash nor hang, write only inside the
// destination, and leave a frame made of image A and image B pixels.
#include <cstring>
#include <random>

#include "plugin_fixture.h"

namespace glimmer::testing {
namespace {

class HostileHostTest : public PluginTest {};

constexpr uint32_t tagA = 0xA0000000u, tagB = 0xB0000000u, tagD = 0xD0000000u;

void fill(HostFrame& f, uint32_t tag) {
    for (size_t i = 0; i < f.pixels().size(); ++i) f.pixels()[i] = tag | static_cast<uint32_t>(i);
    f.record().pixels = f.pixels().data();
}

std::unique_ptr<EffectSession> taggedSession(int32_t width, int32_t rows, int32_t rowBytesFlags = 0) {
    auto s = std::make_unique<EffectSession>(width, rows, rowBytesFlags);
    fill(s->imageA(), tagA);
    fill(s->imageB(), tagB);
    fill(s->destination(), tagD);
    s->record().position = 5;
    s->record().total = 20;
    return s;
}

bool onlyTags(const std::vector<uint32_t>& pixels, std::initializer_list<uint32_t> tags) {
    for (uint32_t p : pixels) {
        bool known = false;
        for (uint32_t t : tags) known |= (p & 0xF0000000u) == t;
        if (!known) return false;
    }
    return true;
}

TEST_F(HostileHostTest, GarbageSelectorsAndHandlesAreLeftAlone) {
    std::mt19937 rng(5);
    unsigned char garbage[256];
    for (auto& b : garbage) b = static_cast<unsigned char>(rng());
    unsigned char copy[256];
    std::memcpy(copy, garbage, sizeof garbage);
    void* inner = garbage;
    auto handle = reinterpret_cast<HostEffectHandle>(&inner);
    for (int32_t selector : {2, 3, 4, 5, 6, 7, 100, 0x7FFF, -1, -32768, 0x12340006, static_cast<int32_t>(0xFFFF0002u)}) {
        const int32_t expected = static_cast<int16_t>(selector) == 6 ? 0x4000 : 0;
        EXPECT_EQ(call(selector, handle), expected) << selector;
    }
    EXPECT_EQ(std::memcmp(garbage, copy, sizeof garbage), 0);
    EXPECT_TRUE(calls().empty());
}

TEST_F(HostileHostTest, ABlockFullOf0xFFRendersAFrame) {
    TransitionSettings wild;
    std::memset(&wild, 0xFF, sizeof wild);
    for (const bool interleaved : {false, true})
        for (int32_t position : {0, 1, 9, 19}) {
            auto s = taggedSession(37, 23);
            s->record().settingsHandle = hostBlock(wild);
            s->record().position = position;
            s->record().renderFlags = interleaved ? 0x100 : 0;
            EXPECT_EQ(call(0, s->handle()), 0);
            EXPECT_TRUE(onlyTags(s->destination().pixels(), {tagA, tagB, tagD}));
            EXPECT_EQ(bytesOf(**s->record().settingsHandle), bytesOf(wild));
        }
}

TEST_F(HostileHostTest, FramesWithoutRowsAreNotWritten) {
    for (int32_t top : {0, 5, 40}) {
        auto s = taggedSession(16, 10);
        HostFrameRecord& d = s->destination().record();
        d.bounds[1] = top;
        d.bounds[3] = top == 0 ? 0 : 3;  // bottom at or above top
        const std::vector<uint32_t> before = s->destination().pixels();
        EXPECT_EQ(call(0, s->handle()), 0);
        EXPECT_TRUE(s->destination().pixels() == before);
        EXPECT_EQ(s->record().settingsHandle, nullptr);
    }
}

TEST_F(HostileHostTest, HighRowBytesBitsAndOddLengths) {
    auto plain = taggedSession(24, 12);
    EXPECT_EQ(call(0, plain->handle()), 0);
    auto flagged = taggedSession(24, 12, static_cast<int32_t>(0xFFFFC000u));
    EXPECT_EQ(call(0, flagged->handle()), 0);
    EXPECT_TRUE(flagged->destination().pixels() == plain->destination().pixels());

    for (int32_t total : {0, -1, -30, INT32_MIN})
        for (int32_t position : {0, 3, -2, INT32_MAX}) {
            auto s = taggedSession(24, 12);
            s->record().total = total;
            s->record().position = position;
            EXPECT_EQ(call(0, s->handle()), 0);
            EXPECT_TRUE(onlyTags(s->destination().pixels(), {tagA, tagB}));
        }
}

TEST_F(HostileHostTest, SetupSurvivesNonsenseToo) {
    TransitionSettings wild;
    std::memset(&wild, 0xFF, sizeof wild);
    for (int32_t total : {0, -5, 50}) {
        auto s = taggedSession(64, 48);
        s->record().settingsHandle = hostBlock(wild);
        s->record().total = total;
        s->record().frameRate = 0;
        DialogDriver user(host(), IDCANCEL);
        EXPECT_EQ(call(1, s->handle()), 0);
        user.finish();
        EXPECT_TRUE(user.sawDialog()) << total;
        EXPECT_EQ(bytesOf(**s->record().settingsHandle), bytesOf(wild));
    }
}

}  // namespace
}  // namespace glimmer::testing
