// The host program's entry: start-up, then the message loop for as long as
// one of its windows lives.
#include <windows.h>

#include "host/startup/framework/framework.h"
#include "host/startup/main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  numerabo::Main();
  numerabo::app::RunMessageLoop();
  return 0;
}
