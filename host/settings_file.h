// Settings files: a 32-byte header, then the 424-byte record as it is held
// in memory. 456 bytes, no other variant.
//
// The load and save operations of the settings dialog run through here. The
// choice of a path and the message boxes belong to whoever calls: the dialog
// passes its common file dialogs and message boxes in a SettingsFileUi,
// tests and the command-line renderer pass their own.
#pragma once

#include <cstddef>
#include <string>

#include "transition_settings.h"

namespace glimmer {

constexpr std::size_t settingsFileHeaderSize = 32;
constexpr std::size_t settingsFileSize = settingsFileHeaderSize + transitionSettingsSize;
// 31 characters and the terminating zero byte make the 32-byte header.
constexpr char settingsFileHeader[] = "Glimmerscatterweft Setings C1.0";
static_assert(sizeof settingsFileHeader == settingsFileHeaderSize, "header is 31 characters and a zero");

constexpr char messageOpenError[] = "Error opening file!";
constexpr char messageReadError[] = "Error reading file!";
constexpr char messageWriteError[] = "Error writing file!";
constexpr char messageNotOurs[] = "Not a Scatterweave file!";

enum class SettingsFileStatus { ok, openError, readError, notOurs, writeError };

// The fixed message of a failure; null for ok.
const char* settingsFileMessage(SettingsFileStatus status);

// Reads a settings file. `settings` changes only when the answer is ok: a
// file shorter than 456 bytes whose header is valid is a read error.
SettingsFileStatus readSettingsFile(const std::string& path, TransitionSettings& settings);

// Writes a settings file. It goes to a temporary file beside the target
// that replaces the target only once it is complete, so a failed save never
// leaves a truncated file where a good one was.
SettingsFileStatus writeSettingsFile(const std::string& path, const TransitionSettings& settings);

class SettingsFileUi {
public:
    virtual ~SettingsFileUi() = default;
    // Ask the user for a path; false when the user cancels.
    virtual bool chooseLoadPath(std::string& path) = 0;
    virtual bool chooseSavePath(std::string& path) = 0;
    virtual void showMessage(const char* text) = 0;
};

// The dialog's "&Load": answers whether the record was read in.
bool loadSettings(TransitionSettings& working, SettingsFileUi& ui);

// The dialog's "&Save".
void saveSettings(const TransitionSettings& working, SettingsFileUi& ui);

}  // namespace glimmer
