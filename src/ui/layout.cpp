#include "ui/layout.h"

#include <cstddef>

namespace swo {
namespace {

TMargins Scaled(const TMargins& M, int Dpi) {
  return {Scale(M.Left, Dpi), Scale(M.Top, Dpi), Scale(M.Right, Dpi), Scale(M.Bottom, Dpi)};
}

TRect Inset(const TRect& R, const TMargins& M) {
  return {R.Left + M.Left, R.Top + M.Top, R.Width - M.Left - M.Right, R.Height - M.Top - M.Bottom};
}

// Places the aligned children of one container, each taking its strip of Area; returns what
// is left of Area.
TRect PlaceAligned(const TLayout& Layout, int Container, TRect Area, int Dpi, std::vector<TRect>& Places) {
  for (TAlign Pass : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Client}) {
    for (std::size_t I = 0; I < Layout.Items.size(); ++I) {
      const TLayoutItem& Item = Layout.Items[I];
      if (Item.Parent != Container || Item.Align != Pass) continue;
      const TMargins M = Scaled(Item.Margins, Dpi);
      const int Width = Scale(Item.Designed.Width, Dpi);
      const int Height = Scale(Item.Designed.Height, Dpi);
      TRect& Place = Places[I];
      switch (Pass) {
        case TAlign::Top:
          Place = {Area.Left + M.Left, Area.Top + M.Top, Area.Width - M.Left - M.Right, Height};
          Area = Inset(Area, {0, M.Top + Height + M.Bottom, 0, 0});
          break;
        case TAlign::Bottom:
          Place = {Area.Left + M.Left, Area.Bottom() - M.Bottom - Height, Area.Width - M.Left - M.Right, Height};
          Area = Inset(Area, {0, 0, 0, M.Top + Height + M.Bottom});
          break;
        case TAlign::Left:
          Place = {Area.Left + M.Left, Area.Top + M.Top, Width, Area.Height - M.Top - M.Bottom};
          Area = Inset(Area, {M.Left + Width + M.Right, 0, 0, 0});
          break;
        default:
          Place = Inset(Area, M);
          break;
      }
    }
  }
  return Area;
}

// The places of every item for a client area of Width x Height, unaligned items at their
// designed (scaled) offsets from their container's children area.
std::vector<TRect> PlaceAll(const TLayout& Layout, int Width, int Height, int Dpi,
                            const std::vector<TRect>* DesignedPlaces) {
  std::vector<TRect> Places(Layout.Items.size());
  std::vector<TRect> Areas(Layout.Items.size());
  auto ChildrenArea = [&](int Container) {
    return Container < 0 ? TRect{0, 0, Width, Height} : Areas[Container];
  };
  auto DesignedArea = [&](int Container) {
    return Container < 0 ? TRect{0, 0, Scale(Layout.ClientWidth, Dpi), Scale(Layout.ClientHeight, Dpi)}
                         : Inset((*DesignedPlaces)[Container], Scaled(Layout.Items[Container].Padding, Dpi));
  };
  // Containers precede their children, so each container is placed before its children are.
  for (int Container = -1; Container < static_cast<int>(Layout.Items.size()); ++Container) {
    if (Container >= 0) Areas[Container] = Inset(Places[Container], Scaled(Layout.Items[Container].Padding, Dpi));
    PlaceAligned(Layout, Container, ChildrenArea(Container), Dpi, Places);
    for (std::size_t I = 0; I < Layout.Items.size(); ++I) {
      const TLayoutItem& Item = Layout.Items[I];
      if (Item.Parent != Container || Item.Align != TAlign::None) continue;
      const TRect Area = ChildrenArea(Container);
      TRect Place{Area.Left + Scale(Item.Designed.Left, Dpi), Area.Top + Scale(Item.Designed.Top, Dpi),
                  Scale(Item.Designed.Width, Dpi), Scale(Item.Designed.Height, Dpi)};
      if (DesignedPlaces != nullptr) {
        const TRect Was = DesignedArea(Container);
        const int Grow = Area.Width - Was.Width, Drop = Area.Height - Was.Height;
        if (Item.Anchors & akRight) {
          if (Item.Anchors & akLeft) Place.Width += Grow; else Place.Left += Grow;
        }
        if (Item.Anchors & akBottom) {
          if (Item.Anchors & akTop) Place.Height += Drop; else Place.Top += Drop;
        }
      }
      Places[I] = Place;
    }
  }
  return Places;
}

}  // namespace

int Scale(int Designed, int Dpi) {
  const long long Product = static_cast<long long>(Designed) * Dpi;
  return static_cast<int>(Product >= 0 ? (Product + 48) / 96 : -((-Product + 48) / 96));
}

std::vector<TRect> Arrange(const TLayout& Layout, int Width, int Height, int Dpi) {
  const std::vector<TRect> Designed =
      PlaceAll(Layout, Scale(Layout.ClientWidth, Dpi), Scale(Layout.ClientHeight, Dpi), Dpi, nullptr);
  return PlaceAll(Layout, Width, Height, Dpi, &Designed);
}

}  // namespace swo
