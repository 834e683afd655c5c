// Runs the built glimmer program as a user would, capturing what it says.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace glimmer::tool {

struct GlimmerRun {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string out, err;
};

// `path` replaces PATH when it is not null, to hide or fake ffmpeg.
inline GlimmerRun runGlimmer(const std::vector<std::string>& arguments, const char* path = nullptr) {
    char outName[] = "/tmp/glimmer-run-out-XXXXXX", errName[] = "/tmp/glimmer-run-err-XXXXXX";
    const int outFd = mkstemp(outName), errFd = mkstemp(errName);
    std::vector<std::string> words{GLIMMER_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e)
        if (path == nullptr || std::string(*e).rfind("PATH=", 0) != 0) environment.push_back(*e);
    if (path != nullptr) environment.push_back(std::string("PATH=") + path);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    pid_t child = -1;
    GlimmerRun run;
    if (posix_spawn(&child, GLIMMER_PROGRAM, &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(outFd);
    close(errFd);
    auto slurp = [](const char* name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    run.out = slurp(outName);
    run.err = slurp(errName);
    unlink(outName);
    unlink(errName);
    return run;
}

}  // namespace glimmer::tool
