#include "window_shot_win.h"

#include <cstdint>
#include <vector>

#include "foundation/exception.h"
#include "platform/wide_win.h"

namespace standin {
namespace {

using brv::EbrvObject;

// Releases a window's device context.
class TWindowDc {
 public:
  explicit TWindowDc(HWND Window) : FWindow(Window), FDc(GetWindowDC(Window)) {
    EbrvObject::Check(FDc != nullptr);
  }
  ~TWindowDc() { ReleaseDC(FWindow, FDc); }
  TWindowDc(const TWindowDc&) = delete;
  TWindowDc& operator=(const TWindowDc&) = delete;
  HDC get() const { return FDc; }

 private:
  HWND FWindow;
  HDC FDc;
};

// A 24-bit bottom-up DIB section selected into a memory DC of its own.
class TPicture {
 public:
  TPicture(HDC Like, SIZE Size) : FDc(CreateCompatibleDC(Like)) {
    EbrvObject::Check(FDc != nullptr);
    FInfo.biSize = sizeof FInfo;
    FInfo.biWidth = Size.cx;
    FInfo.biHeight = Size.cy;
    FInfo.biPlanes = 1;
    FInfo.biBitCount = 24;
    FInfo.biCompression = BI_RGB;
    FInfo.biSizeImage = Stride() * static_cast<DWORD>(Size.cy);
    FBitmap = CreateDIBSection(FDc, reinterpret_cast<const BITMAPINFO*>(&FInfo), DIB_RGB_COLORS, &FBits,
                               nullptr, 0);
    if (FBitmap == nullptr) {
      DeleteDC(FDc);
      EbrvObject::Check(false);
    }
    FOld = SelectObject(FDc, FBitmap);
  }
  ~TPicture() {
    SelectObject(FDc, FOld);
    DeleteObject(FBitmap);
    DeleteDC(FDc);
  }
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  HDC Dc() const { return FDc; }
  // Rows of whole pixels, padded to four bytes as BMP rows are.
  DWORD Stride() const { return (static_cast<DWORD>(FInfo.biWidth) * 3 + 3) & ~3u; }

  void Save(const std::u16string& File) const {
    GdiFlush();
    BITMAPFILEHEADER head{};
    head.bfType = 0x4D42;  // "BM"
    head.bfOffBits = sizeof head + sizeof FInfo;
    head.bfSize = head.bfOffBits + FInfo.biSizeImage;
    const HANDLE file = CreateFileW(brv::platform::WideCStr(File), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    EbrvObject::Check(file != INVALID_HANDLE_VALUE);
    const auto write = [file](const void* Data, DWORD Size) {
      DWORD written = 0;
      return WriteFile(file, Data, Size, &written, nullptr) && written == Size;
    };
    const bool ok =
        write(&head, sizeof head) && write(&FInfo, sizeof FInfo) && write(FBits, FInfo.biSizeImage);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) {
      DeleteFileW(brv::platform::WideCStr(File));
      SetLastError(error);
      EbrvObject::Check(false);
    }
  }

 private:
  HDC FDc;
  BITMAPINFOHEADER FInfo{};
  void* FBits = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
};

}  // namespace

SIZE SaveWindowPicture(HWND Window, const std::u16string& File) {
  RECT bounds{};
  EbrvObject::Check(GetWindowRect(Window, &bounds) != FALSE);
  const SIZE size{bounds.right - bounds.left, bounds.bottom - bounds.top};
  if (size.cx <= 0 || size.cy <= 0) EbrvObject::RaiseError(E_INVALIDARG);
  // Paints what is not painted yet, frame and children included, before the pixels are taken;
  // for a window of another thread the paint messages are sent there and waited for.
  RedrawWindow(Window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const TWindowDc source(Window);
  const TPicture picture(source.get(), size);
  EbrvObject::Check(BitBlt(picture.Dc(), 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY) != FALSE);
  picture.Save(File);
  return size;
}

}  // namespace standin
