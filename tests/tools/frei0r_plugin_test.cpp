// The built frei0r plug-in, loaded with dlopen as a host loads it: its
// info, every parameter's name, type and round trip, and its pixels.
#include <gtest/gtest.h>

#include <dlfcn.h>

extern "C" {
#include <frei0r.h>
}

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "plan/frame_jobs.h"
#include "inputs/sample_pictures.h"
#include "settings_fields.h"
#include "settings_file.h"
#include "temporary_folder.h"

namespace glimmer::tool {
namespace {

struct Plugin {
    void* library = dlopen(GLIMMERSCATTERWEFT_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    template <typename F>
    F entry(const char* name) {
        return library != nullptr ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
    }
    decltype(&f0r_init) init = entry<decltype(&f0r_init)>("f0r_init");
    decltype(&f0r_get_plugin_info) pluginInfo = entry<decltype(&f0r_get_plugin_info)>("f0r_get_plugin_info");
    decltype(&f0r_get_param_info) paramInfo = entry<decltype(&f0r_get_param_info)>("f0r_get_param_info");
    decltype(&f0r_construct) construct = entry<decltype(&f0r_construct)>("f0r_construct");
    decltype(&f0r_destruct) destruct = entry<decltype(&f0r_destruct)>("f0r_destruct");
    decltype(&f0r_set_param_value) set = entry<decltype(&f0r_set_param_value)>("f0r_set_param_value");
    decltype(&f0r_get_param_value) get = entry<decltype(&f0r_get_param_value)>("f0r_get_param_value");
    decltype(&f0r_update2) update2 = entry<decltype(&f0r_update2)>("f0r_update2");
    decltype(&f0r_deinit) deinit = entry<decltype(&f0r_deinit)>("f0r_deinit");

    Plugin() {
        if (init != nullptr) init();
    }
    ~Plugin() {
        if (deinit != nullptr) deinit();
        if (library != nullptr) dlclose(library);
    }
    double getDouble(f0r_instance_t instance, int index) {
        double value = -1;
        get(instance, &value, index);
        return value;
    }
    void setDouble(f0r_instance_t instance, int index, double value) { set(instance, &value, index); }
    void setString(f0r_instance_t instance, int index, const std::string& value) {
        const char* text = value.c_str();
        set(instance, &text, index);
    }
};

std::vector<const SettingsField*> fieldParameters() {
    std::vector<const SettingsField*> fields;
    for (std::size_t i = 0; i < settingsFieldCount; ++i)
        if (!settingsFields[i].alias) fields.push_back(&settingsFields[i]);
    return fields;
}

double unitOf(const SettingsField& f, int32_t value) { return double(value - f.minimum) / (f.maximum - f.minimum); }

int parameterIndex(const char* name) {
    const std::vector<const SettingsField*> fields = fieldParameters();
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (std::string(fields[i]->name) == name) return static_cast<int>(i + 2);
    return -1;
}

TEST(Frei0rPlugin, ExportsEveryEntryPointAndDescribesAMixer) {
    Plugin p;
    ASSERT_NE(p.library, nullptr) << dlerror();
    for (void* f : {(void*)p.init, (void*)p.pluginInfo, (void*)p.paramInfo, (void*)p.construct, (void*)p.destruct,
                    (void*)p.set, (void*)p.get, (void*)p.update2, (void*)p.deinit})
        ASSERT_NE(f, nullptr);
    EXPECT_EQ(dlsym(p.library, "_ZN7glimmer15defaultSettingsEv"),
              nullptr) << "engine symbols stay inside the plug-in";
    f0r_plugin_info_t info{};
    p.pluginInfo(&info);
    EXPECT_STREQ(info.name, "Glimmerscatterweft");
    EXPECT_STREQ(info.explanation, "Image A dissipates and reveals image B.");
    EXPECT_EQ(info.plugin_type, F0R_PLUGIN_TYPE_MIXER2);
    EXPECT_EQ(info.color_model, F0R_COLOR_MODEL_RGBA8888);
    EXPECT_EQ(info.frei0r_version, FREI0R_MAJOR_VERSION);
    EXPECT_EQ(info.num_params, static_cast<int>(2 + fieldParameters().size()));
}

TEST(Frei0rPlugin, ParametersArePositionSettingsAndEveryField) {
    Plugin p;
    ASSERT_NE(p.library, nullptr) << dlerror();
    f0r_param_info_t info{};
    p.paramInfo(&info, 0);
    EXPECT_STREQ(info.name, "position");
    EXPECT_EQ(info.type, F0R_PARAM_DOUBLE);
    p.paramInfo(&info, 1);
    EXPECT_STREQ(info.name, "settings");
    EXPECT_EQ(info.type, F0R_PARAM_STRING);
    const std::vector<const SettingsField*> fields = fieldParameters();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        p.paramInfo(&info, static_cast<int>(i + 2));
        EXPECT_STREQ(info.name, fields[i]->name);
        EXPECT_EQ(info.type, F0R_PARAM_DOUBLE) << fields[i]->name;
        ASSERT_NE(info.explanation, nullptr);
        EXPECT_NE(std::string(info.explanation).find(std::to_string(fields[i]->maximum)), std::string::npos)
            << "the explanation gives the range: " << info.explanation;
    }
}

TEST(Frei0rPlugin, FieldParametersRoundTripThroughTheirRanges) {
    Plugin p;
    ASSERT_NE(p.library, nullptr) << dlerror();
    f0r_instance_t instance = p.construct(16, 8);
    ASSERT_NE(instance, nullptr);
    const std::vector<const SettingsField*> fields = fieldParameters();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const SettingsField& f = *fields[i];
        const int index = static_cast<int>(i + 2);
        EXPECT_EQ(p.getDouble(instance, index), unitOf(f, f.defaultValue)) << f.name << " starts at its default";
        for (int32_t value : {f.minimum, f.maximum, (f.minimum + f.maximum) / 2, f.minimum + 1}) {
            p.setDouble(instance, index, unitOf(f, value));
            EXPECT_EQ(p.getDouble(instance, index), unitOf(f, value)) << f.name << " = " << value;
        }
        p.setDouble(instance, index, -3.0);
        EXPECT_EQ(p.getDouble(instance, index), 0.0) << f.name;
        p.setDouble(instance, index, 7.0);
        EXPECT_EQ(p.getDouble(instance, index), 1.0) << f.name;
        p.setDouble(instance, index, std::nan(""));
        EXPECT_EQ(p.getDouble(instance, index), 1.0) << f.name << ": NaN changes nothing";
    }
    p.setDouble(instance, 0, 0.25);
    EXPECT_EQ(p.getDouble(instance, 0), 0.25);
    // A value between two steps lands on the nearest one.
    const int gravity = parameterIndex("gravity");
    p.setDouble(instance, gravity, 100.4 / 255);
    EXPECT_EQ(p.getDouble(instance, gravity), 100.0 / 255);
    p.destruct(instance);
}

TEST(Frei0rPlugin, SettingsFileGivesTheDefaultsOfUnsetFields) {
    Plugin p;
    ASSERT_NE(p.library, nullptr) << dlerror();
    TemporaryFolder folder;
    TransitionSettings s = defaultSettings();
    s.gravity = 200;
    s.wind = 10;
    ASSERT_EQ(writeSettingsFile(folder.path("s.qvx"), s), SettingsFileStatus::ok);
    f0r_instance_t instance = p.construct(16, 8);
    const int gravity = parameterIndex("gravity"), wind = parameterIndex("wind");
    p.setDouble(instance, wind, 1.0);  // set by the host: stays
    p.setString(instance, 1, folder.path("s.qvx"));
    EXPECT_EQ(p.getDouble(instance, gravity), 200.0 / 255);
    EXPECT_EQ(p.getDouble(instance, wind), 1.0);
    char* path = nullptr;
    p.get(instance, &path, 1);
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path), folder.path("s.qvx"));
    // A file that does not load leaves the defaults of the record, and says so;
    // "0", Kdenlive's word for no file, says nothing.
    for (const std::string& unread : {folder.path("missing.qvx"), std::string("0")}) {
        p.setString(instance, 1, folder.path("s.qvx"));
        testing::internal::CaptureStderr();
        p.setString(instance, 1, unread);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(p.getDouble(instance, gravity), 0.0) << unread;
        EXPECT_EQ(said.empty(), unread == "0") << said;
    }
    p.destruct(instance);
}

// frei0r rows run top first; the engine's bottom first.
std::vector<uint32_t> topFirst(const Picture& picture) {
    std::vector<uint32_t> rows;
    for (int32_t r = picture.rows - 1; r >= 0; --r) rows.insert(rows.end(), picture.row(r), picture.row(r) + picture.width);
    return rows;
}

TEST(Frei0rPlugin, FramesMatchTheEngineAtTheMappedPosition) {
    Plugin p;
    ASSERT_NE(p.library, nullptr) << dlerror();
    const Picture a = makeSunsetPicture(48, 27), b = makeMosaicPicture(48, 27);
    const std::vector<uint32_t> inA = topFirst(a), inB = topFirst(b);
    TransitionSettings settings = defaultSettings();
    settings.gravity = 90;
    settings.cellWidth = 3;

    // Two instances with different settings, run at the same time on two
    // threads, must each give what the engine gives alone.
    struct Run {
        double progress;
        int32_t position;
        bool gravity;
        std::vector<uint32_t> output;
    };
    std::vector<Run> runs = {{0.5, 500, true, {}}, {0.3, 300, false, {}}};
    std::vector<std::thread> threads;
    for (Run& run : runs)
        threads.emplace_back([&, r = &run] {
            f0r_instance_t instance = p.construct(48, 27);
            if (r->gravity) {
                p.setDouble(instance, parameterIndex("gravity"), 90.0 / 255);
                p.setDouble(instance, parameterIndex("cellWidth"), 2.0 / 4095);
            }
            p.setDouble(instance, 0, r->progress);
            std::vector<uint32_t> out(inA.size());
            for (int repeat = 0; repeat < 20; ++repeat) p.update2(instance, 1.5, inA.data(), inB.data(), nullptr, out.data());
            r->output = out;
            p.destruct(instance);
        });
    for (std::thread& t : threads) t.join();

    for (const Run& run : runs) {
        const Transition transition{&a, &b, run.gravity ? settings : defaultSettings(), 1000};
        Picture expected(48, 27);
        renderTransitionFrame(transition, run.position, expected);
        EXPECT_EQ(run.output, topFirst(expected)) << "progress " << run.progress;
        EXPECT_NE(run.output, inA);
        EXPECT_NE(run.output, inB);
    }
}

TEST(Frei0rPlugin, ProgressZeroIsImageAAndOneIsImageB) {
    Plugin p;
    ASSERT_NE(p.library, nullptr) << dlerror();
    const Picture a = makeSunsetPicture(40, 24), b = makeMosaicPicture(40, 24);
    const std::vector<uint32_t> inA = topFirst(a), inB = topFirst(b);
    f0r_instance_t instance = p.construct(40, 24);
    std::vector<uint32_t> out(inA.size());
    p.setDouble(instance, 0, 0.0);
    p.update2(instance, 0, inA.data(), inB.data(), nullptr, out.data());
    EXPECT_EQ(out, inA);
    p.setDouble(instance, 0, 1.0);
    p.update2(instance, 0, inA.data(), inB.data(), nullptr, out.data());
    EXPECT_EQ(out, inB);
    p.destruct(instance);
}

}  // namespace
}  // namespace glimmer::tool
