// The one way a glimmer command fails: a one-line message and an exit status.
#pragma once

#include <stdexcept>
#include <string>

namespace glimmer::tool {

constexpr int exitFailure = 1;  // bad input or output: a file, a value, a program
constexpr int exitUsage = 2;    // the command line itself is wrong

class ToolError : public std::runtime_error {
public:
    ToolError(const std::string& message, int exitStatus = exitFailure)
        : std::runtime_error(message), exitStatus_(exitStatus) {}
    int exitStatus() const { return exitStatus_; }

private:
    int exitStatus_;
};

inline ToolError usageError(const std::string& message) { return ToolError(message, exitUsage); }

}  // namespace glimmer::tool
