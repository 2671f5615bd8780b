// TbrvResult: a 32-bit result code with the HRESULT convention (negative means failure),
// the named codes this system uses, and the conversion of operating-system error codes.
#pragma once

#include <cstdint>

namespace brv {

using TbrvResult = int32_t;

// Windows' own names for these codes stay macros in Windows translation units; these constants
// carry the same values under names that no Windows header defines.
inline constexpr TbrvResult kS_OK = 0x00000000;
inline constexpr TbrvResult kS_FALSE = 0x00000001;
inline constexpr TbrvResult kE_NOTIMPL = static_cast<TbrvResult>(0x80004001);
inline constexpr TbrvResult kE_NOINTERFACE = static_cast<TbrvResult>(0x80004002);
inline constexpr TbrvResult kE_POINTER = static_cast<TbrvResult>(0x80004003);
inline constexpr TbrvResult kE_ABORT = static_cast<TbrvResult>(0x80004004);
inline constexpr TbrvResult kE_FAIL = static_cast<TbrvResult>(0x80004005);
inline constexpr TbrvResult kE_UNEXPECTED = static_cast<TbrvResult>(0x8000FFFF);
inline constexpr TbrvResult kE_OUTOFMEMORY = static_cast<TbrvResult>(0x8007000E);
inline constexpr TbrvResult kE_INVALIDARG = static_cast<TbrvResult>(0x80070057);
inline constexpr TbrvResult kCLASS_E_CLASSNOTAVAILABLE = static_cast<TbrvResult>(0x80040111);
// A silent abort that crossed a COM boundary: E_ABORT with the customer bit added.
inline constexpr TbrvResult kAbortCode = static_cast<TbrvResult>(0xA0004004);

// An operating-system error code (GetLastError's kind), kept apart from TbrvResult so that
// the two Check forms cannot be confused by an integer literal.
struct TbrvOsError {
  uint32_t Code;
};

// 0 stays 0; any other code becomes (code and 0xFFFF) or 0x80070000.
constexpr TbrvResult ResultFromOsError(uint32_t Code) {
  return Code == 0 ? 0 : static_cast<TbrvResult>((Code & 0xFFFFu) | 0x80070000u);
}

}  // namespace brv
