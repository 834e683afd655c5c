// glimmer-host: loads Fx.prm as the editor does and drives it.
//
//   glimmer-host info
//   glimmer-host render --a A.png --b B.png [--settings S.qvx] --position P
//                       --total T [--interleaved] --out O.png
//   glimmer-host setup [--a A.png --b B.png] [--total N] [--rate F]
//                      [--settings S.qvx] [--save S.qvx]
#include <cstdio>
#include <cstring>

#include "command_options.h"
#include "host_commands.h"
#include "plugin_library.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: glimmer-host info\n"
                 "       glimmer-host render --a A.png --b B.png [--settings S.qvx] --position P --total T\n"
                 "                           [--interleaved] --out O.png\n"
                 "       glimmer-host setup [--a A.png --b B.png] [--total N] [--rate F] [--settings S.qvx]\n"
                 "                          [--save S.qvx]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace glimmer;
    if (argc < 2) return usage();
    const char* command = argv[1];
    CommandOptions options;
    if (!options.parse(argc - 2, argv + 2, {"interleaved"})) {
        std::fprintf(stderr, "glimmer-host: %s\n", options.error().c_str());
        return usage();
    }
    const PluginLibrary plugin;
    if (!plugin.loaded()) {
        std::fprintf(stderr, "glimmer-host: cannot load Fx.prm or find its xEffect\n");
        return 1;
    }
    if (std::strcmp(command, "info") == 0) return runInfoCommand(plugin);
    if (std::strcmp(command, "render") == 0) return runRenderCommand(plugin, options);
    if (std::strcmp(command, "setup") == 0) return runSetupCommand(plugin, options);
    return usage();
}
