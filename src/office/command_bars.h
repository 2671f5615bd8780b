// The ribbon command model: a root (TbrvOfficeCommandBars) holding groups
// (TbrvOfficeCommandBar) holding buttons (TbrvOfficeCommand). It writes the custom-UI markup,
// asks the host's ribbon to refresh when a shown property changes, and routes the host's
// callbacks to the buttons. Children enter their parent's list when created and leave it when
// destroyed; parents free their children.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/list.h"
#include "foundation/object.h"
#include "office/callback.h"

namespace brv {

enum TbrvOfficeCommandType : int32_t { octButton = 0 };
enum TbrvOfficeCommandSize : int32_t { ocsNormal = 0, ocsLarge = 1 };

// The markup names of the enumerations, indexed by them.
inline constexpr std::u16string_view kOfficeCommandTypeNames[] = {u"button"};
inline constexpr std::u16string_view kOfficeCommandSizeNames[] = {u"normal", u"large"};

// The custom-UI schema of Office 2006/01.
inline constexpr std::u16string_view kCustomUINamespace =
    u"http://schemas.microsoft.com/office/2006/01/customui";

// An event handler, called with the object that raised it.
using TNotifyEvent = std::function<void(TbrvObject* Sender)>;

// The process's pseudo-random generator as the model draws ids from it: an integer in
// 0..Range-1. Null restores the default generator.
using TbrvRandomFunc = std::function<int32_t(int32_t Range)>;
void SetCommandIdRandom(TbrvRandomFunc Random);

class TbrvOfficeCommandBar;
class TbrvOfficeCommandBars;

// A button.
class TbrvOfficeCommand : public TbrvObject {
 public:
  // Makes a button of a class: the class reference of TbrvOfficeCommand and its descendants.
  using TbrvOfficeCommandClass = TbrvOfficeCommand* (*)(TbrvOfficeCommandBar* Owner,
                                                        const std::u16string& Id);
  template <class T>
  static TbrvOfficeCommand* ClassOf(TbrvOfficeCommandBar* Owner, const std::u16string& Id) {
    return new T(Owner, Id);
  }

  // Caption = Id, enabled, visible, normal size; appended to Owner (which may be null).
  TbrvOfficeCommand(TbrvOfficeCommandBar* Owner, std::u16string Id);
  ~TbrvOfficeCommand() override;

  TbrvOfficeCommandBar* Owner() const { return FOwner; }
  const std::u16string& Id() const { return FId; }
  // The setters of Caption, Hint, Enabled and Visible invalidate when the value changes.
  const std::u16string& Caption() const { return FCaption; }
  void SetCaption(const std::u16string& Value);
  const std::u16string& Hint() const { return FHint; }
  void SetHint(const std::u16string& Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TbrvOfficeCommandSize Size() const { return FSize; }
  void SetSize(TbrvOfficeCommandSize Value) { FSize = Value; }
  TbrvOfficeCommandType Type_() const { return FType; }
  void SetType_(TbrvOfficeCommandType Value) { FType = Value; }
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(TNotifyEvent Value) { FOnClick = std::move(Value); }

  // A new picture of the module's "APPICON" on every call; null when none can be made.
  virtual TbrvPictureRef GetImage();
  // Answers the callbacks named after this button's id; any other DispID leaves Result empty.
  virtual void Invoke(int32_t DispID, const TbrvCallbackParameters& Parameter, TbrvCallbackResult& Result);

  // Frees the button, which leaves its group.
  void Delete() { delete this; }
  // Passes the refresh request to the group.
  void Invalidate();
  // The button's markup element.
  std::u16string ToString() const;

 private:
  friend class TbrvOfficeCommandBar;

  TbrvOfficeCommandBar* FOwner;
  TbrvOfficeCommandType FType = octButton;
  std::u16string FId;
  std::u16string FCaption;
  TNotifyEvent FOnClick;
  bool FEnabled = true;
  bool FVisible = true;
  std::u16string FHint;
  TbrvOfficeCommandSize FSize = ocsNormal;
};

using TbrvOfficeCommandClass = TbrvOfficeCommand::TbrvOfficeCommandClass;

// A group of buttons.
class TbrvOfficeCommandBar : public TbrvObject {
 public:
  // Caption = Id; appended to Owner (which may be null).
  TbrvOfficeCommandBar(TbrvOfficeCommandBars* Owner, std::u16string Id);
  // Leaves the root and frees the buttons it still holds.
  ~TbrvOfficeCommandBar() override;

  TbrvOfficeCommandBars* Owner() const { return FOwner; }
  const std::u16string& Id() const { return FId; }
  const std::u16string& Caption() const { return FCaption; }
  void SetCaption(const std::u16string& Value);
  int32_t Count() const { return FItems.Count(); }

  // The button with that id (ASCII case ignored, the last added first), or null.
  TbrvOfficeCommand* GetItem(std::u16string_view Id) const;
  TbrvOfficeCommand* operator[](std::u16string_view Id) const { return GetItem(Id); }
  // The button at Index; out of range raises EbrvList.
  TbrvOfficeCommand* GetItemByIndex(int32_t Index) const { return FItems.GetItem(Index); }
  // The button with that id, made as Class_ when absent; an empty id draws one at random.
  TbrvOfficeCommand* Add(TbrvOfficeCommandClass Class_, const std::u16string& Id);
  TbrvOfficeCommand* Add(const std::u16string& Id) {
    return Add(&TbrvOfficeCommand::ClassOf<TbrvOfficeCommand>, Id);
  }
  // Frees every button, the last first; does not invalidate.
  void Clear();
  void Delete() { delete this; }
  // Passes the refresh request to the root.
  void Invalidate();
  // The group's markup element with its buttons.
  std::u16string ToString() const;

 private:
  friend class TbrvOfficeCommand;
  friend class TbrvOfficeCommandBars;

  TbrvObjectList<TbrvOfficeCommand> FItems{false};
  TbrvOfficeCommandBars* FOwner;
  std::u16string FId;
  std::u16string FCaption;
};

// The root: the groups on the host's Mail tab and the host's ribbon object.
class TbrvOfficeCommandBars : public TbrvObject {
 public:
  TbrvOfficeCommandBars() = default;
  // Frees every group and its buttons.
  ~TbrvOfficeCommandBars() override;

  int32_t Count() const { return FItems.Count(); }
  TbrvOfficeCommandBar* GetItem(std::u16string_view Id) const;
  TbrvOfficeCommandBar* operator[](std::u16string_view Id) const { return GetItem(Id); }
  TbrvOfficeCommandBar* GetItemByIndex(int32_t Index) const { return FItems.GetItem(Index); }
  // The group with that id, created when absent; an empty id draws one at random.
  TbrvOfficeCommandBar* Add(const std::u16string& Id);
  void Clear();
  // Calls the host ribbon's Invalidate once the host has handed it over; nothing before.
  void Invalidate();
  // The whole custom-UI document.
  std::u16string ToString() const;

  const std::shared_ptr<TbrvRibbon>& Ribbon() const { return FRibbon; }
  // Routes a callback: the load callback keeps the ribbon; any other goes to the first button
  // whose id equals the control's id exactly.
  void Invoke(int32_t DispID, const TbrvCallbackParameters& Parameter, TbrvCallbackResult& Result);

 private:
  friend class TbrvOfficeCommandBar;

  TbrvObjectList<TbrvOfficeCommandBar> FItems{false};
  std::shared_ptr<TbrvRibbon> FRibbon;
};

}  // namespace brv
