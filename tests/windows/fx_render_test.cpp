// Rendering through the built Fx.prm: the same pixels as the engine, the
// temporary settings of a host without any, and the flag that tells a
// running setup about renders elsewhere.
#include "frame_cases.h"
#include "frame_setup.h"
#include "host_row_bytes.h"
#include "plugin_fixture.h"

namespace glimmer::testing {
namespace {

using Bytes = std::vector<unsigned char>;
using Ordinals = std::vector<int32_t>;

class RenderTest : public PluginTest {};

// The session's frames filled with a case's pictures.
std::unique_ptr<EffectSession> sessionFor(const FrameCase& c) {
    auto session = std::make_unique<EffectSession>(c.width, c.rows, c.rowBytesFlags);
    session->imageA().pixels() = casePicture(c, imageATag);
    session->imageB().pixels() = casePicture(c, imageBTag);
    session->destination().pixels() = casePicture(c, destinationTag);
    for (HostFrame* f : {&session->imageA(), &session->imageB(), &session->destination()})
        f->record().pixels = f->pixels().data();
    session->record().position = c.position;
    session->record().total = c.total;
    session->record().renderFlags = c.renderFlags;
    return session;
}

std::vector<uint32_t> engineFrame(const FrameCase& c) {
    const auto a = casePicture(c, imageATag);
    const auto b = casePicture(c, imageBTag);
    auto d = casePicture(c, destinationTag);
    runFrameSetup({a.data(), b.data(), d.data(), c.rows, hostRowBytes(c.width * 4 | c.rowBytesFlags), c.position, c.total,
                   (c.renderFlags & 0x300) != 0},
                  c.hostHasSettings ? c.settings : defaultSettings());
    return d;
}

// Fx-baseline.prm is the same plug-in held to the kernels that a PC
// without AVX2 runs; Fx.prm runs the AVX2 ones where the processor has them.
TEST_F(RenderTest, FramesAreTheEnginesByteForByte) {
    const auto hashes = readFrameHashes(GLIMMER_FRAME_HASHES_FILE);
    ASSERT_EQ(hashes.size(), frameCases().size()) << GLIMMER_FRAME_HASHES_FILE;
    const PluginLibrary baseline("Fx-baseline.prm");
    ASSERT_TRUE(baseline.loaded()) << "Fx-baseline.prm or its xEffect not found";
    const PluginLibrary* libraries[] = {&plugin(), &baseline};
    for (const PluginLibrary* library : libraries)
        for (const FrameCase& c : frameCases()) {
            SCOPED_TRACE(::testing::Message() << c.name << (library == &baseline ? " (baseline kernels)" : ""));
            auto session = sessionFor(c);
            if (c.hostHasSettings) session->record().settingsHandle = hostBlock(c.settings);
            const Bytes record = recordBlockBytes(*session);
            EXPECT_EQ(library->call(0, session->handle()), 0);
            const std::vector<uint32_t>& frame = session->destination().pixels();
            EXPECT_TRUE(frame == engineFrame(c));
            EXPECT_EQ(frameHashLine(c.name, frameHash(frame)), frameHashLine(c.name, hashes.at(c.name)));
            EXPECT_EQ(recordBlockBytes(*session), record);
            if (c.hostHasSettings) {
                EXPECT_EQ(bytesOf(**session->record().settingsHandle), bytesOf(c.settings));
            }
        }
}

TEST_F(RenderTest, WithoutSettingsATemporaryBlockServesOneFrame) {
    const FrameCase c = frameCases()[2];
    ASSERT_FALSE(c.hostHasSettings);
    auto session = sessionFor(c);
    EXPECT_EQ(call(0, session->handle()), 0);
    EXPECT_EQ(session->record().settingsHandle, nullptr);
    EXPECT_TRUE(session->destination().pixels() == engineFrame(c));
    const auto log = calls();
    ASSERT_EQ(ordinals(), (Ordinals{379, 107}));
    EXPECT_EQ(log[0].bytes, 424);
    EXPECT_EQ(log[1].handle, log[0].handle);
    EXPECT_EQ(preminfoStandinLiveBlocks(), liveBlocksAtStart_);
}

// Mend: when the host's allocator gives nothing, the frame is the same.
TEST_F(RenderTest, WithoutABlockFromTheHostThePictureIsTheSame) {
    const FrameCase c = frameCases()[2];
    for (int32_t mode : {preminfoGivesNoHandle, preminfoGivesEmptyHandle}) {
        SCOPED_TRACE(mode);
        preminfoStandinClearLog();
        preminfoStandinSetAllocation(mode);
        auto session = sessionFor(c);
        EXPECT_EQ(call(0, session->handle()), 0);
        EXPECT_EQ(session->record().settingsHandle, nullptr);
        EXPECT_TRUE(session->destination().pixels() == engineFrame(c));
        EXPECT_EQ(preminfoStandinLiveBlocks(), liveBlocksAtStart_);
        const Ordinals expected = mode == preminfoGivesNoHandle ? Ordinals{379} : Ordinals{379, 107};
        EXPECT_EQ(ordinals(), expected);
    }
}

// Outside a setup the remembered right edge is 0: any render for a frame
// whose right edge is not 0 raises the flag.
TEST_F(RenderTest, OutsideSetupEveryFrameWithARightEdgeRaisesTheFlag) {
    ASSERT_EQ(*globals().setupDestRight, 0);
    auto session = sessionFor(frameCases()[0]);
    HostFrameRecord& d = session->destination().record();
    d.bounds[0] = -d.bounds[2];
    d.bounds[2] = 0;
    *globals().externalRenderFlag = 0;
    EXPECT_EQ(call(0, session->handle()), 0);
    EXPECT_EQ(*globals().externalRenderFlag, 0);
    d.bounds[2] = 1;
    EXPECT_EQ(call(0, session->handle()), 0);
    EXPECT_EQ(*globals().externalRenderFlag, 1);
}

}  // namespace
}  // namespace glimmer::testing
