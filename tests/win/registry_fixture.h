// Reading the registry back in the tests, and redirecting a predefined root for one test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "com/registry.h"
#include "platform/wide_win.h"

namespace brv::test {

// A value as stored: its type and raw bytes.
struct TRegValue {
  DWORD Type = REG_NONE;
  std::string Data;

  // The text of a REG_SZ value whose size counts exactly one terminating zero.
  std::optional<std::u16string> Text() const {
    if (Type != REG_SZ || Data.size() < 2 || Data.size() % 2 != 0) return std::nullopt;
    std::u16string text(Data.size() / 2, u'\0');
    memcpy(text.data(), Data.data(), Data.size());
    if (text.back() != u'\0') return std::nullopt;
    text.pop_back();
    return text;
  }
};

inline bool KeyExists(HKEY Root, const std::u16string& Path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(Root, platform::WideCStr(Path), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline std::optional<TRegValue> ReadValue(HKEY Root, const std::u16string& Path, const std::u16string& Name) {
  TRegKey key;
  if (RegOpenKeyExW(Root, platform::WideCStr(Path), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
    return std::nullopt;
  TRegValue value;
  DWORD size = 0;
  const wchar_t* name = Name.empty() ? nullptr : platform::WideCStr(Name);
  if (RegQueryValueExW(key.get(), name, nullptr, &value.Type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.Data.resize(size);
  if (RegQueryValueExW(key.get(), name, nullptr, &value.Type, reinterpret_cast<BYTE*>(value.Data.data()),
                       &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

inline std::optional<std::u16string> ReadText(HKEY Root, const std::u16string& Path,
                                              const std::u16string& Name) {
  const auto value = ReadValue(Root, Path, Name);
  return value ? value->Text() : std::nullopt;
}

// Points a predefined root at a fresh scratch key under HKCU for the scope.
class TRedirectedRoot {
 public:
  TRedirectedRoot(HKEY Root, const wchar_t* ScratchName, DWORD Options) : FRoot(Root), FScratchName(ScratchName) {
    RegDeleteTreeW(HKEY_CURRENT_USER, FScratchName);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, FScratchName, 0, nullptr, Options, KEY_ALL_ACCESS, nullptr,
                              FScratch.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegOverridePredefKey(FRoot, FScratch.get()), ERROR_SUCCESS);
  }
  ~TRedirectedRoot() {
    RegOverridePredefKey(FRoot, nullptr);
    FScratch.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, FScratchName);
  }

 private:
  HKEY FRoot;
  const wchar_t* FScratchName;
  TRegKey FScratch;
};

// A volatile scratch root: non-volatile keys cannot be created under it, so writing there fails
// as it would without the rights.
class TUnwritableRoot : public TRedirectedRoot {
 public:
  TUnwritableRoot(HKEY Root, const wchar_t* ScratchName) : TRedirectedRoot(Root, ScratchName, REG_OPTION_VOLATILE) {}
};

// An empty scratch root, so a test can start from a registry without the keys it creates and
// deletes.
class TScratchRoot : public TRedirectedRoot {
 public:
  TScratchRoot(HKEY Root, const wchar_t* ScratchName) : TRedirectedRoot(Root, ScratchName, REG_OPTION_NON_VOLATILE) {}
};

}  // namespace brv::test
