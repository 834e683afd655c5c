#include "settings_file.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace glimmer {
namespace {

struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file != nullptr) std::fclose(file);
    }
};

bool replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

std::string temporaryPathFor(const std::string& path) {
#ifdef _WIN32
    const unsigned long id = GetCurrentProcessId();
#else
    const unsigned long id = static_cast<unsigned long>(getpid());
#endif
    return path + ".tmp" + std::to_string(id);
}

// A device or a pipe cannot be replaced by a renamed file (and must not be:
// renaming over /dev/full as root would remove the device). Such targets
// are written in place.
bool isSpecialFile(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return false;
#else
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
#endif
}

bool writeRecord(std::FILE* out, const TransitionSettings& settings) {
    bool written = std::fwrite(settingsFileHeader, 1, settingsFileHeaderSize, out) == settingsFileHeaderSize &&
                   std::fwrite(&settings, 1, sizeof settings, out) == sizeof settings;
    written = std::fflush(out) == 0 && written;
    return std::fclose(out) == 0 && written;
}

}  // namespace

const char* settingsFileMessage(SettingsFileStatus status) {
    switch (status) {
    case SettingsFileStatus::ok: return nullptr;
    case SettingsFileStatus::openError: return messageOpenError;
    case SettingsFileStatus::readError: return messageReadError;
    case SettingsFileStatus::notOurs: return messageNotOurs;
    case SettingsFileStatus::writeError: return messageWriteError;
    }
    return nullptr;
}

SettingsFileStatus readSettingsFile(const std::string& path, TransitionSettings& settings) {
    FileCloser in{std::fopen(path.c_str(), "rb")};
    if (in.file == nullptr) return SettingsFileStatus::openError;
    char header[settingsFileHeaderSize];
    if (std::fread(header, 1, sizeof header, in.file) != sizeof header) return SettingsFileStatus::readError;
    // The header compares as zero-terminated text: its 31 characters, then
    // the zero byte.
    if (std::memcmp(header, settingsFileHeader, sizeof header) != 0) return SettingsFileStatus::notOurs;
    TransitionSettings loaded;
    if (std::fread(&loaded, 1, sizeof loaded, in.file) != sizeof loaded) return SettingsFileStatus::readError;
    std::memcpy(&settings, &loaded, sizeof loaded);
    return SettingsFileStatus::ok;
}

SettingsFileStatus writeSettingsFile(const std::string& path, const TransitionSettings& settings) {
    if (isSpecialFile(path)) {
        std::FILE* device = std::fopen(path.c_str(), "wb");
        if (device == nullptr) return SettingsFileStatus::openError;
        return writeRecord(device, settings) ? SettingsFileStatus::ok : SettingsFileStatus::writeError;
    }
    const std::string temporary = temporaryPathFor(path);
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (out == nullptr) return SettingsFileStatus::openError;
    if (!writeRecord(out, settings)) {
        std::remove(temporary.c_str());
        return SettingsFileStatus::writeError;
    }
    if (!replaceFile(temporary, path)) {
        std::remove(temporary.c_str());
        return SettingsFileStatus::openError;
    }
    return SettingsFileStatus::ok;
}

bool loadSettings(TransitionSettings& working, SettingsFileUi& ui) {
    std::string path;
    if (!ui.chooseLoadPath(path)) return false;
    const SettingsFileStatus status = readSettingsFile(path, working);
    if (status != SettingsFileStatus::ok) {
        ui.showMessage(settingsFileMessage(status));
        return false;
    }
    return true;
}

void saveSettings(const TransitionSettings& working, SettingsFileUi& ui) {
    std::string path;
    if (!ui.chooseSavePath(path)) return;
    const SettingsFileStatus status = writeSettingsFile(path, working);
    if (status != SettingsFileStatus::ok) ui.showMessage(settingsFileMessage(status));
}

}  // namespace glimmer
