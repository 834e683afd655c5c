// The subcommands of glimmer. Each throws ToolError on failure and answers
// the exit status on success.
#pragma once

#include "commands/command_line.h"

namespace glimmer::tool {

int runRenderCommand(const Options& options);
int runJoinCommand(const Options& options);
int runEditCommand(const Options& options);
int runSheetCommand(const Options& options);
int runSettingsCommand(const Options& options);
int runDemoCommand(const Options& options);
int runPresetsCommand(const Options& options);

// --jobs, or one job a core.
int jobCount(const Options& options);
// --threads, or one a core.
int threadCount(const Options& options);

}  // namespace glimmer::tool
