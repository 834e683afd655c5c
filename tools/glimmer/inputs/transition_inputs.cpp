#include "inputs/transition_inputs.h"

#include "settings/settings_assignments.h"
#include "settings_file.h"
#include "common/tool_error.h"
#include "inputs/transition_sides.h"

namespace glimmer::tool {

TransitionSettings loadTransitionSettings(const Options& options) {
    TransitionSettings settings = defaultSettings();
    if (!options.settingsPath.empty()) {
        const SettingsFileStatus status = readSettingsFile(options.settingsPath, settings);
        if (status != SettingsFileStatus::ok)
            throw ToolError("cannot read settings file '" + options.settingsPath + "': " + settingsFileMessage(status));
    }
    for (const std::string& assignment : options.assignments) {
        std::string error;
        if (!applySettingsAssignment(settings, assignment, error)) {
            const bool malformed = assignment.find('=') == std::string::npos || assignment.front() == '=';
            throw ToolError("--set " + assignment + ": " + error, malformed ? exitUsage : exitFailure);
        }
    }
    return settings;
}

std::vector<std::pair<std::string, std::string>> inputFilesOf(const Options& options) {
    return {{options.imageA, "image A"}, {options.imageB, "image B"}, {options.settingsPath, "the settings file"}};
}

PicturePair loadPicturePair(const Options& options) {
    const SideInputs sides = inspectSides(options);
    const SideInput& a = sides.a;
    const SideInput& b = sides.b;
    const OutputFrames output = outputFramesFor(options, a, b);
    PicturePair pair;
    const SideFramesWanted wanted{options.position, options.position, 1};
    const auto sideA = openSide(a, output, wanted, 1, true);
    const auto sideB = openSide(b, output, wanted, 1, false);
    pair.a = sideA->acquire(options.position);
    pair.b = sideB->acquire(options.position);
    return pair;
}

}  // namespace glimmer::tool
