#include "settings_presets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "frame_setup.h"
#include "settings_fields.h"
#include "test_frames.h"

namespace glimmer {
namespace {

constexpr int32_t width = 96, rows = 64;

std::vector<uint32_t> midFrame(const TransitionSettings& settings) {
    const std::vector<uint32_t> a = testing::patternFrame(width * rows, 0xA0);
    const std::vector<uint32_t> b(width * rows, 0xB0B0B0B0u);
    std::vector<uint32_t> out(width * rows);
    runFrameSetup({a.data(), b.data(), out.data(), rows, width * 4, 12, 30, false}, settings);
    return out;
}

// Each preset sets real fields within their ranges, and looks unlike the
// defaults and unlike every other preset halfway through.
TEST(SettingsPresets, AreValidAndLookDifferent) {
    std::set<std::string> names;
    std::vector<std::vector<uint32_t>> frames{midFrame(defaultSettings())};
    for (std::size_t i = 0; i < settingsPresetCount; ++i) {
        const SettingsPreset& p = settingsPresets[i];
        EXPECT_TRUE(names.insert(p.name).second) << p.name;
        EXPECT_EQ(findSettingsPreset(p.name), &p);
        for (std::size_t k = 0; k < p.assignmentCount; ++k) {
            const SettingsField* f = findSettingsField(p.assignments[k].field);
            ASSERT_NE(f, nullptr) << p.name << ": " << p.assignments[k].field;
            EXPECT_TRUE(f->panel) << p.name << ": " << f->name;
            EXPECT_GE(p.assignments[k].value, f->minimum) << p.name << ": " << f->name;
            EXPECT_LE(p.assignments[k].value, f->maximum) << p.name << ": " << f->name;
        }
        frames.push_back(midFrame(presetSettings(p)));
    }
    for (std::size_t i = 0; i < frames.size(); ++i)
        for (std::size_t j = i + 1; j < frames.size(); ++j) {
            std::size_t differing = 0;
            for (std::size_t w = 0; w < frames[i].size(); ++w) differing += frames[i][w] != frames[j][w];
            EXPECT_GT(differing, frames[i].size() / 10) << "frames " << i << " and " << j << " (0: defaults)";
        }
    EXPECT_EQ(findSettingsPreset("nonsense"), nullptr);
}

}  // namespace
}  // namespace glimmer
