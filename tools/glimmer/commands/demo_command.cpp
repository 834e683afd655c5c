#include <cstdio>
#include <memory>
#include <vector>

#include "commands/commands.h"
#include "outputs/contact_sheet.h"
#include "plan/frame_jobs.h"
#include "common/png_io.h"
#include "commands/progress_bar.h"
#include "inputs/sample_pictures.h"
#include "outputs/sequence_writer.h"
#include "outputs/video_writer.h"

namespace glimmer::tool {
namespace {

constexpr int32_t demoWidth = 640, demoRows = 360, demoFrames = 50;

// One rendering feeds the sheet and the videos: frames go out in order,
// and each consumer gets every one.
class FanOut : public FrameConsumer {
public:
    explicit FanOut(std::vector<FrameConsumer*> consumers) : consumers_(std::move(consumers)) {}
    bool needsOrder() const override { return true; }
    void take(int32_t position, const Picture& frame) override {
        for (FrameConsumer* c : consumers_) c->take(position, frame);
    }

private:
    std::vector<FrameConsumer*> consumers_;
};

}  // namespace

int runDemoCommand(const Options& options) {
    std::string folder = options.out.empty() ? "glimmer-demo" : options.out;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    makeFolders(folder);

    const Picture a = makeSunsetPicture(demoWidth, demoRows);
    const Picture b = makeMosaicPicture(demoWidth, demoRows);
    const Transition transition{&a, &b, defaultSettings(), demoFrames};
    writePng(folder + "/image-a.png", a);
    writePng(folder + "/image-b.png", b);

    ContactSheet sheet(demoWidth, demoRows, SheetLayout{demoFrames, 5, 0.25});
    std::vector<FrameConsumer*> consumers{&sheet};
    std::vector<std::unique_ptr<VideoWriter>> videos;
    const bool haveFfmpeg = !findProgram("ffmpeg").empty();
    if (haveFfmpeg) {
        for (const char* name : {"/transition.gif", "/transition.mp4"}) {
            videos.push_back(std::make_unique<VideoWriter>(folder + name, demoWidth, demoRows, FrameRate{25, 1}));
            consumers.push_back(videos.back().get());
        }
    }
    FanOut everything(consumers);
    ProgressBar progress(demoFrames, options.quiet);
    renderFrames(transition, demoFrames, jobCount(options), everything, progress);
    progress.finish();
    // The sheet first: a video that ffmpeg fails to finish must not cost it.
    writePng(folder + "/sheet.png", sheet.picture());
    for (auto& video : videos) video->finish();

    std::printf("glimmer demo: the built-in pair at %dx%d over %d frames\n", demoWidth, demoRows, demoFrames);
    std::printf("  %s/sheet.png        contact sheet, frame positions under the frames\n", folder.c_str());
    if (haveFfmpeg) {
        std::printf("  %s/transition.gif   animated GIF\n", folder.c_str());
        std::printf("  %s/transition.mp4   H.264 video\n", folder.c_str());
    } else {
        std::printf("  (ffmpeg is not installed: no GIF or MP4)\n");
    }
    std::printf("  %s/image-a.png      image A, %s/image-b.png image B\n", folder.c_str(), folder.c_str());
    return 0;
}

}  // namespace glimmer::tool
