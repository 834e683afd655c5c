// Opens the settings dialog for a running setup.
#pragma once

namespace glimmer {

// Runs the settings dialog modally, owned by the last active pop-up of the
// host's main window. True when the user left it with OK; every other end
// (Cancel, Esc, the close box, a dialog that could not be created) is false.
// activeSettingsDialog is null again afterwards.
bool launchSettingsDialog();

}  // namespace glimmer
