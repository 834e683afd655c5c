#include "host_commands.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "clip_frames.h"
#include "effect_session.h"
#include "engine_image.h"
#include "preminfo.h"
#include "preminfo_standin.h"
#include "settings_file.h"

namespace glimmer {
namespace {

constexpr int32_t builtInWidth = 320;
constexpr int32_t builtInRows = 240;
constexpr int32_t defaultSetupTotal = 50;
constexpr uint16_t interleavedFlag = 0x100;

int fail(const std::string& message) {
    std::fprintf(stderr, "glimmer-host: %s\n", message.c_str());
    return 1;
}

// The host's settings block, from the stand-in's allocator like any block
// the host stores.
class HostSettingsBlock {
public:
    ~HostSettingsBlock() {
        if (handle_ != nullptr) preminfoDisposeHandle(reinterpret_cast<void**>(handle_));
    }
    bool load(const std::string& path, std::string& error) {
        TransitionSettings loaded;
        const SettingsFileStatus status = readSettingsFile(path, loaded);
        if (status != SettingsFileStatus::ok) {
            error = path + ": " + settingsFileMessage(status);
            return false;
        }
        handle_ = reinterpret_cast<SettingsHandle>(preminfoNewHandle(static_cast<int32_t>(transitionSettingsSize)));
        if (handle_ == nullptr || *handle_ == nullptr) {
            error = "no memory for the settings";
            return false;
        }
        **handle_ = loaded;
        return true;
    }
    SettingsHandle handle() const { return handle_; }

private:
    SettingsHandle handle_ = nullptr;
};

bool readClips(const CommandOptions& options, EngineImage& a, EngineImage& b, std::string& error) {
    for (auto [name, image] : {std::pair<const char*, EngineImage*>{"a", &a}, {"b", &b}}) {
        if (!readPng(options.text(name), *image)) {
            error = "cannot read the picture \"" + options.text(name) + "\" (--" + name + ")";
            return false;
        }
    }
    if (a.width != b.width || a.rows != b.rows) {
        error = "--a and --b must have the same size";
        return false;
    }
    return true;
}

void printBytes(const char* type, int id, const std::string& bytes) {
    std::printf("%s %d (%u bytes):", type, id, static_cast<unsigned>(bytes.size()));
    for (unsigned char c : bytes) std::printf(" %02x", c);
    std::printf("\n");
}

// The text of a TEXT resource: two zero bytes, then zero-terminated text.
std::string resourceText(const std::string& bytes) {
    return bytes.size() > 2 ? std::string(bytes.c_str() + 2) : std::string();
}

HWND createMainWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "GlimmerHostMainWindow";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "glimmer-host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
}

}  // namespace

int runInfoCommand(const PluginLibrary& plugin) {
    std::printf("name: %s\n", resourceText(plugin.resource("TEXT", 1000)).c_str());
    std::printf("description: %s\n", resourceText(plugin.resource("TEXT", 1001)).c_str());
    const std::pair<const char*, int> resources[] = {{"TYPE", 1000}, {"TEXT", 1000}, {"TEXT", 1001}, {"FOPT", 1000},
                                                     {"FXVS", 1000}, {"FXDF", 5},    {"FXDF", 10}};
    for (const auto& [type, id] : resources) printBytes(type, id, plugin.resource(type, id));
    return 0;
}

int runRenderCommand(const PluginLibrary& plugin, const CommandOptions& options) {
    if (!options.has("a") || !options.has("b") || !options.has("out") || !options.has("position") ||
        !options.has("total"))
        return fail("render needs --a, --b, --position, --total and --out");
    int32_t position = 0;
    int32_t total = 0;
    if (!options.integer("position", 0, position) || !options.integer("total", 0, total))
        return fail("--position and --total take whole numbers");
    EngineImage a;
    EngineImage b;
    std::string error;
    if (!readClips(options, a, b, error)) return fail(error);
    HostSettingsBlock settings;
    if (options.has("settings") && !settings.load(options.text("settings"), error)) return fail(error);

    auto session = std::make_unique<EffectSession>(a.width, a.rows);
    session->imageA().pixels() = a.pixels;
    session->imageB().pixels() = b.pixels;
    session->imageA().record().pixels = session->imageA().pixels().data();
    session->imageB().record().pixels = session->imageB().pixels().data();
    HostEffectRecord& record = session->record();
    record.settingsHandle = settings.handle();
    record.position = position;
    record.total = total;
    record.renderFlags = options.has("interleaved") ? interleavedFlag : 0;
    plugin.call(renderSelectorId, session->handle());
    HostFrame& out = session->destination();
    if (!writePng(options.text("out"), out.pixels().data(), out.width(), out.rows()))
        return fail("cannot write \"" + options.text("out") + "\"");
    return 0;
}

int runSetupCommand(const PluginLibrary& plugin, const CommandOptions& options) {
    int32_t total = 0;
    int32_t frameRate = 0;
    if (!options.integer("total", defaultSetupTotal, total) || !options.integer("rate", 25, frameRate))
        return fail("--total and --rate take whole numbers");
    if (options.has("a") != options.has("b")) return fail("give both --a and --b, or neither");
    EngineImage a;
    EngineImage b;
    std::string error;
    std::unique_ptr<ClipFrames> clips;
    if (options.has("a")) {
        if (!readClips(options, a, b, error)) return fail(error);
        clips = std::make_unique<StillClipFrames>(a, b);
    } else {
        a.width = b.width = builtInWidth;
        a.rows = b.rows = builtInRows;
        clips = std::make_unique<MovingClipFrames>();
    }
    HostSettingsBlock settings;
    if (options.has("settings") && !settings.load(options.text("settings"), error)) return fail(error);

    auto session = std::make_unique<EffectSession>(a.width, a.rows);
    clips->fill(0, 0, session->imageA().record());
    clips->fill(1, 0, session->imageB().record());
    session->serveFramesFrom(clips.get());
    HostEffectRecord& record = session->record();
    record.settingsHandle = settings.handle();
    record.total = total;
    record.frameRate = static_cast<int16_t>(frameRate);

    preminfoStandinSetMainWindow(createMainWindow());
    plugin.call(setupSelectorId, session->handle());

    const SettingsHandle result = record.settingsHandle;
    std::printf("settings: %s\n", result == nullptr ? "none" : result == settings.handle() ? "the host's block"
                                                                                          : "a new block");
    if (options.has("save")) {
        if (result == nullptr || *result == nullptr) return fail("no settings to save");
        const SettingsFileStatus status = writeSettingsFile(options.text("save"), **result);
        if (status != SettingsFileStatus::ok) return fail(options.text("save") + ": " + settingsFileMessage(status));
    }
    // A new block from the setup is now the host's to give back.
    if (result != nullptr && result != settings.handle()) preminfoDisposeHandle(reinterpret_cast<void**>(result));
    return 0;
}

}  // namespace glimmer
