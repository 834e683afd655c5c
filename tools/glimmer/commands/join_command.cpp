#include "commands/commands.h"
#include "commands/whole_edit.h"
#include "plan/edit_list.h"

namespace glimmer::tool {

// The short form of an edit: every join the same length and look.
int runJoinCommand(const Options& options) { return makeWholeEdit(editListFromOptions(options), options); }

}  // namespace glimmer::tool
