// The settings table's captions, groups and tooltips against the dialog's own
// resources, read from dialogs.rc and the string table: host panels show the
// table's words, and they must stay the dialog's.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "settings_fields.h"
#include "source_map.h"

namespace glimmer {
namespace {

struct Control {
    std::string page, text, id, kind;
    int x, y, w, h;
};

std::vector<Control> readControls() {
    std::ifstream in(GLIMMER_RESOURCES_DIR "/dialogs.rc");
    const std::regex caption(R"re(^CAPTION "([^"]*)")re");
    const std::regex control(
        R"re(^\s*CONTROL "([^"]*)", (\w+), "(\w+)", ([^,]*), (\d+), (\d+), (\d+), (\d+))re");
    std::vector<Control> controls;
    std::string page, line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, caption)) page = m[1];
        if (!std::regex_search(line, m, control)) continue;
        const bool group = m[4].str().find("BS_GROUPBOX") != std::string::npos;
        controls.push_back({page, m[1], m[2], group ? "group" : m[3].str(), std::stoi(m[5]), std::stoi(m[6]),
                            std::stoi(m[7]), std::stoi(m[8])});
    }
    return controls;
}

std::map<std::string, std::string> readStrings() {
    std::ifstream in(GLIMMER_RESOURCES_DIR "/plugin.rc");
    const std::regex entry(R"re(^\s*(IDS_\w+) "([^"]*)")re");
    std::map<std::string, std::string> strings;
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
        if (std::regex_search(line, m, entry)) strings[m[1]] = m[2];
    return strings;
}

// How a field's caption is made of the dialog's texts around its control.
enum class Words {
    label,        // the control's own text, or for a trackbar the label right of it
    repeatLabel,  // the group box's text without its colon, then the label ("Repeat X")
    textFirst,    // the control's text, then the axis ("Odd X")
    ours,         // the dialog has no words of its own for it
};

struct CaptionCase {
    const char* field;
    const char* control;   // shows the field, or its value 0 for a radio pair
    const char* partner;   // the radio button for value 1, or ""
    const char* tooltip;   // string table entry, or ""
    Words words;
};

const CaptionCase captionCases[] = {
    {"speedVariance", "IDC_MOVEMENT_VARIANCE", "", "IDS_TIP_SPEED_VARIANCE", Words::label},
    {"speedNoise", "IDC_MOVEMENT_SPEED_NOISE", "", "IDS_TIP_SPEED_NOISE", Words::label},
    {"xySpeedDifference", "IDC_MOVEMENT_XY_DIFFERENCE", "", "IDS_TIP_XY_SPEED_DIFFERENCE", Words::label},
    {"centerX", "IDC_MOVEMENT_CENTER_X", "", "IDS_TIP_CENTER_X", Words::label},
    {"centerY", "IDC_MOVEMENT_CENTER_Y", "", "IDS_TIP_CENTER_Y", Words::label},
    {"cellWidth", "IDC_MOVEMENT_CELL_WIDTH", "", "", Words::ours},
    {"cellHeight", "IDC_MOVEMENT_CELL_HEIGHT", "", "", Words::ours},
    {"bands", "IDC_MOVEMENT_BANDS", "", "", Words::label},
    {"minimumSpeed", "IDC_NATURE_MINIMUM", "", "IDS_TIP_MINIMUM_SPEED", Words::label},
    {"timelineLinearity", "IDC_NATURE_TIMELINE", "", "IDS_TIP_TIMELINE_LINEARITY", Words::label},
    {"gravity", "IDC_NATURE_GRAVITY", "", "IDS_TIP_GRAVITY", Words::label},
    {"wind", "IDC_NATURE_WIND", "", "IDS_TIP_WIND", Words::label},
    {"delay", "IDC_LIFE_DELAY", "", "IDS_TIP_DELAY", Words::label},
    {"delayNoise", "IDC_LIFE_DELAY_NOISE", "", "IDS_TIP_DELAY_NOISE", Words::label},
    {"lifeMinimum", "IDC_LIFE_MINIMUM", "", "IDS_TIP_LIFE_MINIMUM", Words::label},
    {"lifeMaximum", "IDC_LIFE_MAXIMUM", "", "IDS_TIP_LIFE_MAXIMUM", Words::label},
    {"orderRightLeft", "IDC_LIFE_LEFT_TO_RIGHT", "IDC_LIFE_RIGHT_TO_LEFT", "IDS_TIP_RIGHT_TO_LEFT", Words::ours},
    {"orderDownUp", "IDC_LIFE_UP_TO_DOWN", "IDC_LIFE_DOWN_TO_UP", "IDS_TIP_DOWN_TO_UP", Words::ours},
    {"movingXMap.source", "IDC_SOURCES_SOURCE_GROUP", "", "", Words::repeatLabel},
    {"movingYMap.invert", "IDC_SOURCES_INVERT", "", "", Words::label},
    {"delayMap.repeatX", "IDC_SOURCES_REPEAT_X_SPIN", "", "", Words::repeatLabel},
    {"movingXMap.repeatY", "IDC_SOURCES_REPEAT_Y_SPIN", "", "", Words::repeatLabel},
    {"delayMap.oddX", "IDC_SOURCES_ODD_X", "", "", Words::textFirst},
    {"movingYMap.oddY", "IDC_SOURCES_ODD_Y", "", "", Words::textFirst},
};

class SettingsCaptions : public testing::TestWithParam<CaptionCase> {
protected:
    static void SetUpTestSuite() {
        controls_ = readControls();
        strings_ = readStrings();
    }
    static const Control* named(const std::string& id) {
        for (const Control& c : controls_)
            if (c.id == id) return &c;
        return nullptr;
    }
    // A trackbar or an up-down has no text: its label is the nearest static right of it.
    static std::string label(const Control& c) {
        if (!c.text.empty()) return c.text;
        const Control* nearest = nullptr;
        for (const Control& s : controls_)
            if (s.page == c.page && s.kind == "Static" && s.y == c.y && s.x > c.x && (!nearest || s.x < nearest->x))
                nearest = &s;
        return nearest ? nearest->text : "";
    }
    // The group box around it, or else the static over its column ("Cell size").
    static std::string group(const Control& c) {
        for (const Control& g : controls_)
            if (g.page == c.page && g.kind == "group" && &g != &c && c.x >= g.x && c.x < g.x + g.w && c.y >= g.y &&
                c.y < g.y + g.h)
                return g.text;
        const Control* above = nullptr;
        for (const Control& s : controls_)
            if (s.page == c.page && s.kind == "Static" && s.x == c.x && s.y < c.y && (!above || s.y > above->y))
                above = &s;
        return above ? above->text : "";
    }
    static std::vector<Control> controls_;
    static std::map<std::string, std::string> strings_;
};
std::vector<Control> SettingsCaptions::controls_;
std::map<std::string, std::string> SettingsCaptions::strings_;

std::string withoutColon(std::string text) {
    if (!text.empty() && text.back() == ':') text.pop_back();
    return text;
}

TEST_P(SettingsCaptions, AreTheDialogsWords) {
    const CaptionCase& k = GetParam();
    const SettingsField* f = findSettingsField(k.field);
    ASSERT_NE(f, nullptr);
    const Control* c = named(k.control);
    ASSERT_NE(c, nullptr) << k.control;
    EXPECT_TRUE(f->panel);
    EXPECT_EQ(f->page, c->page);
    const bool map = std::strchr(f->name, '.') != nullptr;
    if (!map) {
        EXPECT_EQ(f->group, group(*c));
    }
    const std::string axis = std::string(" ") + f->name[std::strlen(f->name) - 1];
    switch (k.words) {
    case Words::label: EXPECT_EQ(f->caption, label(*c)); break;
    case Words::repeatLabel:
        EXPECT_EQ(f->caption, c->kind == "group" ? withoutColon(c->text) : withoutColon(group(*c)) + " " + label(*c));
        break;
    case Words::textFirst: EXPECT_EQ(f->caption, c->text + axis); break;
    case Words::ours: break;
    }
    EXPECT_EQ(f->tooltip, *k.tooltip ? strings_.at(k.tooltip) : std::string());
    if (*k.partner) {
        ASSERT_EQ(f->listCount, 2);
        EXPECT_EQ(f->listNames[0], c->text);
        EXPECT_EQ(f->listNames[1], named(k.partner)->text);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, SettingsCaptions, testing::ValuesIn(captionCases),
                         [](const testing::TestParamInfo<CaptionCase>& param) {
                             std::string name = param.param.field;
                             for (char& c : name)
                                 if (c == '.') c = '_';
                             return name;
                         });

// Every panel field has one place in the reading order, reads unlike every
// other, and the same sort of field reads alike in each map.
TEST(SettingsPanel, OrderIsCompleteAndCaptionsAreDistinct) {
    std::set<std::string> captions;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < settingsFieldCount; ++i) {
        const SettingsField& f = settingsFields[i];
        EXPECT_LE(f.sliderMaximum, f.maximum) << f.name;
        if (!f.panel) continue;
        ++shown;
        EXPECT_EQ(panelField(f.panelOrder), &f) << f.name;
        EXPECT_TRUE(captions.insert(panelCaption(f)).second) << panelCaption(f);
    }
    EXPECT_EQ(panelField(shown), nullptr);
    EXPECT_FALSE(findSettingsField("holdFlags")->panel);
    EXPECT_EQ(panelCaption(*findSettingsField("movingXMap.repeatX")), "Moving X: Repeat X");
    EXPECT_EQ(panelCaption(*findSettingsField("delayNoise")), "Delay: Noise");
    EXPECT_EQ(findSettingsField("delayMap.source")->listNames[sourceDiag1S], std::string("Diag 1 S"));
}

}  // namespace
}  // namespace glimmer
