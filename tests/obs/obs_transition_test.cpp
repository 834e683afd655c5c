// The transition in a real libobs: our headless OBS loads the installed
// module, runs the transition between two image scenes at fixed progress
// values and compares the canvas with glimmer render at the mapped
// positions (total 1000, position round(t * 999)).
#include <gtest/gtest.h>
#include <obs.h>

#include <cmath>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "frame_round_trip.h"
#include "headless_obs.h"
#include "common/png_io.h"
#include "run_glimmer.h"
#include "inputs/sample_pictures.h"
#include "settings_fields.h"
#include "settings_presets.h"
#include "source_map.h"
#include "temporary_folder.h"

namespace glimmer::tool {
namespace {

constexpr uint32_t width = 96, rows = 54, wide = 4100, wideRows = 8;

std::vector<uint8_t> topFirstBytes(const Picture& p) {
    std::vector<uint8_t> bytes;
    for (int32_t r = p.rows - 1; r >= 0; --r) {
        const auto* row = reinterpret_cast<const uint8_t*>(p.row(r));
        bytes.insert(bytes.end(), row, row + std::size_t(p.width) * 4);
    }
    return bytes;
}

// One OBS for the whole program: libobs starts once a process.
struct ObsSession : ::testing::Environment {
    void SetUp() override {
        obs = new obs::HeadlessObs(GLIMMER_OBS_MODULE, GLIMMER_OBS_DATA, width, rows, 30);
        if (!obs->failure().empty()) return;
        for (auto [name, picture] : {std::pair{"a", makeSunsetPicture(width, rows)}, {"b", makeMosaicPicture(width, rows)},
                                     {"wide-a", makeSunsetPicture(wide, wideRows)},
                                     {"wide-b", makeMosaicPicture(wide, wideRows)}}) {
            writePng(folder.path(std::string(name) + ".png"), picture);
            scenes.push_back(obs->imageScene(name, folder.path(std::string(name) + ".png")));
            pictures.push_back(topFirstBytes(picture));
        }
    }
    void TearDown() override { delete obs; }

    static inline TemporaryFolder folder;
    static inline obs::HeadlessObs* obs;
    // a, b, wide-a, wide-b; the canvases they show, top row first
    static inline std::vector<obs_source_t*> scenes;
    static inline std::vector<std::vector<uint8_t>> pictures;
};
const auto* const session = ::testing::AddGlobalTestEnvironment(new ObsSession);

class InObs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(obs->failure(), ""); }

    obs::HeadlessObs* const obs = ObsSession::obs;
    const TemporaryFolder& folder = ObsSession::folder;
    const std::vector<obs_source_t*>& scenes = ObsSession::scenes;
    const std::vector<std::vector<uint8_t>>& pictures = ObsSession::pictures;
};

struct FrameCase {
    const char* name;
    float t;
    std::vector<std::pair<std::string, int>> settings;
    const char* preset;  // an installed .qvx file chosen in the properties, or null
    const char* look = nullptr;  // a look chosen in the "preset" list, or null
};

void PrintTo(const FrameCase& c, std::ostream* out) { *out << c.name; }

class TransitionFrames : public InObs, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(TransitionFrames, MatchGlimmerRender) {
    const FrameCase& c = GetParam();
    obs_source_t* transition = obs->transition(scenes[0]);
    obs_properties_t* properties = obs_source_properties(transition);
    obs_data_t* data = obs_data_create();
    std::vector<std::string> assignments;
    for (const auto& [field, value] : c.settings) {
        assignments.insert(assignments.end(), {"--set", field + "=" + std::to_string(value)});
        if (obs_property_get_type(obs_properties_get(properties, field.c_str())) == OBS_PROPERTY_BOOL)
            obs_data_set_bool(data, field.c_str(), value != 0);
        else
            obs_data_set_int(data, field.c_str(), value);
    }
    obs_properties_destroy(properties);
    if (c.preset != nullptr) {
        const std::string file = std::string(GLIMMER_OBS_DATA "/presets/") + c.preset + ".qvx";
        obs_data_set_string(data, "settings", file.c_str());
        assignments.insert(assignments.begin(), {"--settings", file});
    }
    if (c.look != nullptr) {
        obs_data_set_string(data, "preset", c.look);
        assignments.insert(assignments.begin(), {"--preset", c.look});
    }
    obs_source_reset_settings(transition, data);
    obs_data_release(data);

    const std::vector<uint8_t> frame = obs->frameAt(scenes[1], c.t);
    const std::string reference = folder.path(std::string(c.name) + ".png");
    std::vector<std::string> render{"render", "--a", folder.path("a.png"), "--b", folder.path("b.png"),
                                    "--position", std::to_string(std::lround(double(c.t) * 999)),
                                    "--total", "1000", "--out", reference};
    render.insert(render.end(), assignments.begin(), assignments.end());
    const GlimmerRun run = runGlimmer(render);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(frame == topFirstBytes(readPng(reference))) << "the canvas differs from glimmer render";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TransitionFrames,
    ::testing::Values(FrameCase{"start", 0.0f, {}, nullptr}, FrameCase{"defaults", 0.25f, {}, nullptr},
                      FrameCase{"middle", 0.5f, {}, nullptr},
                      FrameCase{"gravityWindBands", 0.7f, {{"gravity", 60}, {"wind", 90}, {"bands", 1},
                                {"cellWidth", 24}, {"cellHeight", 9}, {"delayMap.source", 12}}, nullptr},
                      FrameCase{"pixelsByRed", 0.4f, {{"cellWidth", 1}, {"cellHeight", 1}, {"orderDownUp", 1},
                                {"movingXMap.source", 0}, {"movingYMap.invert", 1}}, nullptr},
                      FrameCase{"delayByClip2Green", 0.45f, {{"delayMap.source", 5}, {"movingYMap.source", 6}}, nullptr},
                      FrameCase{"presetFile", 0.6f, {}, "wind-bands"}, FrameCase{"tilesPreset", 0.3f, {}, "tiles"},
                      FrameCase{"explosionByName", 0.3f, {}, nullptr, "explosion"}),
    [](const auto& param) { return std::string(param.param.name); });

// Properties as OBS reads them, against the settings table: the panel
// fields under the dialog's captions, in a group of their page and group
// box, and nothing else of the record.
TEST_F(InObs, PropertiesAndDefaultsFollowTheSettingsTable) {
    obs_properties_t* properties = obs_source_properties(obs->transition(scenes[0]));
    obs_data_t* defaults = obs_get_source_defaults("glimmerscatterweft_transition");
    EXPECT_EQ(obs_property_get_type(obs_properties_get(properties, "settings")), OBS_PROPERTY_PATH);
    obs_property_t* look = obs_properties_get(properties, "preset");
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(obs_property_list_item_count(look), settingsPresetCount + 1);
    for (std::size_t i = 0; i < settingsFieldCount; ++i) {
        const SettingsField& f = settingsFields[i];
        obs_property_t* p = obs_properties_get(properties, f.name);
        if (!f.panel) {
            EXPECT_EQ(p, nullptr) << f.name << " is not shown";
            continue;
        }
        ASSERT_NE(p, nullptr) << f.name;
        obs_property_t* group = obs_properties_get(properties, (std::string("group.") + f.page + "." + f.group).c_str());
        ASSERT_NE(group, nullptr) << f.name;
        EXPECT_NE(obs_properties_get(obs_property_group_content(group), f.name), nullptr) << f.name << " in its group";
        EXPECT_EQ(obs_property_description(group), std::string(f.page) + ": " + f.group);
        EXPECT_EQ(obs_property_description(p), f.sliderMaximum < f.maximum
                                                   ? std::string(f.caption) + " (up to " + std::to_string(f.maximum) + ")"
                                                   : std::string(f.caption));
        if (f.listNames == nullptr && f.minimum == 0 && f.maximum == 1) {
            EXPECT_EQ(obs_property_get_type(p), OBS_PROPERTY_BOOL) << f.name;
            EXPECT_EQ(obs_data_get_default_bool(defaults, f.name), f.defaultValue != 0) << f.name;
            continue;
        }
        EXPECT_EQ(obs_data_get_default_int(defaults, f.name), f.defaultValue) << f.name;
        if (f.listNames != nullptr) {
            ASSERT_EQ(obs_property_list_item_count(p), std::size_t(f.listCount)) << f.name;
            for (int32_t s = 0; s < f.listCount; ++s) {
                EXPECT_STREQ(obs_property_list_item_name(p, s), f.listNames[s]);
                EXPECT_EQ(obs_property_list_item_int(p, s), s);
            }
        } else {
            EXPECT_EQ(obs_property_get_type(p), OBS_PROPERTY_INT) << f.name;
            EXPECT_EQ(std::vector({obs_property_int_min(p), obs_property_int_max(p), obs_property_int_step(p)}),
                      std::vector({f.minimum, f.maximum, 1}))
                << f.name;
        }
    }
    obs_data_release(defaults);
    obs_properties_destroy(properties);
}

// Show and Hide: the empty side is a transparent picture, frame by frame as
// glimmer render draws it with a transparent image A or image B.
TEST_F(InObs, AnEmptySideIsATransparentPicture) {
    const std::string empty = folder.path("empty.png");
    writePng(empty, Picture(width, rows));
    obs_source_reset_settings(obs->transition(nullptr), nullptr);
    for (const bool show : {true, false})
        for (const float t : {0.25f, 0.5f, 0.75f}) {
            obs->transition(show ? nullptr : scenes[1]);
            const std::vector<uint8_t> frame = obs->frameAt(show ? scenes[1] : nullptr, t);
            const std::string reference = folder.path("shown.png");
            const GlimmerRun run = runGlimmer({"render", "--a", show ? empty : folder.path("b.png"), "--b",
                                               show ? folder.path("b.png") : empty, "--position",
                                               std::to_string(std::lround(double(t) * 999)), "--total", "1000",
                                               "--out", reference});
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_TRUE(frame == topFirstBytes(readPng(reference))) << (show ? "show" : "hide") << " at " << t;
        }
    EXPECT_EQ(obs->logLines("cannot be read back").size(), 0u);
}

// Image A holding the colours the frame is keyed with: the first three,
// so that the last keys the frame, and then all four, so that both scenes
// come down. Either way every pixel is glimmer render's.
TEST_F(InObs, APictureWithTheKeyColoursStillMatchesGlimmerRender) {
    for (const int held : {3, 4}) {
        Picture a = makeSunsetPicture(width, rows);
        // Three: the first key only in the top quarter (the last rows in the
        // engine's order), the others only in the bottom one, so that threads
        // copying different rows see different keys.
        const std::size_t quarter = a.pixels.size() / 4;
        for (std::size_t i = 0; i < a.pixels.size(); i += 7) {
            if (held == 4) a.pixels[i] = obs::keyCandidates[i / 7 % 4];
            else if (i >= 3 * quarter) a.pixels[i] = obs::keyCandidates[0];
            else if (i < quarter) a.pixels[i] = obs::keyCandidates[1 + i / 7 % 2];
        }
        const std::string path = folder.path("keys-" + std::to_string(held) + ".png");
        writePng(path, a);
        obs_source_reset_settings(obs->transition(obs->imageScene("keys-" + std::to_string(held), path)), nullptr);
        const std::vector<uint8_t> frame = obs->frameAt(scenes[1], 0.25f);
        const std::string reference = folder.path("keys.png");
        const GlimmerRun run = runGlimmer({"render", "--a", path, "--b", folder.path("b.png"), "--position", "250",
                                           "--total", "1000", "--out", reference});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(frame == topFirstBytes(readPng(reference))) << held << " key colours in image A";
    }
    EXPECT_EQ(obs->logLines("cannot be loaded").size(), 0u);
}

// A canvas wider than the engine takes: image A before the middle, image B
// after it, one log line that says why.
TEST_F(InObs, FramesThatDoNotFitCutAtTheMiddle) {
    EXPECT_TRUE(obs->resizeCanvas(wide, wideRows)) << obs->failure();
    for (float t : {0.25f, 0.75f}) {
        obs->transition(scenes[2]);
        EXPECT_TRUE(obs->frameAt(scenes[3], t) == pictures[t < 0.5f ? 2 : 3]) << "at " << t;
    }
    ASSERT_TRUE(obs->resizeCanvas(width, rows)) << obs->failure();
    EXPECT_EQ(obs->logLines("cannot be read back").size(), 0u);
    EXPECT_EQ(obs->logLines("wider than").size(), 1u);
}

}  // namespace
}  // namespace glimmer::tool
