#include "settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace glimmer {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// A record in which every one of the 424 bytes differs from its neighbours,
// the reserved ones included.
TransitionSettings distinctRecord(unsigned seed) {
    TransitionSettings s;
    auto* bytes = reinterpret_cast<unsigned char*>(&s);
    for (std::size_t i = 0; i < sizeof s; ++i) bytes[i] = static_cast<unsigned char>(i * 37 + seed);
    return s;
}

Bytes bytesOf(const TransitionSettings& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(&s);
    return Bytes(p, p + sizeof s);
}

Bytes header() { return Bytes(settingsFileHeader, settingsFileHeader + settingsFileHeaderSize); }

// `head`, then the first `count` bytes of `tail`.
Bytes joined(const Bytes& head, const Bytes& tail, std::size_t count) {
    Bytes file(head.size() + count);
    std::copy(head.begin(), head.end(), file.begin());
    std::copy_n(tail.begin(), count, file.begin() + static_cast<std::ptrdiff_t>(head.size()));
    return file;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("glimmer-settings-") + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }
    void writeBytes(const std::string& file, const Bytes& bytes) const {
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }
    Bytes readBytes(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        return names;
    }

    fs::path dir_;
};

TEST_F(SettingsFileTest, FileIsHeaderZeroByteThenTheRecord) {
    const TransitionSettings s = distinctRecord(5);
    ASSERT_EQ(writeSettingsFile(path("a.qvx"), s), SettingsFileStatus::ok);
    const Bytes file = readBytes(path("a.qvx"));
    ASSERT_EQ(file.size(), 456u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 32), header());
    EXPECT_EQ(file[31], 0);
    EXPECT_EQ(Bytes(file.begin() + 32, file.end()), bytesOf(s));
    EXPECT_EQ(entries(), std::vector<std::string>{"a.qvx"});  // no temporary left behind
}

TEST_F(SettingsFileTest, RoundTripRestoresAll424Bytes) {
    const TransitionSettings saved = distinctRecord(11);
    ASSERT_EQ(writeSettingsFile(path("a.qvx"), saved), SettingsFileStatus::ok);
    TransitionSettings loaded = distinctRecord(200);
    ASSERT_EQ(readSettingsFile(path("a.qvx"), loaded), SettingsFileStatus::ok);
    EXPECT_EQ(bytesOf(loaded), bytesOf(saved));

    // Saving again over the file replaces it completely.
    const TransitionSettings second = defaultSettings();
    ASSERT_EQ(writeSettingsFile(path("a.qvx"), second), SettingsFileStatus::ok);
    ASSERT_EQ(readSettingsFile(path("a.qvx"), loaded), SettingsFileStatus::ok);
    EXPECT_EQ(bytesOf(loaded), bytesOf(second));
}

TEST_F(SettingsFileTest, BytesAfterTheRecordAreNeverRead) {
    const TransitionSettings s = distinctRecord(3);
    const Bytes record = bytesOf(s);
    Bytes file = joined(header(), record, record.size());
    file.resize(file.size() + 100, 0xEE);
    writeBytes(path("long.qvx"), file);
    TransitionSettings loaded = defaultSettings();
    ASSERT_EQ(readSettingsFile(path("long.qvx"), loaded), SettingsFileStatus::ok);
    EXPECT_EQ(bytesOf(loaded), record);
}

// Every refused file leaves the settings exactly as they were.
TEST_F(SettingsFileTest, RefusedFilesLeaveTheSettingsUnchanged) {
    const Bytes fullHeader = header();
    Bytes nonzeroByte31 = fullHeader;
    nonzeroByte31[31] = '!';
    Bytes otherText = header();
    otherText[0] = 'g';
    const Bytes record = bytesOf(distinctRecord(9));
    auto validHeaderThen = [&](std::size_t recordBytes) { return joined(fullHeader, record, recordBytes); };
    auto withRecord = [&](const Bytes& head) { return joined(head, record, record.size()); };
    const struct {
        const char* what;
        Bytes file;
        SettingsFileStatus expected;
    } cases[] = {
        {"empty file", {}, SettingsFileStatus::readError},
        {"31 header bytes", Bytes(fullHeader.begin(), fullHeader.begin() + 31), SettingsFileStatus::readError},
        {"nonzero byte 31", withRecord(nonzeroByte31), SettingsFileStatus::notOurs},
        {"other header text", withRecord(otherText), SettingsFileStatus::notOurs},
        {"header only", validHeaderThen(0), SettingsFileStatus::readError},
        {"header and 100 bytes", validHeaderThen(100), SettingsFileStatus::readError},
        {"one byte short", validHeaderThen(423), SettingsFileStatus::readError},
    };
    const TransitionSettings before = distinctRecord(77);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(path("bad.qvx"), c.file);
        TransitionSettings s = before;
        EXPECT_EQ(readSettingsFile(path("bad.qvx"), s), c.expected);
        EXPECT_EQ(bytesOf(s), bytesOf(before));
    }
    TransitionSettings s = before;
    EXPECT_EQ(readSettingsFile(path("missing.qvx"), s), SettingsFileStatus::openError);
    EXPECT_EQ(bytesOf(s), bytesOf(before));
}

TEST(SettingsFileMessages, EachFailureHasItsFixedText) {
    EXPECT_EQ(settingsFileMessage(SettingsFileStatus::ok), nullptr);
    EXPECT_STREQ(settingsFileMessage(SettingsFileStatus::openError), "Error opening file!");
    EXPECT_STREQ(settingsFileMessage(SettingsFileStatus::readError), "Error reading file!");
    EXPECT_STREQ(settingsFileMessage(SettingsFileStatus::writeError), "Error writing file!");
    EXPECT_STREQ(settingsFileMessage(SettingsFileStatus::notOurs), "Not a Scatterweave file!");
}

// The dialog's side of the file: a chosen path (or a cancelled choice) and
// the message boxes it would show.
class FakeUi : public SettingsFileUi {
public:
    explicit FakeUi(std::string chosen, bool cancels = false) : chosen_(std::move(chosen)), cancels_(cancels) {}
    bool chooseLoadPath(std::string& path) override { return choose(path); }
    bool chooseSavePath(std::string& path) override { return choose(path); }
    void showMessage(const char* text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
    int choices = 0;

private:
    bool choose(std::string& path) {
        ++choices;
        if (cancels_) return false;
        path = chosen_;
        return true;
    }
    std::string chosen_;
    bool cancels_;
};

using Messages = std::vector<std::string>;

TEST_F(SettingsFileTest, LoadAndSaveThroughTheDialogSeam) {
    const TransitionSettings edited = distinctRecord(21);
    FakeUi saveUi(path("s.qvx"));
    saveSettings(edited, saveUi);
    EXPECT_EQ(saveUi.messages, Messages{});

    TransitionSettings working = defaultSettings();
    FakeUi loadUi(path("s.qvx"));
    EXPECT_TRUE(loadSettings(working, loadUi));
    EXPECT_EQ(loadUi.messages, Messages{});
    EXPECT_EQ(bytesOf(working), bytesOf(edited));

    FakeUi cancelled("", true);
    TransitionSettings untouched = defaultSettings();
    EXPECT_FALSE(loadSettings(untouched, cancelled));
    saveSettings(untouched, cancelled);
    EXPECT_EQ(cancelled.choices, 2);
    EXPECT_EQ(cancelled.messages, Messages{});
    EXPECT_EQ(bytesOf(untouched), bytesOf(defaultSettings()));
    EXPECT_EQ(entries(), std::vector<std::string>{"s.qvx"});
}

TEST_F(SettingsFileTest, LoadFailuresShowTheirMessageAndAnswerNo) {
    Bytes shortFile = header();
    shortFile.resize(32 + 10, 1);
    writeBytes(path("short.qvx"), shortFile);
    Bytes foreign = header();
    foreign[31] = 1;
    foreign.resize(456, 0);
    writeBytes(path("foreign.qvx"), foreign);
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"missing.qvx", "Error opening file!"},
        {"short.qvx", "Error reading file!"},
        {"foreign.qvx", "Not a Scatterweave file!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const TransitionSettings before = distinctRecord(4);
        TransitionSettings working = before;
        FakeUi ui(path(c.file));
        EXPECT_FALSE(loadSettings(working, ui));
        EXPECT_EQ(ui.messages, Messages{c.message});
        EXPECT_EQ(bytesOf(working), bytesOf(before));
    }
}

TEST_F(SettingsFileTest, SaveThatCannotOpenSaysSo) {
    FakeUi ui(path("no-such-folder/s.qvx"));
    saveSettings(defaultSettings(), ui);
    EXPECT_EQ(ui.messages, Messages{"Error opening file!"});
    EXPECT_TRUE(entries().empty());
}

#ifndef _WIN32
TEST_F(SettingsFileTest, SaveOnAFullDeviceSaysWritingFailed) {
    FakeUi ui("/dev/full");
    saveSettings(defaultSettings(), ui);
    EXPECT_EQ(ui.messages, Messages{"Error writing file!"});
}

// A write that fails after the file opened (here the process may not grow
// a file past 100 bytes) must not cost the user the good file already there.
TEST_F(SettingsFileTest, FailedSaveLeavesTheExistingFileIntact) {
    const TransitionSettings good = distinctRecord(60);
    ASSERT_EQ(writeSettingsFile(path("s.qvx"), good), SettingsFileStatus::ok);
    const Bytes before = readBytes(path("s.qvx"));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    FakeUi ui(path("s.qvx"));
    saveSettings(distinctRecord(61), ui);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ui.messages, Messages{"Error writing file!"});
    EXPECT_EQ(readBytes(path("s.qvx")), before);
    EXPECT_EQ(entries(), std::vector<std::string>{"s.qvx"});
}
#endif

}  // namespace
}  // namespace glimmer
