// The settings file's choices and messages as the dialog shows them: the
// common open and save dialogs, and message boxes over the dialog.
#pragma once

#include <windows.h>

#include "settings_file.h"

constexpr char settingsFileFilter[] = "Glimmerscatterweft Setings (*.qvx)|*.qvx|";
constexpr char settingsFileExtension[] = "qvx";

class SettingsFileDialogs : public glimmer::SettingsFileUi {
public:
    explicit SettingsFileDialogs(HWND owner) : m_owner(owner) {}
    bool chooseLoadPath(std::string& path) override { return choosePath(true, path); }
    bool chooseSavePath(std::string& path) override { return choosePath(false, path); }
    void showMessage(const char* text) override;

private:
    bool choosePath(bool open, std::string& path);

    HWND m_owner;
};
