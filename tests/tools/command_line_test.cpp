#include "commands/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "common/tool_error.h"

namespace glimmer::tool {
namespace {

Options parse(std::initializer_list<const char*> words) {
    std::vector<const char*> argv{"glimmer"};
    argv.insert(argv.end(), words);
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, RenderTakesBothOptionForms) {
    const Options o = parse({"render", "--position=3", "--total", "10", "--set", "gravity=4", "--set=wind=3",
                             "--out", "f.png", "--size", "320x200", "--quiet"});
    EXPECT_EQ(o.command, "render");
    EXPECT_EQ(o.position, 3);
    EXPECT_EQ(o.total, 10);
    EXPECT_EQ(o.assignments, (std::vector<std::string>{"gravity=4", "wind=3"}));
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.rows, 200);
    EXPECT_TRUE(o.quiet);
}

// A look becomes its assignments where it stands; only the encoder's speed
// counts as --preset for the checks of what the output takes.
TEST(CommandLine, PresetTakesALookOrAnEncoderSpeed) {
    const Options look = parse({"render", "--set", "gravity=4", "--preset", "tiles", "--frames", "2", "--out", "d/"});
    EXPECT_EQ(look.assignments, (std::vector<std::string>{"gravity=4", "cellWidth=32", "cellHeight=32", "gravity=40",
                                                          "delayMap.source=12"}));
    EXPECT_FALSE(look.has("--preset"));
    const Options both = parse({"join", "a.mp4", "b.mp4", "--duration", "1", "--preset=slow", "--preset=dissolve",
                                "--out", "j.mp4"});
    EXPECT_EQ(both.preset, "slow");
    EXPECT_TRUE(both.has("--preset"));
    EXPECT_FALSE(both.assignments.empty());
}

TEST(CommandLine, SizeTakesTheMultiplicationSign) {
    const Options o = parse({"sheet", "--frames", "4", "--size", "64\xC3\x97" "48", "--out", "s.png"});
    EXPECT_EQ(o.width, 64);
    EXPECT_EQ(o.rows, 48);
}

TEST(CommandLine, HelpNeedsNothingElse) {
    EXPECT_TRUE(parse({"render", "--help"}).help);
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"sheet", "-h"}).help);
}

TEST(CommandLine, UsageErrorsAreRefusedWithStatusTwo) {
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"paint"},
        {"render", "--position", "1", "--total", "2"},                         // no --out
        {"render", "--position", "2", "--total", "2", "--out", "f.png"},        // past the end
        {"render", "--total", "2", "--out", "f.png"},                           // no position
        {"render", "--frames", "3", "--position", "1", "--out", "d/"},          // both kinds
        {"render", "--frames", "0", "--out", "d/"},
        {"render", "--frames", "3x", "--out", "d/"},
        {"render", "--frames"},                                                 // value missing
        {"render", "--quiet=1", "--frames", "2", "--out", "d/"},
        {"render", "--columns", "3", "--frames", "2", "--out", "d/"},           // a sheet option
        {"render", "--size", "16385x10", "--frames", "2", "--out", "d/"},
        {"render", "--size", "16384x16384", "--frames", "2", "--out", "d/"},        // too many pixels
        {"render", "--size", "640", "--frames", "2", "--out", "d/"},
        {"render", "--size", "0x10", "--frames", "2", "--out", "d/"},
        {"render", "--a-start", "2", "--frames", "2", "--out", "d/"},          // a start without a clip
        {"render", "--jobs", "0", "--frames", "2", "--out", "d/"},
        {"render", "--compression", "10", "--frames", "2", "--out", "d/"},
        {"sheet", "--frames", "3", "--scale", "0", "--out", "s.png"},
        {"sheet", "--frames", "3", "--scale", "nan", "--out", "s.png"},
        {"sheet", "--out", "s.png"},
        {"settings", "--position", "3"},
        {"settings", "--preset", "explosions"},
        {"demo", "stray"},
    };
    for (const auto& words : bad) {
        std::vector<const char*> argv{"glimmer"};
        argv.insert(argv.end(), words.begin(), words.end());
        std::string line;
        for (const char* w : words) line += std::string(w) + " ";
        try {
            parseCommandLine(static_cast<int>(argv.size()), argv.data());
            ADD_FAILURE() << "accepted: " << line;
        } catch (const ToolError& e) {
            EXPECT_EQ(e.exitStatus(), exitUsage) << line;
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
        }
    }
}

TEST(CommandLine, EveryCommandHasHelpListingItsOptions) {
    for (const char* command : {"render", "sheet", "settings", "demo"}) {
        const std::string help = helpText(command);
        EXPECT_NE(help.find(std::string("glimmer ") + command), std::string::npos) << command;
        EXPECT_NE(help.find("--help"), std::string::npos) << command;
    }
    EXPECT_NE(helpText("render").find("--frames N"), std::string::npos);
    EXPECT_EQ(helpText("settings").find("--frames"), std::string::npos);
}

}  // namespace
}  // namespace glimmer::tool
