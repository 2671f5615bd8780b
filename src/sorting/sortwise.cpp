// The rule model: construction, ownership, the sorted item lists and the lookups.
#include "sorting/sortwise.h"

#include "foundation/text.h"
#include "platform/number_format.h"
#include "sorting/number.h"

namespace swo {

namespace {

// Exact equality of all code units, from the last element to the first.
template <class TList, class TKey>
auto FindByKey(const TList& List, std::u16string_view Text, TKey Key) -> decltype(List.GetItem(0)) {
  for (int32_t i = List.Count() - 1; i >= 0; --i) {
    auto* item = List.GetItem(i);
    if (item != nullptr && Key(*item) == Text) return item;
  }
  return nullptr;
}

// The owner's ChildNotify for a child class: an inserted child takes its sorted place; a
// removed one leaves the list by identity, searched from the first element. While a load adds
// children in bulk, the child that leaves (to take its place under the key just read) is the
// last one: searching from the end finds the same object at once.
template <class TChild, class TList>
void NotifyList(TList& List, TSwoObject* Item, bool Inserted) {
  auto* child = dynamic_cast<TChild*>(Item);
  if (child == nullptr) return;
  if (Inserted) {
    List.Add(child);
  } else {
    List.RemoveItem(child, List.InBulkAdd() ? brv::TDirection::FromEnd : brv::TDirection::FromBeginning);
  }
}

// Frees every child in List, from the last position to the first; each position is emptied
// before its child is freed, so the child's leaving finds nothing to remove. Freeing says so to
// the owner's ChildNotify meanwhile, which then skips the search through the whole list that
// would find nothing: freeing n children costs O(n), not O(n^2).
template <class TList>
void FreeChildren(TList& List, bool& Freeing) {
  Freeing = true;
  List.Clear(true);
  Freeing = false;
}

using brv::platform::QuotedForMessage;

// Text enters the model only if the configuration file can store it: XML cannot carry some
// characters at all, and a file that held one would not load again (nor would the add-in start).
// Describe names the text for the message, given the text quoted: "the address \"...\"".
template <class TDescribe>
void CheckStorableAs(std::u16string_view Text, TDescribe Describe) {
  const size_t bad = brv::platform::FindCharacterXmlCannotCarry(Text);
  if (bad == std::u16string_view::npos) return;
  throw ESortwise(brv::kE_INVALIDARG, Describe(QuotedForMessage(Text)) + u" holds " +
                                          brv::platform::CharacterName(Text[bad]) +
                                          u", a character the configuration file cannot store");
}

void CheckStorable(std::u16string_view Text, std::u16string_view What) {
  CheckStorableAs(Text, [&](const std::u16string& Quoted) { return std::u16string(What) + u" " + Quoted; });
}

// "=" ends the name of a name/value line: a name holding one would read back as another name.
void CheckLineName(std::u16string_view Name, std::u16string_view What) {
  if (Name.find(u'=') == std::u16string_view::npos) return;
  throw ESortwise(brv::kE_INVALIDARG,
                  std::u16string(What) + u" holds \"=\", which no name of a filter or setting can hold");
}

// A filter line of an address entry: its name and its value.
void CheckStorableFilter(const TSwoEntry& Entry, std::u16string_view Name, std::u16string_view Value) {
  const auto entry = [&] { return u" of the address " + QuotedForMessage(Entry.Address()); };
  CheckStorableAs(Name, [&](const std::u16string& Quoted) { return u"the filter name " + Quoted + entry(); });
  CheckLineName(Name, u"the filter name " + QuotedForMessage(Name) + entry());
  CheckStorableAs(Value, [&](const std::u16string& Quoted) {
    return u"the value " + Quoted + u" of the filter " + QuotedForMessage(Name) + entry();
  });
}

}  // namespace

// --- TSwoObject ---

TSwoObject::TSwoObject(TSwoObject* Owner, std::u16string Name) : FOwner(Owner), FName(std::move(Name)) {}

TSwoObject::~TSwoObject() { LeaveOwner(); }

void TSwoObject::AfterConstruction() {
  if (FOwner != nullptr) FOwner->ChildNotify(this, true);
  CreateMembers();
}

void TSwoObject::LeaveOwner() {
  TSwoObject* owner = FOwner;
  FOwner = nullptr;
  if (owner != nullptr) owner->ChildNotify(this, false);
}

void TSwoObject::Reposition() {
  if (FOwner == nullptr) return;
  FOwner->ChildNotify(this, false);
  FOwner->ChildNotify(this, true);
}

outlook::Ref<outlook::_Application> TSwoObject::ResolveApplication() {
  return FOwner != nullptr ? FOwner->ResolveApplication() : nullptr;
}

void TSwoObject::ChildNotify(TSwoObject*, bool) {}

void TSwoObject::CreateMembers() {}

outlook::Ref<outlook::_NameSpace> TSwoObject::GetNameSpace() {
  const outlook::Ref<outlook::_Application> application = ResolveApplication();
  return application ? application->Session() : nullptr;
}

// --- TSwoEntry ---

TSwoEntry::TSwoEntry(TSwoObject* Owner, std::u16string Address) : TSwoObject(Owner, std::move(Address)) {}

TSwoEntry* TSwoEntry::Create(TSwoObject* Owner, std::u16string Address) {
  CheckStorable(Address, u"the address");
  return Construct(new TSwoEntry(Owner, std::move(Address)));
}

TSwoEntry::~TSwoEntry() {
  FProperties.reset();
  LeaveOwner();
}

void TSwoEntry::CreateMembers() { FProperties = std::make_unique<TStrings>(); }

int32_t TSwoEntry::Count() const { return FProperties->Count(); }

int32_t TSwoEntry::Index() const {
  auto* folder = dynamic_cast<TSwoFolder*>(FOwner);
  return folder == nullptr ? -1 : folder->IndexOf(const_cast<TSwoEntry*>(this));
}

std::u16string TSwoEntry::GetName(int32_t Index) const { return FProperties->GetName(Index); }

std::u16string TSwoEntry::GetValue(int32_t Index) const { return FProperties->GetValueFromIndex(Index); }

std::u16string TSwoEntry::GetValue(std::u16string_view Name) const { return FProperties->GetValue(Name); }

void TSwoEntry::SetValue(int32_t Index, std::u16string_view Value) {
  CheckStorableFilter(*this, FProperties->GetName(Index), Value);
  FProperties->SetValueFromIndex(Index, Value);
}

void TSwoEntry::SetValue(std::u16string_view Name, std::u16string_view Value) {
  CheckStorableFilter(*this, Name, Value);
  FProperties->SetValue(Name, Value);
}

// --- TSwoFolder ---

TSwoFolder::TSwoFolder(TSwoObject* Owner, std::u16string Id, std::u16string Name)
    : TSwoObject(Owner, std::move(Name)), FId(std::move(Id)) {}

TSwoFolder* TSwoFolder::Create(TSwoObject* Owner, std::u16string Id, std::u16string Name) {
  CheckStorable(Name, u"the folder name");
  CheckStorable(Id, u"the folder id");
  return Construct(new TSwoFolder(Owner, std::move(Id), std::move(Name)));
}

TSwoFolder::~TSwoFolder() {
  if (FItems) FreeItems();
  FItems.reset();
  LeaveOwner();
}

void TSwoFolder::CreateMembers() {
  FItems = std::make_unique<TItemList>();
  FItems->SetSorted(true);
  FItems->SetOnCompare(
      [](TSwoEntry* L, TSwoEntry* R) { return brv::CompareText(L->Address(), R->Address()); });
}

void TSwoFolder::ChildNotify(TSwoObject* Item, bool Inserted) {
  if (FItems && !(FFreeingItems && !Inserted)) NotifyList<TSwoEntry>(*FItems, Item, Inserted);
}

void TSwoFolder::FreeItems() { FreeChildren(*FItems, FFreeingItems); }

int32_t TSwoFolder::IndexOf(TSwoEntry* Entry) const { return FItems->IndexOf(Entry); }

std::u16string TSwoFolder::StoreId() const {
  auto* store = dynamic_cast<TSwoStore*>(FOwner);
  return store != nullptr ? store->Id() : std::u16string();
}

TSwoEntry* TSwoFolder::GetItem(std::u16string_view Address) const {
  return FindByKey(*FItems, Address, [](const TSwoEntry& E) -> const std::u16string& { return E.Address(); });
}

TSwoEntry* TSwoFolder::Add(const std::u16string& Address) { return TSwoEntry::Create(this, Address); }

// --- TSwoStore ---

TSwoStore::TSwoStore(TSwoObject* Owner, std::u16string Id, std::u16string Name)
    : TSwoObject(Owner, std::move(Name)), FId(std::move(Id)) {}

TSwoStore* TSwoStore::Create(TSwoObject* Owner, std::u16string Id, std::u16string Name) {
  CheckStorable(Name, u"the store name");
  CheckStorable(Id, u"the store id");
  return Construct(new TSwoStore(Owner, std::move(Id), std::move(Name)));
}

TSwoStore::~TSwoStore() {
  if (FItems) FreeItems();
  FItems.reset();
  LeaveOwner();
}

void TSwoStore::CreateMembers() {
  FItems = std::make_unique<TItemList>();
  FItems->SetSorted(true);
  FItems->SetOnCompare([](TSwoFolder* L, TSwoFolder* R) { return brv::CompareText(L->Name(), R->Name()); });
}

void TSwoStore::ChildNotify(TSwoObject* Item, bool Inserted) {
  if (FItems && !(FFreeingItems && !Inserted)) NotifyList<TSwoFolder>(*FItems, Item, Inserted);
}

void TSwoStore::FreeItems() { FreeChildren(*FItems, FFreeingItems); }

TSwoFolder* TSwoStore::GetItem(std::u16string_view Id) const {
  return FindByKey(*FItems, Id, [](const TSwoFolder& F) -> const std::u16string& { return F.Id(); });
}

// --- TSwoConfig ---

TSwoConfig::TSwoConfig() : TSwoObject(nullptr, std::u16string()) {}

TSwoConfig* TSwoConfig::Create() { return Construct(new TSwoConfig()); }

TSwoConfig::~TSwoConfig() {
  FItems.reset();
  LeaveOwner();
}

void TSwoConfig::CreateMembers() { FItems = std::make_unique<TStrings>(); }

int32_t TSwoConfig::Count() const { return FItems->Count(); }

std::u16string TSwoConfig::GetValue(int32_t Index) const { return GetValue(FItems->GetName(Index)); }

std::u16string TSwoConfig::GetValue(std::u16string_view Name) const { return FItems->GetValue(Name); }

void TSwoConfig::SetValue(int32_t Index, std::u16string_view Value) {
  SetValue(FItems->GetName(Index), Value);
}

void TSwoConfig::SetValue(std::u16string_view Name, std::u16string_view Value) {
  CheckStorable(Name, u"the setting name");
  CheckLineName(Name, u"the setting name " + QuotedForMessage(Name));
  CheckStorableAs(Value, [&](const std::u16string& Quoted) {
    return u"the value " + Quoted + u" of the setting " + QuotedForMessage(Name);
  });
  FItems->SetValue(Name, Value);
}

bool TSwoConfig::GetAsBoolean(int32_t Index) const { return GetAsBoolean(FItems->GetName(Index)); }

bool TSwoConfig::GetAsBoolean(std::u16string_view Name) const {
  const std::u16string text = GetValue(Name);
  if (const std::optional<double> number = TextToNumber(text, brv::platform::LocaleDecimalSeparator()))
    return *number != 0;
  return brv::SameText(text, u"True");
}

void TSwoConfig::SetAsBoolean(int32_t Index, bool Value) { SetAsBoolean(FItems->GetName(Index), Value); }

void TSwoConfig::SetAsBoolean(std::u16string_view Name, bool Value) {
  SetValue(Name, Value ? u"True" : u"False");
}

// --- TSortwise ---

TSortwise::TSortwise() : TSwoObject(nullptr, std::u16string()) {}

TSortwise* TSortwise::Create() { return Construct(new TSortwise()); }

TSortwise::~TSortwise() {
  if (FItems) FreeItems();
  FItems.reset();
  FConfig.reset();
  LeaveOwner();
}

void TSortwise::CreateMembers() {
  FConfig.reset(TSwoConfig::Create());
  FItems = std::make_unique<TItemList>();
  FItems->SetSorted(true);
  FItems->SetOnCompare([](TSwoStore* L, TSwoStore* R) { return brv::CompareText(L->Name(), R->Name()); });
}

void TSortwise::ChildNotify(TSwoObject* Item, bool Inserted) {
  if (FItems && !(FFreeingItems && !Inserted)) NotifyList<TSwoStore>(*FItems, Item, Inserted);
}

void TSortwise::FreeItems() { FreeChildren(*FItems, FFreeingItems); }

TSwoStore* TSortwise::GetItem(std::u16string_view Id) const {
  return FindByKey(*FItems, Id, [](const TSwoStore& S) -> const std::u16string& { return S.Id(); });
}

}  // namespace swo
