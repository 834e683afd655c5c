// A numbered PNG sequence in a folder: frame-0000.png, frame-0001.png, ...
// Each frame is written by the job that rendered it, so encoding runs in
// parallel too; each file appears only once complete.
//
// Frames of an earlier render in the folder are removed first, so the
// folder never holds a mix of two renders; a render that fails or is
// interrupted removes the frames it wrote.
#pragma once

#include <string>

#include "plan/frame_jobs.h"

namespace glimmer::tool {

class PngSequenceWriter : public FrameConsumer {
public:
    // Creates the folder (and its parents) when it does not exist.
    PngSequenceWriter(std::string folder, int32_t frames, int compression);
    ~PngSequenceWriter() override;
    bool needsOrder() const override { return false; }
    void take(int32_t position, const Picture& frame) override;
    std::string framePath(int32_t position) const;
    // Every frame is written: they stay.
    void commit();
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    int32_t frames_;
    int digits_;
    int compression_;
    bool committed_ = false;
};

// Makes the folder and its parents where they do not exist; throws
// ToolError naming the one that cannot be made.
void makeFolders(const std::string& folder);

// A path names a folder when it ends in '/' or is an existing folder.
bool isFolderPath(const std::string& path);

}  // namespace glimmer::tool
