// Numerabo_S, the hidden saver screen: creating it captures the desktop,
// starts the renderer and the music; its timers end the host once the
// renderer has gone.
#pragma once

namespace numerabo {

void CreateSaverScreen();

}  // namespace numerabo
