// The help file's name: the module's own path with its extension replaced
// by ".HLP". Portable, so that the rule is tested natively too.
#pragma once

#include <string>

std::string helpFilePathFor(const std::string& modulePath);
