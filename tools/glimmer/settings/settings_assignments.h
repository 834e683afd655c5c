// FIELD=VALUE assignments to the settings record, checked against the
// ranges of the settings table.
//
// The command-line renderer's --set options and the frei0r plug-in's
// parameters both come through here, so a value that one of them refuses
// the other refuses too, with the same words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "settings_fields.h"
#include "transition_settings.h"

namespace glimmer {

// Reads a field's value from text: a whole number within the field's range,
// or for a map's source also a source name ("Diag 1 S", in any case). On
// failure answers false and says why in `error`, naming the field and the
// text.
bool parseSettingsValue(const SettingsField& field, const std::string& text, int32_t& value,
                        std::string& error);

// Writes a value after checking it against the field's range.
bool assignSettingsField(TransitionSettings& settings, const SettingsField& field, int32_t value,
                         std::string& error);

// Applies "FIELD=VALUE" to the record. The record changes only on success;
// a misspelt field name gets the nearest one suggested.
bool applySettingsAssignment(TransitionSettings& settings, const std::string& assignment,
                             std::string& error);

// Edits (insertions, deletions, changes, case aside) between two names:
// how near a misspelt field or option is to a real one.
std::size_t editDistance(const std::string& a, const std::string& b);

// "0..255", or for a source field "0..14 or a source name".
std::string describeSettingsRange(const SettingsField& field);

}  // namespace glimmer
