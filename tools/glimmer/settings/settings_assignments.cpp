#include "settings/settings_assignments.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include <strings.h>

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

// Source names as the list writes them, whatever the case they are typed in.
int32_t findSourceIgnoringCase(const std::string& text) {
    for (int32_t i = 0; i < sourceCount; ++i)
        if (strcasecmp(sourceMapNames[i], text.c_str()) == 0) return i;
    return -1;
}


// The field a misspelt name most likely meant, or "" when none is close.
std::string nearestFieldName(const std::string& name) {
    std::string best;
    std::size_t bestDistance = std::max<std::size_t>(2, name.size() / 4) + 1;
    for (std::size_t i = 0; i < settingsFieldCount; ++i) {
        const std::size_t d = editDistance(name, settingsFields[i].name);
        if (d < bestDistance) {
            bestDistance = d;
            best = settingsFields[i].name;
        }
    }
    return best;
}

}  // namespace

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            const std::size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}

std::string describeSettingsRange(const SettingsField& field) {
    std::string range = std::to_string(field.minimum) + ".." + std::to_string(field.maximum);
    if (isSourceField(field)) range += " or a source name";
    return range;
}

bool parseSettingsValue(const SettingsField& field, const std::string& text, int32_t& value,
                        std::string& error) {
    if (isSourceField(field)) {
        const int32_t source = findSourceIgnoringCase(text);
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
        const std::string nearest = nearestFieldName(name);
        if (!nearest.empty()) error += " (did you mean " + quoted(nearest) + "?)";
        return false;
    }
    int32_t value = 0;
    if (!parseSettingsValue(*field, assignment.substr(equals + 1), value, error)) return false;
    writeSettingsField(settings, *field, value);
    return true;
}

}  // namespace glimmer
