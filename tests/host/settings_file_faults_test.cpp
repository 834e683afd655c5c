// What the file system can do to a settings file: sizes one byte off,
// directories, files the user may not read, files removed after they were
// chosen, folders that do not exist or may not be written. Each gives its
// message, and neither the record nor the files on disk are damaged.
#include "settings_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace glimmer {
namespace {

namespace fs = std::filesystem;

TransitionSettings patterned(unsigned seed) {
    TransitionSettings s;
    auto* bytes = reinterpret_cast<unsigned char*>(&s);
    for (std::size_t i = 0; i < sizeof s; ++i) bytes[i] = static_cast<unsigned char>(i * 13 + seed);
    return s;
}

bool same(const TransitionSettings& a, const TransitionSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class ScriptedUi : public SettingsFileUi {
public:
    std::string path;
    std::function<void()> afterChoosing = [] {};
    std::vector<std::string> messages;

    bool chooseLoadPath(std::string& p) override { return choose(p); }
    bool chooseSavePath(std::string& p) override { return choose(p); }
    void showMessage(const char* text) override { messages.emplace_back(text); }

private:
    bool choose(std::string& p) {
        p = path;
        afterChoosing();
        return true;
    }
};

// Runs `body` in a child process as an unprivileged user, where file
// permissions apply even when the tests run as root. Answers its exit code.
int asUnprivilegedUser(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

class SettingsFileFaults : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("glimmer-faults-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::permissions(dir_, fs::perms::all);  // reachable by the unprivileged child
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::all);
        fs::remove_all(dir_);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& file, const std::string& bytes) const {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    std::string goodFile(const TransitionSettings& s) const {
        return std::string(settingsFileHeader, settingsFileHeaderSize) +
               std::string(reinterpret_cast<const char*>(&s), sizeof s);
    }
    std::string contents(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    fs::path dir_;
};

TEST_F(SettingsFileFaults, SizesAroundTheRecord) {
    const TransitionSettings onDisk = patterned(1), before = patterned(2);
    const std::string good = goodFile(onDisk);

    write(path("455.qvx"), good.substr(0, 455));
    TransitionSettings s = before;
    EXPECT_EQ(readSettingsFile(path("455.qvx"), s), SettingsFileStatus::readError);
    EXPECT_TRUE(same(s, before));

    write(path("457.qvx"), good + "X");
    EXPECT_EQ(readSettingsFile(path("457.qvx"), s), SettingsFileStatus::ok);
    EXPECT_TRUE(same(s, onDisk));
}

TEST_F(SettingsFileFaults, ADirectoryIsNoSettingsFile) {
    fs::create_directory(path("folder.qvx"));
    TransitionSettings s = patterned(3);
    ScriptedUi ui;
    ui.path = path("folder.qvx");
    EXPECT_FALSE(loadSettings(s, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0] == messageReadError || ui.messages[0] == messageOpenError) << ui.messages[0];
    EXPECT_TRUE(same(s, patterned(3)));

    // Saving onto a directory fails too and leaves it a directory.
    saveSettings(s, ui);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1], messageOpenError);
    EXPECT_TRUE(fs::is_directory(path("folder.qvx")));
}

TEST_F(SettingsFileFaults, AFileRemovedAfterItWasChosen) {
    write(path("gone.qvx"), goodFile(patterned(4)));
    ScriptedUi ui;
    ui.path = path("gone.qvx");
    ui.afterChoosing = [&] { fs::remove(ui.path); };
    TransitionSettings s = patterned(5);
    EXPECT_FALSE(loadSettings(s, ui));
    EXPECT_EQ(ui.messages, std::vector<std::string>{messageOpenError});
    EXPECT_TRUE(same(s, patterned(5)));
}

TEST_F(SettingsFileFaults, SavingWhereNoFolderIs) {
    ScriptedUi ui;
    ui.path = path("no/such/folder/s.qvx");
    saveSettings(patterned(6), ui);
    EXPECT_EQ(ui.messages, std::vector<std::string>{messageOpenError});
    EXPECT_FALSE(fs::exists(path("no")));
}

TEST_F(SettingsFileFaults, PermissionsAreHonoured) {
    const std::string secret = path("secret.qvx");
    write(secret, goodFile(patterned(7)));
    fs::permissions(secret, fs::perms::owner_write);
    const int unreadable = asUnprivilegedUser([&] {
        TransitionSettings s = patterned(8);
        return readSettingsFile(secret, s) == SettingsFileStatus::openError && same(s, patterned(8)) ? 0 : 1;
    });
    EXPECT_EQ(unreadable, 0);

    // A read-only folder: the save fails, and the good file already there
    // stays as it was, with no temporary left beside it.
    const std::string kept = path("kept.qvx");
    write(kept, goodFile(patterned(9)));
    fs::permissions(kept, fs::perms::all);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                              fs::perms::others_exec | fs::perms::group_read | fs::perms::group_exec);
    const int readOnly = asUnprivilegedUser([&] {
        return writeSettingsFile(kept, patterned(10)) == SettingsFileStatus::openError ? 0 : 1;
    });
    fs::permissions(dir_, fs::perms::all);
    EXPECT_EQ(readOnly, 0);
    EXPECT_EQ(contents(kept), goodFile(patterned(9)));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace glimmer
