// Small helpers for the platform's COM objects the stand-in asks.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace numerabo {

// Releases a COM object once and forgets it.
template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// COM for this thread while it lives, where it was not already there.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

}  // namespace numerabo
