// What the tests' in-process servers share: a class factory that makes one
// kind of object, and the export the platform asks for it.
#pragma once

#include <windows.h>
#include <unknwn.h>

// The factory lives as long as the DLL, so it counts no references. T is
// made with one reference, handed out through its own QueryInterface.
template <typename T>
class ClassFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    T* object = new T();
    const HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// DllGetClassObject's answer for a server of the one class served.
template <typename T>
HRESULT ServeClass(REFCLSID asked, REFCLSID served, REFIID iid, void** out) {
  static ClassFactory<T> factory;
  if (!IsEqualCLSID(asked, served)) {
    *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return factory.QueryInterface(iid, out);
}
