// The engine's frames for the plug-in's frame cases against the hashes
// recorded from the native build: in the cross build this shows that the
// engine compiled for Windows draws the very same pixels.
#include <gtest/gtest.h>

#include "frame_cases.h"
#include "frame_setup.h"
#include "host_row_bytes.h"

namespace glimmer {
namespace {

using namespace testing;

TEST(FrameHashes, EngineFramesMatchTheRecordedHashes) {
    const auto hashes = readFrameHashes(GLIMMER_FRAME_HASHES_FILE);
    ASSERT_FALSE(hashes.empty()) << "cannot read " << GLIMMER_FRAME_HASHES_FILE;
    for (const FrameCase& c : frameCases()) {
        SCOPED_TRACE(c.name);
        const auto a = casePicture(c, imageATag);
        const auto b = casePicture(c, imageBTag);
        auto d = casePicture(c, destinationTag);
        const FrameRequest request{a.data(), b.data(), d.data(), c.rows, hostRowBytes(c.width * 4 | c.rowBytesFlags),
                                   c.position, c.total, (c.renderFlags & 0x300) != 0};
        runFrameSetup(request, c.hostHasSettings ? c.settings : defaultSettings());
        const auto found = hashes.find(c.name);
        const uint64_t hash = frameHash(d);
        EXPECT_TRUE(found != hashes.end() && found->second == hash) << "now: " << frameHashLine(c.name, hash);
    }
}

}  // namespace
}  // namespace glimmer
