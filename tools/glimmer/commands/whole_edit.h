// Making an edit: its clips decoded as the film is encoded, at most the two
// clips of the current join at once, and nothing written but the output.
#pragma once

#include "commands/command_line.h"
#include "plan/edit_list.h"

namespace glimmer::tool {

// Writes the edit where the options say (--out, --format, --codec ...).
// Throws ToolError naming the entry, the key or the file at fault, before
// anything is written when it can be known then.
int makeWholeEdit(const EditList& list, const Options& options);

}  // namespace glimmer::tool
