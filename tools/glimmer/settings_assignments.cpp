#include "settings_assignments.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "source_map.h"

namespace glimmer {
namespace {

// strtol alone accepts "12abc", " 12" and overflowing numbers.
bool parseWholeNumber(const std::string& text, long& number) {
    if (text.empty() || text.front() == ' ' || text.front() == '\t') return false;
    errno = 0;
    char* end = nullptr;
    number = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end != text.c_str() && *end == '\0';
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

std::string describeSettingsRange(const SettingsField& field) {
    std::string range = std::to_string(field.minimum) + ".." + std::to_string(field.maximum);
    if (isSourceField(field)) range += " or a source name";
    return range;
}

bool parseSettingsValue(const SettingsField& field, const std::string& text, int32_t& value,
                        std::string& error) {
    if (isSourceField(field)) {
        const int32_t source = findSourceByName(text.c_str());
        if (source >= 0) {
            value = source;
            return true;
        }
    }
    long number = 0;
    if (!parseWholeNumber(text, number) || number < field.minimum || number > field.maximum) {
        error = quoted(field.name) + " takes " + describeSettingsRange(field) + ", not " + quoted(text);
        if (isSourceField(field)) {
            error += " (sources:";
            for (int32_t i = 0; i < sourceCount; ++i)
                error += std::string(i == 0 ? " \"" : ", \"") + sourceMapNames[i] + "\"";
            error += ")";
        }
        return false;
    }
    value = static_cast<int32_t>(number);
    return true;
}

bool assignSettingsField(TransitionSettings& settings, const SettingsField& field, int32_t value,
                         std::string& error) {
    if (value < field.minimum || value > field.maximum) {
        error = quoted(field.name) + " takes " + describeSettingsRange(field) + ", not " +
                quoted(std::to_string(value));
        return false;
    }
    writeSettingsField(settings, field, value);
    return true;
}

bool applySettingsAssignment(TransitionSettings& settings, const std::string& assignment,
                             std::string& error) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) {
        error = "expected FIELD=VALUE, not " + quoted(assignment);
        return false;
    }
    const std::string name = assignment.substr(0, equals);
    const SettingsField* field = findSettingsField(name.c_str());
    if (field == nullptr) {
        error = "unknown settings field " + quoted(name);
        return false;
    }
    int32_t value = 0;
    if (!parseSettingsValue(*field, assignment.substr(equals + 1), value, error)) return false;
    writeSettingsField(settings, *field, value);
    return true;
}

}  // namespace glimmer
