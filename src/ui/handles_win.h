// Owning handles of the window layer, one move-only type per kind: each closes its handle the
// one way that kind is closed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace swo {

template <class THandle, auto Close>
class TUniqueHandle {
 public:
  TUniqueHandle() = default;
  // Takes over a handle the caller owns.
  explicit TUniqueHandle(THandle Owned) noexcept : FHandle(Owned) {}
  TUniqueHandle(TUniqueHandle&& Other) noexcept : FHandle(std::exchange(Other.FHandle, THandle{})) {}
  TUniqueHandle& operator=(TUniqueHandle&& Other) noexcept {
    if (this != &Other) reset(std::exchange(Other.FHandle, THandle{}));
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  ~TUniqueHandle() { reset(); }

  THandle get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != THandle{}; }
  // Closes what it held and takes Owned.
  void reset(THandle Owned = THandle{}) noexcept {
    THandle Old = std::exchange(FHandle, Owned);
    if (Old != THandle{}) Close(Old);
  }
  // Gives the handle up without closing it.
  THandle release() noexcept { return std::exchange(FHandle, THandle{}); }

 private:
  THandle FHandle{};
};

namespace detail {
inline void CloseGdiObject(HGDIOBJ Object) noexcept { DeleteObject(Object); }
inline void CloseIcon(HICON Icon) noexcept { DestroyIcon(Icon); }
inline void CloseImageList(HIMAGELIST List) noexcept { ImageList_Destroy(List); }
inline void CloseWindow(HWND Window) noexcept { DestroyWindow(Window); }
inline void CloseActCtx(HANDLE Context) noexcept { ReleaseActCtx(Context); }
}  // namespace detail

using TUniqueFont = TUniqueHandle<HFONT, detail::CloseGdiObject>;
using TUniqueBrush = TUniqueHandle<HBRUSH, detail::CloseGdiObject>;
using TUniqueGdiBitmap = TUniqueHandle<HBITMAP, detail::CloseGdiObject>;
using TUniqueIcon = TUniqueHandle<HICON, detail::CloseIcon>;
using TUniqueImageList = TUniqueHandle<HIMAGELIST, detail::CloseImageList>;
using TUniqueWindow = TUniqueHandle<HWND, detail::CloseWindow>;
// An activation context; INVALID_HANDLE_VALUE is what CreateActCtx returns on failure, so the
// owner keeps a null handle instead.
using TUniqueActCtx = TUniqueHandle<HANDLE, detail::CloseActCtx>;

}  // namespace swo
