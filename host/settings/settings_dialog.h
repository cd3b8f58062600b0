// Numerabo_P, the settings dialog, shown modally in settings mode.
#pragma once

namespace numerabo {

// Shows the dialog and returns once it has closed.
void ShowSettingsDialog();

}  // namespace numerabo
