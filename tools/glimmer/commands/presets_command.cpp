#include <cstdio>
#include <string>

#include "commands/commands.h"
#include "settings_presets.h"

namespace glimmer::tool {

// One look a paragraph: its name for --preset, its title and what it looks
// like, then the --set assignments it stands for.
int runPresetsCommand(const Options&) {
    for (std::size_t i = 0; i < settingsPresetCount; ++i) {
        const SettingsPreset& p = settingsPresets[i];
        std::string fields;
        for (std::size_t k = 0; k < p.assignmentCount; ++k)
            fields += (k == 0 ? "" : " ") + std::string(p.assignments[k].field) + "=" +
                      std::to_string(p.assignments[k].value);
        std::printf("%s%-20s %s: %s\n%-20s %s\n", i == 0 ? "" : "\n", p.name, p.title, p.description, "",
                    fields.c_str());
    }
    return 0;
}

}  // namespace glimmer::tool
