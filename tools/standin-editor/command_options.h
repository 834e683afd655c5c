// The test host's command line: a command word, then "--name value" pairs
// and "--flag" switches.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace glimmer {

class CommandOptions {
public:
    // `flags` names the switches that take no value. False, with a reason
    // in error(), when the words do not parse.
    bool parse(int argc, char** argv, const std::set<std::string>& flags);

    bool has(const std::string& name) const { return values_.count(name) != 0 || flags_.count(name) != 0; }
    std::string text(const std::string& name) const;
    // False when the option is given but is not a whole integer.
    bool integer(const std::string& name, int32_t fallback, int32_t& value) const;
    const std::string& error() const { return error_; }

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::string error_;
};

}  // namespace glimmer
