// An output file that appears under its name only once it is complete.
//
// Writers write to path(), a temporary name beside the target, and call
// commit() when everything is written; an OutputFile destroyed without a
// commit removes what was written, so a failure or an exception never
// leaves a partial file under the name the user gave. An interrupt
// removes the temporary files too.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace glimmer::tool {

class OutputFile {
public:
    explicit OutputFile(std::string target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& path() const { return writePath_; }
    const std::string& target() const { return target_; }
    // Moves the written file to the target name; throws ToolError on failure.
    void commit();

private:
    std::string target_;
    std::string writePath_;
    bool committed_ = false;
    int guard_ = -1;  // this file's place among those an interrupt removes
};

// Throws a ToolError unless the folder that would hold `target` exists and
// `target` is no device, pipe or other non-regular file.
void checkOutputFolder(const std::string& target);

// Refuses, before anything is written, an output that is one of the files
// the work reads: the same path, or the same file by another path, a
// symbolic or a hard link (the same device and inode). `inputs` pairs each
// path with what it is to the work ("clip B", "the music"). A folder of
// PNG frames is refused when an input is one of the frames it would
// replace.
void refuseOutputOverInput(const std::string& target, const std::vector<std::pair<std::string, std::string>>& inputs);

// Lower-case extension with its dot (".png"), or "" when there is none.
std::string fileExtension(const std::string& path);

}  // namespace glimmer::tool
