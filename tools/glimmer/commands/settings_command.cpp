#include <cstdio>
#include <string>

#include "commands/commands.h"
#include "outputs/output_file.h"
#include "settings/settings_assignments.h"
#include "settings_fields.h"
#include "settings_file.h"
#include "source_map.h"
#include "common/tool_error.h"
#include "inputs/transition_inputs.h"

namespace glimmer::tool {
namespace {

// A source index with its list name, so that a printed value can be read
// back as --set movingXMap.source="Diag 1".
std::string valueText(const SettingsField& field, int32_t value) {
    std::string text = std::to_string(value);
    if (isSourceField(field) && value >= 0 && value < sourceCount) text += " (" + std::string(sourceMapNames[value]) + ")";
    return text;
}

}  // namespace

int runSettingsCommand(const Options& options) {
    const TransitionSettings settings = loadTransitionSettings(options);
    std::printf("%-20s %-15s %-15s %-26s %s\n", "field", "value", "default", "range", "meaning");
    for (std::size_t i = 0; i < settingsFieldCount; ++i) {
        const SettingsField& field = settingsFields[i];
        std::printf("%-20s %-15s %-15s %-26s %s%s\n", field.name, valueText(field, readSettingsField(settings, field)).c_str(),
                    valueText(field, field.defaultValue).c_str(), describeSettingsRange(field).c_str(), field.meaning,
                    field.alias ? " (a bit of the field above)" : "");
    }
    if (!options.out.empty()) {
        refuseOutputOverInput(options.out, {{options.settingsPath, "the settings file"}});
        // Written beside the target and renamed, so a failed write leaves an
        // existing file of that name as it was.
        OutputFile file(options.out);
        const SettingsFileStatus status = writeSettingsFile(file.path(), settings);
        if (status != SettingsFileStatus::ok)
            throw ToolError("cannot write settings file '" + options.out + "': " + settingsFileMessage(status));
        file.commit();
        std::printf("wrote %s\n", options.out.c_str());
    }
    return 0;
}

}  // namespace glimmer::tool
