#include "ui/window_layouts.h"

namespace swo {
namespace {

// A group box without caption keeps its frame and the caption's line (Tahoma 8 pt: 13 pixels)
// clear of its children.
constexpr TMargins kGroupBoxFrame{2, 15, 2, 2};
constexpr TMargins kAround{3, 3, 3, 3};
constexpr TMargins kToolBarMargins{3, 0, 3, 0};

// An item at a fixed place in its container.
TLayoutItem At(int Parent, TRect Place, unsigned Anchors = akLeft | akTop) {
  TLayoutItem Item;
  Item.Parent = Parent;
  Item.Designed = Place;
  Item.Anchors = Anchors;
  return Item;
}

// An item aligned to an edge of its container, Size across that edge (ignored for Client).
TLayoutItem Aligned(int Parent, TAlign Align, int Size, TMargins Margins = {}, TMargins Padding = {}) {
  TLayoutItem Item;
  Item.Parent = Parent;
  Item.Align = Align;
  Item.Designed.Width = Item.Designed.Height = Size;
  Item.Margins = Margins;
  Item.Padding = Padding;
  return Item;
}

TLayout MakeMainWindowLayout() {
  TLayout L{698, 484, std::vector<TLayoutItem>(miCount)};
  L.Items[miPanel1] = Aligned(-1, TAlign::Top, 52);
  L.Items[miButton2] = At(miPanel1, {8, 5, 90, 41});
  L.Items[miButton3] = At(miPanel1, {104, 5, 114, 41});
  L.Items[miButton1] = At(miPanel1, {598, 5, 92, 41}, akTop | akRight);
  L.Items[miGroupBox1] = Aligned(-1, TAlign::Left, 313, kAround, kGroupBoxFrame);
  L.Items[miToolBar1] = Aligned(miGroupBox1, TAlign::Top, 22, kToolBarMargins);
  L.Items[mitvFolders] = Aligned(miGroupBox1, TAlign::Client, 0, kAround);
  L.Items[miSplitter1] = Aligned(-1, TAlign::Left, 3);
  L.Items[miGroupBox2] = Aligned(-1, TAlign::Client, 0, kAround, kGroupBoxFrame);
  L.Items[miToolBar2] = Aligned(miGroupBox2, TAlign::Top, 22, kToolBarMargins);
  // The edit sits directly under the toolbar and the list fills the rest: at the designed size
  // the list is 354 high, and a taller window gives its extra height to the list.
  L.Items[miedAddress] = Aligned(miGroupBox2, TAlign::Top, 21, kAround);
  L.Items[milbAddresses] = Aligned(miGroupBox2, TAlign::Client, 0, kAround);
  return L;
}

TLayout MakeSettingsWindowLayout() {
  constexpr unsigned kStretch = akLeft | akTop | akRight;
  constexpr unsigned kCorner = akRight | akBottom;
  TLayout L{327, 235, std::vector<TLayoutItem>(siCount)};
  L.Items[sicbIgnoreUnmarked] = At(-1, {24, 24, 281, 17}, kStretch);
  L.Items[sicbDoOnlyRead] = At(-1, {24, 49, 281, 17}, kStretch);
  L.Items[sicbDoOnlyComplete] = At(-1, {24, 74, 281, 17}, kStretch);
  L.Items[sicbAutoEnabled] = At(-1, {24, 99, 281, 17}, kStretch);
  // The label stands 3 pixels left of the edit, centred on the edit's height.
  L.Items[silbAutoFilter] = At(-1, {192 - 3 - 137, 122 + (21 - 13) / 2, 137, 13});
  L.Items[siedAutoFilter] = At(-1, {192, 122, 113, 21}, kStretch);
  L.Items[siLabel1] = At(-1, {48, 146, 257, 41});
  L.Items[sibtnOK] = At(-1, {163, 202, 75, 25}, kCorner);
  L.Items[sibtnCancel] = At(-1, {244, 202, 75, 25}, kCorner);
  return L;
}

TLayout MakeInboxDialogLayout() {
  constexpr int kWidth = 304, kHeight = 201;  // a 320 x 240 window's client area
  constexpr int kButtonWidth = 75, kButtonHeight = 25;
  constexpr unsigned kCorner = akRight | akBottom;
  TLayout L{kWidth, kHeight, std::vector<TLayoutItem>(iiCount)};
  L.Items[iiOK] = At(-1, {kWidth - kButtonWidth - 8, kHeight - kButtonHeight - 8, kButtonWidth, kButtonHeight}, kCorner);
  L.Items[iiCancel] =
      At(-1, {kWidth - 2 * kButtonWidth - 16, kHeight - kButtonHeight - 8, kButtonWidth, kButtonHeight}, kCorner);
  L.Items[iiList] = At(-1, {8, 8, kWidth - 16, kHeight - kButtonHeight - 24}, akLeft | akTop | akRight | akBottom);
  return L;
}

}  // namespace

const TLayout& MainWindowLayout() {
  static const TLayout Layout = MakeMainWindowLayout();
  return Layout;
}

const TLayout& SettingsWindowLayout() {
  static const TLayout Layout = MakeSettingsWindowLayout();
  return Layout;
}

const TLayout& InboxDialogLayout() {
  static const TLayout Layout = MakeInboxDialogLayout();
  return Layout;
}

}  // namespace swo
