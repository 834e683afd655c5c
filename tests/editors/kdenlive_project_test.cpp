// A Kdenlive project with the composition inserted between two clips,
// rendered as Kdenlive's render job renders it: the project as Kdenlive
// 22.12 saves it (tools/kdenlive/write-sample-project) with the <consumer>
// element the job adds, and melt under a display, since the image clips and
// the tracks' compositing come from MLT's Qt module. Over the composition
// frame k of n must be glimmer render's position k of total n; before it
// clip A, after it clip B.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "melt_render.h"
#include "common/png_io.h"
#include "run_glimmer.h"
#include "inputs/sample_pictures.h"
#include "settings_file.h"
#include "temporary_folder.h"

namespace glimmer::tool {
namespace {

constexpr int32_t width = 64, rows = 36;
constexpr int clipFrames = 30, overlap = 10, totalFrames = 2 * clipFrames - overlap;
constexpr std::size_t frameBytes = std::size_t(width) * rows * 4;

void replaceOnce(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

struct Edit {
    const char* name;
    std::vector<std::pair<std::string, std::string>> projectChanges;  // as Kdenlive writes them after a panel edit
    std::vector<std::string> glimmerArguments;                        // the same settings for glimmer render
    bool fromElsewhere = false;  // melt runs in another folder than the project's
};

class KdenliveRender : public ::testing::TestWithParam<Edit> {};

TEST_P(KdenliveRender, CompositionRunsFromAToBAsGlimmerRendersIt) {
    TemporaryFolder folder;
    // MLT loads modules from one folder: MLT's own, with ours beside them.
    const std::filesystem::path modules = folder.path("mlt-modules");
    std::filesystem::create_directory(modules);
    for (const auto& module : std::filesystem::directory_iterator(MLT_MODULE_DIR))
        std::filesystem::create_symlink(module.path(), modules / module.path().filename());
    std::filesystem::create_symlink(GLIMMER_MLT_MODULE, modules / std::filesystem::path(GLIMMER_MLT_MODULE).filename());

    const Picture a = makeSunsetPicture(width, rows), b = makeMosaicPicture(width, rows);
    writePng(folder.path("a.png"), a);
    writePng(folder.path("b.png"), b);
    TransitionSettings held = defaultSettings();
    held.cellWidth = 3;
    held.delayMap.source = 12;
    ASSERT_EQ(writeSettingsFile(folder.path("held.qvx"), held), SettingsFileStatus::ok);

    const std::string raw = folder.path("render.rgba");
    ASSERT_EQ(std::system(("'" WRITE_KDENLIVE_PROJECT "' '" KDENLIVE_DESCRIPTION "' '" + folder.path("") + "' " +
                           std::to_string(width) + " " + std::to_string(rows) + " " + std::to_string(clipFrames) + " " +
                           std::to_string(overlap) + " '" + raw + "'")
                              .c_str()),
              0);
    std::string project = fileBytes(folder.path("two-clips.kdenlive"));
    for (const auto& [from, to] : GetParam().projectChanges) replaceOnce(project, from, to);
    std::ofstream(folder.path("two-clips.kdenlive")) << project;

    // A display number of our own: two xvfb-run -a started at once can pick the same one.
    const std::string display = std::to_string(200 + getpid() % 600);
    const std::string frames = renderWithMelt(GetParam().fromElsewhere ? modules.string() : folder.path(""),
                                              "xvfb-run -a -n " + display + " env MLT_REPOSITORY='" + modules.string() +
                                                  "' melt -progress2 '" + folder.path("two-clips.kdenlive") + "'",
                                              raw);
    ASSERT_EQ(frames.size(), totalFrames * frameBytes);
    EXPECT_EQ(fileBytes(raw + ".log").find("settings file"), std::string::npos) << "a settings file was read or refused";
    auto frame = [&](int i) { return frames.substr(std::size_t(i) * frameBytes, frameBytes); };
    const int first = clipFrames - overlap;
    EXPECT_TRUE(frame(first - 1) == topFirstBytes(a)) << "clip A before the composition";
    EXPECT_TRUE(frame(clipFrames) == topFirstBytes(b)) << "clip B after it";
    for (int k = 0; k < overlap; ++k) {
        std::vector<std::string> arguments{"render", "--a", folder.path("a.png"), "--b", folder.path("b.png"),
                                           "--position", std::to_string(k), "--total", std::to_string(overlap),
                                           "--out", folder.path("expected.png")};
        for (const std::string& argument : GetParam().glimmerArguments)
            arguments.push_back(argument == "held.qvx" ? folder.path(argument) : argument);
        const GlimmerRun run = runGlimmer(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(frame(first + k) == topFirstBytes(readPng(folder.path("expected.png")))) << "composition frame " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Panel, KdenliveRender,
    ::testing::Values(Edit{"Defaults", {}, {}},
                      Edit{"SettingsFileAndOneField",
                           {{"<property name=\"settings\"/>", "<property name=\"settings\">held.qvx</property>"},
                            {"<property name=\"gravity\">0<", "<property name=\"gravity\">51<"}},
                           {"--settings", "held.qvx", "--set", "gravity=51"}},
                      // Kdenlive keeps the file relative to the project's root; a loaded file's fields are
                      // in the project, and one set back to its default stays there.
                      Edit{"RelativeFileFromAnotherFolder",
                           {{"<property name=\"settings\"/>", "<property name=\"settings\">held.qvx</property>"}},
                           {"--settings", "held.qvx"},
                           true},
                      Edit{"Preset", {{"<property name=\"preset\"/>", "<property name=\"preset\">explosion</property>"}},
                           {"--preset", "explosion"}},
                      Edit{"FieldAtItsDefaultOverALoadedFile",
                           {{"<property name=\"settings\"/>", "<property name=\"settings\">held.qvx</property>"
                                                               "<property name=\"settings.loaded\">held.qvx</property>"},
                            {"<property name=\"delayMap.source\">9<", "<property name=\"delayMap.source\">12<"}},
                           {"--settings", "held.qvx", "--set", "cellWidth=2"},
                           true}),
    [](const ::testing::TestParamInfo<Edit>& param) { return param.param.name; });

}  // namespace
}  // namespace glimmer::tool
