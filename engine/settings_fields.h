// The settings record described once: names, defaults, ranges and meanings.
//
// The command-line renderer, the frei0r parameters and every range check
// read this one table instead of repeating the record's layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "transition_settings.h"

namespace glimmer {

struct SettingsField {
    const char* name;        // record field name; "movingXMap.source" for map fields
    std::size_t offset;      // byte offset of the int32 field in the record
    int32_t bit;             // -1: the whole field; else one bit of a flag field
    int32_t defaultValue;
    int32_t minimum;
    int32_t maximum;
    bool alias;              // a bit of a flag field that the table also lists whole
    const char* meaning;
};

extern const SettingsField settingsFields[];
extern const std::size_t settingsFieldCount;

// The field of that name, or null.
const SettingsField* findSettingsField(const char* name);

int32_t readSettingsField(const TransitionSettings& settings, const SettingsField& field);
void writeSettingsField(TransitionSettings& settings, const SettingsField& field, int32_t value);

// True when the field names a map's source, whose values may also be given
// by their list names ("Diag 1 S").
bool isSourceField(const SettingsField& field);

}  // namespace glimmer
