#include "commands/commands.h"
#include "commands/whole_edit.h"
#include "plan/edit_list.h"

namespace glimmer::tool {

int runEditCommand(const Options& options) {
    EditList list = readEditList(options.editPath);
    applyEditOptions(options, list);
    return makeWholeEdit(list, options);
}

}  // namespace glimmer::tool
