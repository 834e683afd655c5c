// The settings record described once: names, defaults, ranges and meanings,
// and how the plug-in's own dialog shows each field.
//
// The command-line renderer, the frei0r parameters, every range check and
// every host's panel read this one table instead of repeating the record's
// layout or the dialog's words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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

    // The dialog's words for the field, which host panels show too.
    const char* page;        // the dialog page: "Movement", "Nature", "Life", "Sources"
    const char* group;       // its group box; for a map the parameter ("Moving X")
    const char* caption;     // the control's label, check box or list caption
    const char* tooltip;     // the control's tooltip in the dialog; "" where it has none
    const char* const* listNames;  // names of the values 0, 1, ...; null unless a list
    int32_t listCount;
    int32_t sliderMaximum;   // a slider spans minimum..sliderMaximum; typing reaches maximum
    bool panel;              // shown in host panels: not the Hold bits, not a word shown by its bits
    int32_t panelOrder;      // place in the dialog's reading order among panel fields; -1 if none
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

// The caption a flat list of panel fields shows: the group goes in front
// where another panel field has the same caption ("Moving X: Repeat X",
// "Speed: Noise" beside "Delay: Noise").
std::string panelCaption(const SettingsField& field);

// The panel fields in the dialog's reading order: page by page, group by
// group. Null past the last one.
const SettingsField* panelField(std::size_t order);

}  // namespace glimmer
