#include "integer_text.h"

#include <cerrno>
#include <cstdlib>

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
}

bool parseIntegerText(const std::string& text, int32_t& value) {
    const char* start = text.c_str();
    while (isBlank(*start)) ++start;
    if (*start == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(start, &end, 10);
    if (end == start || errno == ERANGE) return false;
    while (isBlank(*end)) ++end;
    if (*end != '\0') return false;
    if (parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<int32_t>(parsed);
    return true;
}
