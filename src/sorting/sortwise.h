// The rule model and its configuration file: the sorter TSortwise owns the
// settings (TSwoConfig) and the store entries (TSwoStore); a store entry owns target folders
// (TSwoFolder), a target folder address entries (TSwoEntry). All derive from TSwoObject.
//
// Construction: every class is made by its static Create, which runs the model's construction
// protocol with full virtual dispatch: own fields, owner and name (the C++ constructor), then
// the owner's ChildNotify(Self, true) (the object takes its sorted place in the owner's list),
// then CreateMembers. Objects with an owner belong to it; freeing one (delete) takes it out of
// its owner's list. Objects without an owner (a sorter, settings) belong to their creator.
//
// Lookups by position take an integer (or a bool); lookups by key take text, also text that
// looks like digits (DESIGN.md section 3).
//
// Every text that enters the model (names, addresses, ids, filter and setting lines) must be
// one the configuration file can store: a character XML cannot carry at all (U+0000-U+0008,
// U+000B, U+000C, U+000E-U+001F, U+FFFE, U+FFFF, a lone surrogate) makes Create or SetValue
// raise ESortwise (E_INVALIDARG) naming the text, and nothing changes. So a save never fails,
// nor writes a file that would not load again, over one bad text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/exception.h"
#include "foundation/list.h"
#include "foundation/object.h"
#include "host/outlook.h"
#include "platform/xml.h"
#include "sorting/strings.h"

namespace swo {

class TSwoApplicationSource;
class TSwoEntryIndex;
class TSwoRunObserver;

// The error type raised by the sorter: folder registration, reaching Outlook and text the
// configuration file cannot store raise it.
class ESortwise : public brv::TbrvErrorClass<ESortwise, brv::EbrvObject> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
};

// A conversion error while reading the configuration file: a missing attribute, or a "value" or
// "property" element without text. Code DISP_E_TYPEMISMATCH; the message names the file and
// the element ("<file>: element /Sortwise/store[1]: the attribute \"id\" is missing").
class EConvertError : public brv::TbrvErrorClass<EConvertError, brv::EbrvObject> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
};
inline constexpr brv::TbrvResult kDISP_E_TYPEMISMATCH = static_cast<brv::TbrvResult>(0x80020005);

// The five settings keys; all live in TSortwise::Config().
inline constexpr std::u16string_view kIgnoreUnmarked = u"IgnoreUnmarked";  // "True"/"False"
inline constexpr std::u16string_view kDoOnlyRead = u"DoOnlyRead";          // "True"/"False"
inline constexpr std::u16string_view kDoOnlyComplete = u"DoOnlyComplete";  // "True"/"False"
inline constexpr std::u16string_view kAutoEnabled = u"Auto.Enabled";       // "True"/"False"
inline constexpr std::u16string_view kAutoFilter = u"Auto.Filter";         // days, a decimal integer

using TXmlNode = brv::platform::TbrvXmlNode;

class TSwoObject : public brv::TbrvObject {
 public:
  ~TSwoObject() override;

  TSwoObject* Owner() const { return FOwner; }
  const std::u16string& Name() const { return FName; }

  // 1. The Outlook application: none here; the owner's answer when there is an owner.
  virtual outlook::Ref<outlook::_Application> ResolveApplication();
  // 2. A child was created (Inserted) or is being freed. Nothing here.
  virtual void ChildNotify(TSwoObject* Item, bool Inserted);
  // 3. Creates the owned members. Nothing here.
  virtual void CreateMembers();
  // 4. Reads the element that represents the object: here FName := attribute "name".
  virtual void Load(const TXmlNode& Node);
  // 5. Writes the object into the element: here attribute "name" := FName.
  virtual void Save(const TXmlNode& Node) const;

  // The application's namespace (through ResolveApplication); null without an application.
  outlook::Ref<outlook::_NameSpace> GetNameSpace();

 protected:
  TSwoObject(TSwoObject* Owner, std::u16string Name);

  // The second half of Create: joins the owner's list, then CreateMembers. Frees Object and
  // passes the exception on when either fails.
  template <class T>
  static T* Construct(T* Object) {
    std::unique_ptr<T> guard(Object);
    guard->AfterConstruction();
    return guard.release();
  }
  // Leaves the owner's list (once). The destructors of the classes call it after freeing
  // their members, while the object is still of its own class for the owner's ChildNotify.
  void LeaveOwner();
  // Takes the sorted place in the owner's list again for a key that Load has just read.
  void Reposition();
  // The attribute's value; a missing one raises EConvertError naming Node.
  static std::u16string ReadAttribute(const TXmlNode& Node, std::u16string_view Name);
  // The element's single text; none or an empty one raises EConvertError, anything but a
  // single text node the XML seam's EbrvXml.
  static std::u16string ReadText(const TXmlNode& Node);

  TSwoObject* FOwner;
  std::u16string FName;

 private:
  void AfterConstruction();
};

// An address entry: a sender address and its property filters (name/value lines).
class TSwoEntry : public TSwoObject {
 public:
  static TSwoEntry* Create(TSwoObject* Owner, std::u16string Address);
  ~TSwoEntry() override;

  const std::u16string& Address() const { return FName; }
  // Number of property filter lines.
  int32_t Count() const;
  // The position the owning folder's list finds for this entry's address (the first of equal
  // addresses); -1 when the owner is not a target folder or the search finds none.
  int32_t Index() const;
  // The name of the filter line at Index; outside 0..Count-1 raises EStringListError.
  std::u16string GetName(int32_t Index) const;
  // By position: the value of that line (negative: empty text; Count or more: EStringListError).
  std::u16string GetValue(int32_t Index) const;
  // By name: the value of the line with that name, or the empty text.
  std::u16string GetValue(std::u16string_view Name) const;
  // By position (0..Count-1): replaces the value, keeping the name; empty removes the line.
  void SetValue(int32_t Index, std::u16string_view Value);
  // By name: name/value writing (empty removes the line).
  void SetValue(std::u16string_view Name, std::u16string_view Value);
  // The filter lines themselves.
  const TStrings& Properties() const { return *FProperties; }

  void CreateMembers() override;
  void Load(const TXmlNode& Node) override;
  void Save(const TXmlNode& Node) const override;

 protected:
  TSwoEntry(TSwoObject* Owner, std::u16string Address);

 private:
  std::unique_ptr<TStrings> FProperties;
};

// A target folder: an Outlook folder (EntryID in Id) and its address entries, sorted by address.
class TSwoFolder : public TSwoObject {
 public:
  class TItemList : public brv::TbrvObjectList<TSwoEntry> {
   public:
    TItemList() : TbrvObjectList(false) {}

   private:
    friend class TSwoFolder;
  };

  static TSwoFolder* Create(TSwoObject* Owner, std::u16string Id, std::u16string Name);
  ~TSwoFolder() override;

  const std::u16string& Id() const { return FId; }
  int32_t Count() const { return FItems->Count(); }
  // The owner's Id when the owner is a store entry, otherwise the empty text.
  std::u16string StoreId() const;
  // The Outlook folder this target folder stands for, looked up anew (GetFolderFromID); raises
  // when it no longer exists or there is no Outlook.
  outlook::Ref<outlook::MAPIFolder> Object_();
  // By position: outside the list raises EbrvList (E_INVALIDARG).
  TSwoEntry* GetItem(int32_t Index) const { return FItems->GetItem(Index); }
  // By address: exact (case-sensitive) equality, searched from the last entry to the first;
  // null when none is equal.
  TSwoEntry* GetItem(std::u16string_view Address) const;
  TSwoEntry* Items(int32_t Index) const { return GetItem(Index); }
  TSwoEntry* Items(std::u16string_view Address) const { return GetItem(Address); }
  // A new address entry of this folder at its sorted place; nothing is validated but that the
  // configuration file can store the address.
  TSwoEntry* Add(const std::u16string& Address);
  // The list's IndexOf: a bisection on Entry's address giving the first entry whose address
  // compares equal (CompareText), or -1.
  int32_t IndexOf(TSwoEntry* Entry) const;

  void ChildNotify(TSwoObject* Item, bool Inserted) override;
  void CreateMembers() override;
  void Load(const TXmlNode& Node) override;
  void Save(const TXmlNode& Node) const override;

 protected:
  TSwoFolder(TSwoObject* Owner, std::u16string Id, std::u16string Name);

 private:
  // Frees all address entries, the last first (see FreeChildren in sortwise.cpp).
  void FreeItems();

  std::unique_ptr<TItemList> FItems;
  std::u16string FId;
  bool FFreeingItems = false;
};

// A store entry: an Outlook mail store (StoreID in Id) and its target folders, sorted by name.
class TSwoStore : public TSwoObject {
 public:
  class TItemList : public brv::TbrvObjectList<TSwoFolder> {
   public:
    TItemList() : TbrvObjectList(false) {}

   private:
    friend class TSwoStore;
  };

  static TSwoStore* Create(TSwoObject* Owner, std::u16string Id, std::u16string Name);
  ~TSwoStore() override;

  const std::u16string& Id() const { return FId; }
  int32_t Count() const { return FItems->Count(); }
  TSwoFolder* GetItem(int32_t Index) const { return FItems->GetItem(Index); }
  // By folder Id: exact equality, last to first; null when none is equal.
  TSwoFolder* GetItem(std::u16string_view Id) const;
  TSwoFolder* Items(int32_t Index) const { return GetItem(Index); }
  TSwoFolder* Items(std::u16string_view Id) const { return GetItem(Id); }

  void ChildNotify(TSwoObject* Item, bool Inserted) override;
  void CreateMembers() override;
  void Load(const TXmlNode& Node) override;
  void Save(const TXmlNode& Node) const override;

 protected:
  TSwoStore(TSwoObject* Owner, std::u16string Id, std::u16string Name);

 private:
  // Frees all target folders, the last first (see FreeChildren in sortwise.cpp).
  void FreeItems();

  std::unique_ptr<TItemList> FItems;
  std::u16string FId;
  bool FFreeingItems = false;
};

// The settings: name/value lines; no owner, empty name.
class TSwoConfig : public TSwoObject {
 public:
  static TSwoConfig* Create();
  ~TSwoConfig() override;

  int32_t Count() const;
  // By position: the line at Index gives the name (outside: EStringListError); then as by name.
  std::u16string GetValue(int32_t Index) const;
  // By name: the line's value, or the empty text (never "no value").
  std::u16string GetValue(std::u16string_view Name) const;
  // By position: the name of the line at Index (outside: EStringListError); then as by name.
  void SetValue(int32_t Index, std::u16string_view Value);
  // By name: name/value writing; the empty text removes the line.
  void SetValue(std::u16string_view Name, std::u16string_view Value);
  // The value read as a Boolean: a number (in the user's locale) is true when not zero;
  // otherwise "True"/"False" in any letter case; anything else, a missing line too, is false.
  bool GetAsBoolean(int32_t Index) const;
  bool GetAsBoolean(std::u16string_view Name) const;
  // Stores "True" or "False".
  void SetAsBoolean(int32_t Index, bool Value);
  void SetAsBoolean(std::u16string_view Name, bool Value);
  // The lines themselves.
  const TStrings& Lines() const { return *FItems; }

  void CreateMembers() override;
  void Load(const TXmlNode& Node) override;
  void Save(const TXmlNode& Node) const override;

 protected:
  TSwoConfig();

 private:
  std::unique_ptr<TStrings> FItems;
};

// The sorter: the root of the model.
class TSortwise : public TSwoObject {
 public:
  class TItemList : public brv::TbrvObjectList<TSwoStore> {
   public:
    TItemList() : TbrvObjectList(false) {}

   private:
    friend class TSortwise;
  };

  // Asked by Execute before each move: true lets it go ahead. Empty lets every move.
  using TSwoCallback = std::function<bool(outlook::_MailItem& Item)>;

  static TSortwise* Create();
  ~TSortwise() override;

  int32_t Count() const { return FItems->Count(); }
  TSwoConfig& Config() const { return *FConfig; }
  TSwoStore* GetItem(int32_t Index) const { return FItems->GetItem(Index); }
  // By store Id: exact equality, last to first; null when none is equal.
  TSwoStore* GetItem(std::u16string_view Id) const;
  TSwoStore* Items(int32_t Index) const { return GetItem(Index); }
  TSwoStore* Items(std::u16string_view Id) const { return GetItem(Id); }

  // Application_: read through ResolveApplication; the write stores the reference (the add-in
  // sets it at start-up and clears it at shut-down).
  outlook::Ref<outlook::_Application> Application_() { return ResolveApplication(); }
  void SetApplication_(outlook::Ref<outlook::_Application> Value) { FApplication = std::move(Value); }

  // On the main thread (or without a source) the reference handed over, when there is one;
  // else the running Outlook; else, on a thread other than the main one, a new instance; else
  // FApplication (possibly null). The running and new instances come from the source.
  outlook::Ref<outlook::_Application> ResolveApplication() override;
  // Where the running Outlook and new instances come from (COM on Windows); none by default.
  void SetApplicationSource(std::shared_ptr<TSwoApplicationSource> Source);

  // The default inbox of the profile; raises without Outlook.
  outlook::Ref<outlook::MAPIFolder> Inbox_();
  // Lets the user pick a folder and registers it; null when the user cancels.
  TSwoFolder* Add();
  // Registers olFolder as a target folder, or returns the one that stands for it already.
  // The default inbox raises ESortwise "Inbox cannot be added" (E_FAIL).
  TSwoFolder* Add(outlook::MAPIFolder& olFolder);
  // Adds a line (address, entry) per address entry: stores, folders, entries in list order.
  void GetEntryList(TSwoEntryIndex& Entries) const;

  // The clean-up run over the default inbox; Callback (may be empty) is asked before each move.
  // Failures of single mails go to the debugger output as "ERROR: " lines; errors before the
  // walk, and a subject that cannot be read for such a line, leave Execute.
  void Execute(const TSwoCallback& Callback);
  // The same, telling Observer what happened to each inbox position; Observer can end the
  // walk before any position.
  void Execute(const TSwoCallback& Callback, TSwoRunObserver& Observer);
  void ChildNotify(TSwoObject* Item, bool Inserted) override;
  void CreateMembers() override;
  void Load(const TXmlNode& Node) override;
  void Save(const TXmlNode& Node) const override;

  // Parses the file and loads the model from its document element, whatever its name. Errors:
  // EbrvXml for a file that cannot be read or is not well-formed XML (the model is unchanged);
  // EConvertError or EbrvXml for a bad element (what was read before stays).
  void Load(const std::u16string& Filename);
  // Writes the model as a new document "Sortwise" to Filename, replacing the file in one step;
  // a failure raises EbrvXml and leaves the previous file as it was. The folder must exist.
  void Save(const std::u16string& Filename) const;

 protected:
  TSortwise();

 private:
  void ProcessItem(outlook::MAPIFolder& Inbox, const TSwoEntryIndex& Index, int32_t Position,
                   const TSwoCallback& Callback, TSwoRunObserver& Observer);

  // Frees all store entries, the last first (see FreeChildren in sortwise.cpp).
  void FreeItems();

  outlook::Ref<outlook::_Application> FApplication;
  std::shared_ptr<TSwoApplicationSource> FApplicationSource;
  std::unique_ptr<TSwoConfig> FConfig;
  std::unique_ptr<TItemList> FItems;
  bool FFreeingItems = false;
};

}  // namespace swo
