#include "office/command_bars.h"

#include <random>

#include "foundation/exception.h"
#include "foundation/text.h"
#include "office/name_hash.h"

namespace brv {

namespace {

// Ids are drawn from 0..65534.
constexpr int32_t kIdRange = 65535;

TbrvRandomFunc& CommandIdRandom() {
  static TbrvRandomFunc random;
  return random;
}

int32_t RandomId() {
  if (const TbrvRandomFunc& random = CommandIdRandom()) return random(kIdRange);
  static std::minstd_rand engine{std::random_device{}()};
  return std::uniform_int_distribution<int32_t>(0, kIdRange - 1)(engine);
}

std::u16string Ascii(const std::string& Text) { return std::u16string(Text.begin(), Text.end()); }

std::u16string UpperHex(uint32_t Value) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text;
  do {
    text.insert(text.begin(), kDigits[Value & 0xF]);
    Value >>= 4;
  } while (Value != 0);
  return text;
}

// name="value" with the value inserted verbatim.
std::u16string Attribute(std::u16string_view Name, std::u16string_view Value) {
  std::u16string text(Name);
  text += u"=\"";
  text += Value;
  text += u'"';
  return text;
}

// The last child whose id matches, ignoring ASCII case.
template <class T>
T* FindById(const TbrvObjectList<T>& Items, std::u16string_view Id) {
  for (int32_t i = Items.Count() - 1; i >= 0; --i)
    if (SameText(Items.GetItem(i)->Id(), Id)) return Items.GetItem(i);
  return nullptr;
}

}  // namespace

void SetCommandIdRandom(TbrvRandomFunc Random) { CommandIdRandom() = std::move(Random); }

// --- TbrvOfficeCommand ---

TbrvOfficeCommand::TbrvOfficeCommand(TbrvOfficeCommandBar* Owner, std::u16string Id)
    : FOwner(Owner), FId(std::move(Id)), FCaption(FId) {
  if (FOwner != nullptr) FOwner->FItems.Add(this);
}

TbrvOfficeCommand::~TbrvOfficeCommand() {
  if (FOwner != nullptr) FOwner->FItems.RemoveItem(this, TDirection::FromEnd);
}

void TbrvOfficeCommand::SetCaption(const std::u16string& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Invalidate();
}

void TbrvOfficeCommand::SetHint(const std::u16string& Value) {
  if (Value == FHint) return;
  FHint = Value;
  Invalidate();
}

void TbrvOfficeCommand::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Invalidate();
}

void TbrvOfficeCommand::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Invalidate();
}

void TbrvOfficeCommand::Invalidate() {
  if (FOwner != nullptr) FOwner->Invalidate();
}

void TbrvOfficeCommand::Invoke(int32_t DispID, const TbrvCallbackParameters&, TbrvCallbackResult& Result) {
  Result = std::monostate{};
  const auto is = [&](std::u16string_view Suffix) {
    return DispID == NameHash(FId + std::u16string(Suffix));
  };
  if (is(u".getLabel")) {
    Result = FCaption;
  } else if (is(u".getHint")) {
    Result = FHint;
  } else if (is(u".getEnabled")) {
    Result = FEnabled;
  } else if (is(u".getVisible")) {
    Result = FVisible;
  } else if (is(u".getImage")) {
    Result = GetImage();
  } else if (is(u".onAction")) {
    // A copy runs: a handler that frees its own button would otherwise destroy the closure it
    // is running in. Nothing of this button is touched after it returns.
    if (FOnClick) {
      const TNotifyEvent handler = FOnClick;
      handler(this);
    }
  }
}

std::u16string TbrvOfficeCommand::ToString() const {
  std::u16string text = u"<";
  text += kOfficeCommandTypeNames[FType];
  text += u' ';
  const std::pair<std::u16string_view, std::u16string> attributes[] = {
      {u"id", FId},
      {u"size", std::u16string(kOfficeCommandSizeNames[FSize])},
      {u"getScreentip", FId + u".getHint"},
      {u"getEnabled", FId + u".getEnabled"},
      {u"getVisible", FId + u".getVisible"},
      {u"getLabel", FId + u".getLabel"},
      {u"getImage", FId + u".getImage"},
      {u"onAction", FId + u".onAction"},
  };
  for (const auto& [name, value] : attributes) text += Attribute(name, value) + u' ';
  return text + u"/>";
}

// --- TbrvOfficeCommandBar ---

TbrvOfficeCommandBar::TbrvOfficeCommandBar(TbrvOfficeCommandBars* Owner, std::u16string Id)
    : FOwner(Owner), FId(std::move(Id)), FCaption(FId) {
  if (FOwner != nullptr) FOwner->FItems.Add(this);
}

TbrvOfficeCommandBar::~TbrvOfficeCommandBar() {
  if (FOwner != nullptr) FOwner->FItems.RemoveItem(this, TDirection::FromEnd);
  Clear();
}

void TbrvOfficeCommandBar::SetCaption(const std::u16string& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Invalidate();
}

TbrvOfficeCommand* TbrvOfficeCommandBar::GetItem(std::u16string_view Id) const {
  return FindById(FItems, Id);
}

TbrvOfficeCommand* TbrvOfficeCommandBar::Add(TbrvOfficeCommandClass Class_, const std::u16string& Id) {
  const std::u16string id = Id.empty() ? FId + u"." + Ascii(std::to_string(RandomId())) : Id;
  if (TbrvOfficeCommand* existing = GetItem(id)) return existing;
  return Class_(this, id);
}

void TbrvOfficeCommandBar::Clear() { FItems.Clear(true); }

void TbrvOfficeCommandBar::Invalidate() {
  if (FOwner != nullptr) FOwner->Invalidate();
}

std::u16string TbrvOfficeCommandBar::ToString() const {
  std::u16string text = u"<group " + Attribute(u"id", FId) + u' ' + Attribute(u"label", FCaption) + u'>';
  for (int32_t i = 0; i < FItems.Count(); ++i) text += FItems.GetItem(i)->ToString();
  return text + u"</group>";
}

// --- TbrvOfficeCommandBars ---

TbrvOfficeCommandBars::~TbrvOfficeCommandBars() { Clear(); }

TbrvOfficeCommandBar* TbrvOfficeCommandBars::GetItem(std::u16string_view Id) const {
  return FindById(FItems, Id);
}

TbrvOfficeCommandBar* TbrvOfficeCommandBars::Add(const std::u16string& Id) {
  const std::u16string id = Id.empty() ? u"brv" + UpperHex(static_cast<uint32_t>(RandomId())) : Id;
  if (TbrvOfficeCommandBar* existing = GetItem(id)) return existing;
  return new TbrvOfficeCommandBar(this, id);
}

void TbrvOfficeCommandBars::Clear() { FItems.Clear(true); }

void TbrvOfficeCommandBars::Invalidate() {
  if (FRibbon) FRibbon->Invalidate();
}

std::u16string TbrvOfficeCommandBars::ToString() const {
  std::u16string text = u"<customUI " + Attribute(u"xmlns", kCustomUINamespace) + u' ' +
                        Attribute(u"onLoad", u"RibbonOnLoad") + u"><ribbon><tabs><tab idMso=\"TabMail\">";
  for (int32_t i = 0; i < FItems.Count(); ++i) text += FItems.GetItem(i)->ToString();
  return text + u"</tab></tabs></ribbon></customUI>";
}

void TbrvOfficeCommandBars::Invoke(int32_t DispID, const TbrvCallbackParameters& Parameter,
                                   TbrvCallbackResult& Result) {
  Result = std::monostate{};
  if (Parameter.empty() || !Parameter[0]) EbrvComObject::RaiseError(kDISP_E_BADPARAMCOUNT);
  if (DispID == NameHash(u"RibbonOnLoad")) {
    FRibbon = Parameter[0]->AsRibbon();
    return;
  }
  const std::optional<std::u16string> controlId = Parameter[0]->ControlId();
  if (!controlId) return;
  for (int32_t g = 0; g < FItems.Count(); ++g) {
    const TbrvOfficeCommandBar* const group = FItems.GetItem(g);
    for (int32_t b = 0; b < group->Count(); ++b) {
      TbrvOfficeCommand* const button = group->GetItemByIndex(b);
      if (button->Id() == *controlId) {
        button->Invoke(DispID, Parameter, Result);
        return;
      }
    }
  }
}

}  // namespace brv
