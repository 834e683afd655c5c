#include "transition_settings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings_fields.h"

namespace glimmer {
namespace {

TEST(TransitionSettings, DefaultsWriteOnlyTheirOwnBytes) {
    unsigned char bytes[transitionSettingsSize];
    std::memset(bytes, 0xEE, sizeof bytes);
    TransitionSettings s;
    std::memcpy(&s, bytes, sizeof s);
    fillDefaultSettings(s);
    const auto* after = reinterpret_cast<const unsigned char*>(&s);
    for (std::size_t i = 56; i < 64; ++i) EXPECT_EQ(after[i], 0xEE) << i;
    for (std::size_t i = 168; i < transitionSettingsSize; ++i) ASSERT_EQ(after[i], 0xEE) << i;
    for (std::size_t i = 8; i < 20; ++i) EXPECT_EQ(after[i], 0) << i;

    const int32_t expected[] = {424, 0, 0, 0, 0, 0, 3, 105, 0, 118, 127, 127, 25, 127};
    EXPECT_EQ(0, std::memcmp(&s, expected, sizeof expected));
    const int32_t rest[] = {0, 128, 65, 20, 255, 255, 2, 2, 8, 0, 1, 1, 0, 0,
                            10, 0, 1, 1, 0, 0, 9, 0, 2, 2, 1, 1};
    EXPECT_EQ(0, std::memcmp(after + 64, rest, sizeof rest));
}

TEST(TransitionSettings, FieldTableAgreesWithTheDefaults) {
    const TransitionSettings s = defaultSettings();
    for (std::size_t i = 0; i < settingsFieldCount; ++i) {
        const SettingsField& f = settingsFields[i];
        EXPECT_EQ(readSettingsField(s, f), f.defaultValue) << f.name;
        EXPECT_GE(f.defaultValue, f.minimum) << f.name;
        EXPECT_LE(f.defaultValue, f.maximum) << f.name;
    }
    EXPECT_EQ(findSettingsField("delayMap.repeatX")->offset, 152u);
    EXPECT_EQ(findSettingsField("cellHeight")->offset, 92u);
    EXPECT_EQ(findSettingsField("nonsense"), nullptr);
}

TEST(TransitionSettings, FlagAliasesSetSingleBits) {
    TransitionSettings s = defaultSettings();
    s.orderFlags = 2;
    writeSettingsField(s, *findSettingsField("orderDownUp"), 1);
    EXPECT_EQ(s.orderFlags, 3);
    writeSettingsField(s, *findSettingsField("orderRightLeft"), 0);
    EXPECT_EQ(s.orderFlags, 1);
    writeSettingsField(s, *findSettingsField("bands"), 1);
    EXPECT_EQ(s.cellFlags, 1);
    EXPECT_EQ(readSettingsField(s, *findSettingsField("bands")), 1);
    EXPECT_TRUE(isSourceField(*findSettingsField("movingYMap.source")));
    EXPECT_FALSE(isSourceField(*findSettingsField("movingYMap.invert")));
}

}  // namespace
}  // namespace glimmer
