// IUnknown, GUID and HRESULT: the real ones on Windows, layout-compatible stand-ins elsewhere,
// so that reference-counted objects and their tests build on both sides.
#pragma once

#ifdef _WIN32
#include <unknwn.h>
#else
#include <cstdint>
#include <cstring>

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using HRESULT = int32_t;
using ULONG = uint32_t;

#ifndef STDMETHODCALLTYPE
#define STDMETHODCALLTYPE
#endif

// IUnknown's vtable in the order COM defines it.
struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

 protected:
  ~IUnknown() = default;
};

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000,
                                     {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

inline bool IsEqualGUID(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
#endif
