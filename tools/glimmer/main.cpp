// glimmer: the transition on the command line.
#include <csignal>
#include <cstdio>
#include <exception>
#include <new>

#include "commands/command_line.h"
#include "commands/commands.h"
#include "common/tool_error.h"

using namespace glimmer::tool;

int main(int argc, char** argv) {
    // A video pipe whose ffmpeg has died must fail with a message, not kill us.
    std::signal(SIGPIPE, SIG_IGN);
    const std::string command = argc > 1 && isGlimmerCommand(argv[1]) ? argv[1] : "";
    try {
        const Options options = parseCommandLine(argc, argv);
        if (options.version) {
            std::fputs(versionText().c_str(), stdout);
            return 0;
        }
        if (options.help) {
            std::fputs(helpText(options.command).c_str(), stdout);
            return 0;
        }
        if (command == "render") return runRenderCommand(options);
        if (command == "join") return runJoinCommand(options);
        if (command == "edit") return runEditCommand(options);
        if (command == "sheet") return runSheetCommand(options);
        if (command == "settings") return runSettingsCommand(options);
        if (command == "presets") return runPresetsCommand(options);
        return runDemoCommand(options);
    } catch (const ToolError& error) {
        std::fprintf(stderr, "glimmer: %s", error.what());
        if (error.exitStatus() == exitUsage)
            std::fprintf(stderr, " (glimmer %s--help)", command.empty() ? "" : (command + " ").c_str());
        std::fputc('\n', stderr);
        return error.exitStatus();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "glimmer: out of memory\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "glimmer: %s\n", error.what());
    }
    return exitFailure;
}
