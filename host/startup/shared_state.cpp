#include "host/startup/shared_state.h"

namespace numerabo {

int16_t BgmKind = 0;
int16_t BgmRepeat = 0;
std::string BgmFile;
std::wstring BgmFolder;
int32_t CursorShowCount = 0;
int16_t ZoomOriginX = 0;
int16_t ZoomOriginY = 0;

}  // namespace numerabo
