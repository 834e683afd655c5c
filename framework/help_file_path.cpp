#include "help_file_path.h"

std::string helpFilePathFor(const std::string& modulePath) {
    const std::size_t nameStart = modulePath.find_last_of("\\/:");
    const std::size_t dot = modulePath.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    return (hasExtension ? modulePath.substr(0, dot) : modulePath) + ".HLP";
}
