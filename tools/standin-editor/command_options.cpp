#include "command_options.h"

#include <cerrno>
#include <cstdlib>

namespace glimmer {

bool CommandOptions::parse(int argc, char** argv, const std::set<std::string>& flags) {
    for (int i = 0; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            error_ = "unexpected argument \"" + word + "\"";
            return false;
        }
        const std::string name = word.substr(2);
        if (flags.count(name) != 0) {
            flags_.insert(name);
        } else if (i + 1 < argc) {
            values_[name] = argv[++i];
        } else {
            error_ = "option --" + name + " needs a value";
            return false;
        }
    }
    return true;
}

std::string CommandOptions::text(const std::string& name) const {
    const auto found = values_.find(name);
    return found != values_.end() ? found->second : std::string();
}

bool CommandOptions::integer(const std::string& name, int32_t fallback, int32_t& value) const {
    const auto found = values_.find(name);
    if (found == values_.end()) {
        value = fallback;
        return true;
    }
    const char* begin = found->second.c_str();
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(begin, &end, 10);
    if (end == begin || *end != '\0' || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<int32_t>(parsed);
    return true;
}

}  // namespace glimmer
