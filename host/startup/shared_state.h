// Process-wide values of the start-up module (Numerabo_B): the music
// settings that LoadSettings fills, the pointer's display count kept by
// saver mode, and the settings dialog's zoom origin. They live as long as the
// process; only the owners named beside each value write them.
#pragma once

#include <cstdint>
#include <string>

namespace numerabo {

// Written by LoadSettings and by the settings dialog; read by the saver
// screen and the music player.
extern int16_t BgmKind;    // 0 none, 1 music CD, 2 MP3 or WAV file; others play nothing
extern int16_t BgmRepeat;  // CD track to keep playing, 0 = play the disc on
extern std::string BgmFile;    // Shift-JIS path of the music file, or empty
extern std::wstring BgmFolder;  // where the file chooser starts (a platform path)

// Written by Main in saver mode, read by the saver screen at exit.
extern int32_t CursorShowCount;

// Written by the settings dialog's load handler, read by ZoomOpen/ZoomClose.
extern int16_t ZoomOriginX;
extern int16_t ZoomOriginY;

}  // namespace numerabo
