#include "transition_inputs.h"

#include "png_io.h"
#include "sample_pictures.h"
#include "settings_assignments.h"
#include "settings_file.h"
#include "tool_error.h"

namespace glimmer::tool {
namespace {

std::string sizeText(const Picture& p) { return std::to_string(p.width) + "x" + std::to_string(p.rows); }

}  // namespace

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

PicturePair loadPicturePair(const Options& options) {
    PicturePair pair;
    if (!options.imageA.empty()) pair.a = readPng(options.imageA);
    if (!options.imageB.empty()) pair.b = readPng(options.imageB);
    if (!options.imageA.empty() && !options.imageB.empty() &&
        (pair.a.width != pair.b.width || pair.a.rows != pair.b.rows))
        throw ToolError("'" + options.imageA + "' is " + sizeText(pair.a) + " but '" + options.imageB + "' is " +
                        sizeText(pair.b) + "; both pictures must have the same size");
    const int32_t width = !options.imageA.empty() ? pair.a.width : !options.imageB.empty() ? pair.b.width : options.width;
    const int32_t rows = !options.imageA.empty() ? pair.a.rows : !options.imageB.empty() ? pair.b.rows : options.rows;
    if (options.imageA.empty()) pair.a = makeSunsetPicture(width, rows);
    if (options.imageB.empty()) pair.b = makeMosaicPicture(width, rows);
    return pair;
}

}  // namespace glimmer::tool
