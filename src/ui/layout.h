// Window layout: where each control of a window goes, from its designed place at 96 dpi, the
// window's present client size and its dots per inch. Controls are aligned against the edges of
// their container (top, bottom, left, or filling what is left) or anchored to its sides, each
// with margins; containers (panels, group boxes) inset their children's area by their padding.
#pragma once

#include <vector>

namespace swo {

// A rectangle in pixels: position and size.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool operator==(const TRect&) const = default;
};

// Space kept on each side.
struct TMargins {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// Against which edge of the container's remaining area a control is placed.
enum class TAlign { None, Top, Bottom, Left, Client };

// The container sides whose distance an unaligned control keeps when the container resizes;
// anchored to both sides of an axis, the control stretches along it.
enum TAnchors : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

// One control or container of a window, at 96 dpi.
struct TLayoutItem {
  int Parent = -1;         // index of the container item; -1 is the window's client area
  TRect Designed;          // designed place within the container; aligned items use its size only
  TAlign Align = TAlign::None;
  unsigned Anchors = akLeft | akTop;
  TMargins Margins;        // kept free around the item, against whatever it is aligned to
  TMargins Padding;        // a container's inset for its children (a group box's frame)
};

// The designed window: its client size at 96 dpi and the items in creation order. Containers
// come before their children. Of the items aligned to one edge, the first listed is nearest it.
struct TLayout {
  int ClientWidth = 0;
  int ClientHeight = 0;
  std::vector<TLayoutItem> Items;
};

// Scales a designed length to Dpi, rounding to the nearest pixel.
int Scale(int Designed, int Dpi);

// The place of every item (same order as Layout.Items), in client coordinates, for a client
// area of Width x Height pixels at Dpi. At the designed size and 96 dpi aligned items fill their
// containers as designed; anchored items keep their distances to their anchored sides.
std::vector<TRect> Arrange(const TLayout& Layout, int Width, int Height, int Dpi);

}  // namespace swo
