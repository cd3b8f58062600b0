#include "host/saver/real_pixels.h"

namespace numerabo {
namespace {

// SetThreadDpiAwarenessContext takes and returns an awareness context, a
// handle-sized value; per-monitor awareness is the context -3. Looked up at
// run time, since older systems lack the call.
using SetContextCall = HANDLE(WINAPI*)(HANDLE);
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

SetContextCall SetContext() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<SetContextCall>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
}

}  // namespace

RealPixelsScope::RealPixelsScope() {
  if (SetContextCall set = SetContext()) previous_ = set(kPerMonitorAware);
}

RealPixelsScope::~RealPixelsScope() {
  // A failed switch returned no previous context: nothing to give back.
  if (!previous_) return;
  if (SetContextCall set = SetContext()) set(previous_);
}

SIZE ScreenSizeInRealPixels() {
  RealPixelsScope real;
  SIZE size = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return size;
}

}  // namespace numerabo
