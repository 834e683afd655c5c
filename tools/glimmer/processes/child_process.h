// A child program (ffmpeg, ffprobe) owned by one object: started with the
// pipes it needs, guarded against interrupts, and ended on every path. A
// ChildProcess destroyed while its program still runs kills it and waits,
// so no program outlives the work it was started for.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <sys/types.h>

namespace glimmer::tool {

// Where a program is on PATH, or "" when it is not installed.
std::string findProgram(const std::string& name);

struct ChildPipes {
    bool input = false;     // a pipe to its standard input; else /dev/null
    bool output = false;    // a pipe from its standard output; else ours
    bool third = false;     // a pipe from its descriptor 3 (progress, a second output)
    bool fourth = false;    // a pipe to its descriptor 4 (a second input: the sound)
};

class ChildProcess {
public:
    // Starts `program` from PATH with `arguments` (not counting the name).
    // Throws ToolError beginning with `context` ("cannot read 'a.mp4'") when
    // the program is missing or cannot start.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments, ChildPipes pipes,
                 const std::string& context);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return child_; }
    int input() const { return input_; }
    int output() const { return output_; }
    int third() const { return third_; }
    int fourth() const { return fourth_; }
    void closeInput();
    void closeFourth();

    // Waits for the program to end; true when it exited with status 0.
    bool finish();
    // Ends the program at once and waits for it.
    void stop();
    // The last line the program wrote on its standard error, else how it
    // ended.
    std::string complaint() const;

private:
    pid_t child_ = -1;
    int status_ = 0;
    int input_ = -1, output_ = -1, third_ = -1, fourth_ = -1;
    int report_ = -1;  // its standard error, kept in an unlinked file
};

// Writes everything or answers false (the reader is gone).
bool writeFully(int fd, const void* data, std::size_t bytes);
// Reads until `bytes` arrived or the writer closed; answers what arrived.
std::size_t readFully(int fd, void* data, std::size_t bytes);

}  // namespace glimmer::tool
