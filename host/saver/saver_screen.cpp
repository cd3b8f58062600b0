#include "host/saver/saver_screen.h"

namespace numerabo {

// The saver screen is not built yet: saver mode ends at once.
void CreateSaverScreen() {}

}  // namespace numerabo
