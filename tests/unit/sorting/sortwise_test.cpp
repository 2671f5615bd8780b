// The rule model.
#include "sorting/sortwise.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "foundation/text.h"
#include "model_dump.h"
#include "sorting/number.h"

namespace swo {
namespace {

using ::testing::ElementsAre;

std::string U8(std::u16string_view Text) { return brv::Utf16ToUtf8(Text); }

std::vector<std::string> Addresses(const TSwoFolder& Folder) {
  std::vector<std::string> result;
  for (int32_t i = 0; i < Folder.Count(); ++i) result.push_back(U8(Folder.GetItem(i)->Address()));
  return result;
}

std::vector<std::string> Lines(const TStrings& Strings) {
  std::vector<std::string> result;
  for (int32_t i = 0; i < Strings.Count(); ++i) result.push_back(U8(Strings.GetLine(i)));
  return result;
}

void ExpectListError(const std::function<void()>& Action) {
  try {
    Action();
    ADD_FAILURE() << "no EbrvList";
  } catch (const brv::EbrvList& e) {
    EXPECT_EQ(e.ErrorCode(), brv::kE_INVALIDARG);
  }
}

class ModelTest : public ::testing::Test {
 protected:
  std::unique_ptr<TSortwise> Sorter{TSortwise::Create()};
  TSwoStore* Store = TSwoStore::Create(Sorter.get(), u"STORE", u"");
  TSwoFolder* Folder = TSwoFolder::Create(Store, u"FOLDER", u"Invoices");
};

TEST_F(ModelTest, ChildrenJoinTheirOwnersListOnCreation) {
  EXPECT_EQ(Sorter->Count(), 1);
  EXPECT_EQ(Sorter->GetItem(0), Store);
  EXPECT_EQ(Store->Count(), 1);
  EXPECT_EQ(Store->GetItem(0), Folder);
  EXPECT_EQ(Folder->Owner(), Store);
  EXPECT_EQ(Store->Owner(), Sorter.get());
  EXPECT_EQ(Sorter->Owner(), nullptr);
  EXPECT_EQ(Sorter->Config().Owner(), nullptr);
  EXPECT_EQ(Sorter->Name(), u"");
  TSwoEntry* entry = Folder->Add(u"a@example.com");
  EXPECT_EQ(entry->Owner(), Folder);
  EXPECT_EQ(Folder->Count(), 1);
  EXPECT_EQ(entry->Count(), 0);
}

TEST_F(ModelTest, EntriesAreSortedByAddressIgnoringAsciiCaseAndTheLaterOfEqualsComesFirst) {
  TSwoEntry* lower = Folder->Add(u"abc");
  Folder->Add(u"zeta");
  Folder->Add(u"*");
  Folder->Add(u"Beta");
  TSwoEntry* upper = Folder->Add(u"ABC");
  EXPECT_THAT(Addresses(*Folder), ElementsAre("*", "ABC", "abc", "Beta", "zeta"));
  // The text lookup is exact and case-sensitive although the order is not.
  EXPECT_EQ(Folder->GetItem(u"ABC"), upper);
  EXPECT_EQ(Folder->GetItem(u"abc"), lower);
  EXPECT_EQ(Folder->GetItem(u"Abc"), nullptr);
  EXPECT_EQ(Folder->Items(u"abc"), lower);
}

TEST_F(ModelTest, TextLookupTakesTheEqualElementAtTheHighestPosition) {
  TSwoEntry* first = Folder->Add(u"same");
  TSwoEntry* second = Folder->Add(u"same");  // goes in front of first
  ASSERT_EQ(Folder->GetItem(0), second);
  EXPECT_EQ(Folder->GetItem(u"same"), first);
}

TEST_F(ModelTest, LookupsByPositionRaiseOutsideTheListAndTextLooksUpKeys) {
  Folder->Add(u"0");
  Folder->Add(u"x");
  ExpectListError([&] { Folder->GetItem(-1); });
  ExpectListError([&] { Folder->GetItem(2); });
  ExpectListError([&] { Store->GetItem(1); });
  ExpectListError([&] { Sorter->GetItem(-1); });
  EXPECT_EQ(Folder->GetItem(u"nothing"), nullptr);
  // Text that looks like a number is a key, not a position.
  EXPECT_EQ(Folder->GetItem(u"0"), Folder->GetItem(0));
  EXPECT_EQ(Folder->GetItem(u"1"), nullptr);
  // A Boolean is a position.
  EXPECT_EQ(Folder->GetItem(true), Folder->GetItem(1));
}

TEST_F(ModelTest, StoresAndFoldersAreFoundByIdExactly) {
  TSwoFolder* other = TSwoFolder::Create(Store, u"folder", u"Archive");
  TSwoStore* second = TSwoStore::Create(Sorter.get(), u"store", u"");
  EXPECT_EQ(Store->GetItem(u"FOLDER"), Folder);
  EXPECT_EQ(Store->GetItem(u"folder"), other);
  EXPECT_EQ(Store->GetItem(u"Folder"), nullptr);
  EXPECT_EQ(Store->GetItem(u"Invoices"), nullptr) << "names are no keys of the lookup";
  EXPECT_EQ(Sorter->GetItem(u"STORE"), Store);
  EXPECT_EQ(Sorter->GetItem(u"store"), second);
  EXPECT_EQ(Sorter->GetItem(u"0"), nullptr);
  // Folders sort by name, stores by name (all empty: the later one first).
  EXPECT_EQ(Store->GetItem(0), other);
  EXPECT_EQ(Sorter->GetItem(0), second);
}

TEST_F(ModelTest, StoreIdIsTheOwningStoresIdOrEmpty) {
  EXPECT_EQ(Folder->StoreId(), u"STORE");
  std::unique_ptr<TSwoFolder> alone(TSwoFolder::Create(nullptr, u"F", u"alone"));
  EXPECT_EQ(alone->StoreId(), u"");
  TSwoFolder* underSorter = TSwoFolder::Create(Sorter.get(), u"F", u"wrong owner");
  EXPECT_EQ(underSorter->StoreId(), u"");
  delete underSorter;
}

TEST_F(ModelTest, ChildNotifyIgnoresObjectsOfTheWrongClass) {
  std::unique_ptr<TSwoEntry> entryUnderStore(TSwoEntry::Create(Store, u"x"));
  std::unique_ptr<TSwoFolder> folderUnderSorter(TSwoFolder::Create(Sorter.get(), u"F", u"x"));
  EXPECT_EQ(Store->Count(), 1);
  EXPECT_EQ(Sorter->Count(), 1);
  EXPECT_EQ(entryUnderStore->Index(), -1) << "its owner is no target folder";
  entryUnderStore.reset();
  folderUnderSorter.reset();
  EXPECT_EQ(Store->Count(), 1);
  EXPECT_EQ(Sorter->Count(), 1);
}

TEST_F(ModelTest, FreeingAnEntryTakesItOutOfItsFolderAndKeepsTheOrder) {
  Folder->Add(u"a");
  TSwoEntry* b = Folder->Add(u"b");
  Folder->Add(u"c");
  delete b;
  EXPECT_THAT(Addresses(*Folder), ElementsAre("a", "c"));
  delete Store->GetItem(0);  // the folder, with its entries
  EXPECT_EQ(Store->Count(), 0);
}

TEST_F(ModelTest, EntryIndexIsTheFirstPositionOfItsAddress) {
  TSwoEntry* a = Folder->Add(u"a");
  TSwoEntry* x1 = Folder->Add(u"x");
  TSwoEntry* x2 = Folder->Add(u"X");
  EXPECT_EQ(a->Index(), 0);
  EXPECT_EQ(x2->Index(), 1);
  EXPECT_EQ(x1->Index(), 1) << "the bisection finds the first of equal addresses";
  std::unique_ptr<TSwoEntry> alone(TSwoEntry::Create(nullptr, u"a"));
  EXPECT_EQ(alone->Index(), -1);
}

TEST_F(ModelTest, EntryFiltersFollowTheNameValueRules) {
  TSwoEntry* entry = Folder->Add(u"a");
  entry->SetValue(u"Categories", u"Blue");
  entry->SetValue(u"Subject", u"a=b");
  EXPECT_THAT(Lines(entry->Properties()), ElementsAre("Categories=Blue", "Subject=a=b"));
  entry->SetValue(u"categories", u"Red");
  EXPECT_THAT(Lines(entry->Properties()), ElementsAre("categories=Red", "Subject=a=b"));
  EXPECT_EQ(entry->GetValue(u"SUBJECT"), u"a=b");
  EXPECT_EQ(entry->GetValue(u"missing"), u"");
  EXPECT_EQ(entry->GetName(1), u"Subject");
  EXPECT_EQ(entry->GetValue(0), u"Red");
  EXPECT_EQ(entry->GetValue(-1), u"");
  EXPECT_THROW(entry->GetValue(2), EStringListError);
  EXPECT_THROW(entry->GetName(2), EStringListError);
  EXPECT_THROW(entry->GetName(-1), EStringListError);
  entry->SetValue(1, u"new");
  EXPECT_THAT(Lines(entry->Properties()), ElementsAre("categories=Red", "Subject=new"));
  entry->SetValue(u"Categories", u"");
  EXPECT_EQ(entry->Count(), 1);
  EXPECT_THAT(Lines(entry->Properties()), ElementsAre("Subject=new"));
  entry->SetValue(0, u"");
  EXPECT_EQ(entry->Count(), 0);
  entry->SetValue(u"nothing", u"");
  EXPECT_EQ(entry->Count(), 0);
}

TEST(StringsTest, NamesCompareInTheLocaleWithoutRegardToCase) {
  TStrings lines;
  lines.SetValue(u"\u00C4nderung", u"1");
  lines.SetValue(u"\u00E4NDERUNG", u"2");
  EXPECT_THAT(Lines(lines), ElementsAre(U8(u"\u00E4NDERUNG=2")));
  try {
    lines.GetLine(5);
    ADD_FAILURE() << "no error";
  } catch (const EStringListError& e) {
    EXPECT_EQ(U8(e.Message()), "List index out of bounds (5)");
  }
}

TEST(ConfigTest, ValuesReadAsTextAndMissingOnesAsEmptyText) {
  std::unique_ptr<TSwoConfig> config(TSwoConfig::Create());
  EXPECT_EQ(config->Owner(), nullptr);
  EXPECT_EQ(config->Name(), u"");
  EXPECT_EQ(config->GetValue(kAutoFilter), u"");
  config->SetValue(kAutoFilter, u"30");
  config->SetValue(kDoOnlyRead, u"True");
  EXPECT_EQ(config->Count(), 2);
  EXPECT_EQ(config->GetValue(u"auto.filter"), u"30");
  EXPECT_EQ(config->GetValue(0), u"30");
  EXPECT_THROW(config->GetValue(2), EStringListError);
  EXPECT_THROW(config->GetValue(-1), EStringListError);
  config->SetValue(1, u"False");  // by position: the line's name
  EXPECT_EQ(config->GetValue(kDoOnlyRead), u"False");
  config->SetValue(0, u"");
  EXPECT_EQ(config->Count(), 1);
  EXPECT_THROW(config->SetValue(5, u"x"), EStringListError);
}

TEST(ConfigTest, AsBooleanReadsNumbersAndTrueOrFalse) {
  struct Case {
    std::u16string stored;
    bool expected;
  };
  const Case cases[] = {
      {u"1", true},      {u"0", false},     {u"no", false},    {u"TRUE", true},   {u"true", true},
      {u"tRuE", true},   {u"False", false}, {u"FALSE", false}, {u"yes", false},   {u"-2", true},
      {u"0.5", true},    {u"0.0", false},   {u" 1 ", true},    {u"+0", false},    {u"1e3", true},
      {u"0e5", false},   {u".5", true},     {u"1,5", false},   {u"1.2.3", false}, {u"0x1", false},
      {u" True", false}, {u"=", false},
  };
  std::unique_ptr<TSwoConfig> config(TSwoConfig::Create());
  EXPECT_FALSE(config->GetAsBoolean(kAutoEnabled)) << "a missing line";
  for (const Case& c : cases) {
    config->SetValue(kAutoEnabled, c.stored);
    EXPECT_EQ(config->GetAsBoolean(kAutoEnabled), c.expected) << U8(c.stored);
    EXPECT_EQ(config->GetAsBoolean(0), c.expected) << U8(c.stored);
  }
  config->SetAsBoolean(kIgnoreUnmarked, true);
  config->SetAsBoolean(kDoOnlyComplete, false);
  EXPECT_EQ(config->GetValue(kIgnoreUnmarked), u"True");
  EXPECT_EQ(config->GetValue(kDoOnlyComplete), u"False");
  config->SetAsBoolean(0, false);
  EXPECT_EQ(config->GetValue(kAutoEnabled), u"False");
  EXPECT_THROW(config->GetAsBoolean(9), EStringListError);
}

TEST(ConfigTest, SettingsKeysAreTheFiveOfTheTable) {
  EXPECT_EQ(kIgnoreUnmarked, u"IgnoreUnmarked");
  EXPECT_EQ(kDoOnlyRead, u"DoOnlyRead");
  EXPECT_EQ(kDoOnlyComplete, u"DoOnlyComplete");
  EXPECT_EQ(kAutoEnabled, u"Auto.Enabled");
  EXPECT_EQ(kAutoFilter, u"Auto.Filter");
}

TEST(ErrorTypesTest, ESortwiseAndEConvertErrorAreObjectErrorsOfTheirOwn) {
  try {
    ESortwise::Check(brv::kE_FAIL);
    ADD_FAILURE() << "no error";
  } catch (const brv::EbrvObject& e) {
    EXPECT_NE(dynamic_cast<const ESortwise*>(&e), nullptr);
    EXPECT_EQ(e.ErrorCode(), brv::kE_FAIL);
  }
  EXPECT_EQ(ESortwise::Check(brv::kS_FALSE), brv::kS_FALSE);
  const EConvertError convert(kDISP_E_TYPEMISMATCH, u"f.xml: element /a: the element has no text");
  const brv::EbrvObject& asObject = convert;
  EXPECT_EQ(asObject.ErrorCode(), static_cast<brv::TbrvResult>(0x80020005));
  EXPECT_EQ(dynamic_cast<const ESortwise*>(&asObject), nullptr);
}

TEST(NumberTest, ReadsDecimalNumbersWithTheGivenSeparator) {
  EXPECT_EQ(TextToNumber(u"1,5", u","), std::optional<double>(1.5));
  EXPECT_EQ(TextToNumber(u"1.5", u","), std::nullopt);
  EXPECT_EQ(TextToNumber(u"-2.5E+2", u"."), std::optional<double>(-250));
  EXPECT_EQ(TextToNumber(u"5.", u"."), std::optional<double>(5));
  EXPECT_EQ(TextToNumber(u"", u"."), std::nullopt);
  EXPECT_EQ(TextToNumber(u".", u"."), std::nullopt);
  EXPECT_EQ(TextToNumber(u"1e", u"."), std::nullopt);
  EXPECT_EQ(TextToNumber(u"1e999", u"."), std::nullopt);
  EXPECT_EQ(TextToNumber(u"inf", u"."), std::nullopt);
}

// Fakes of the Outlook operations that the model reaches.
class TFakeNameSpace : public outlook::_NameSpace {
 public:
  std::u16string CurrentProfileName() override { return u"Outlook"; }
  outlook::Ref<outlook::MAPIFolder> GetDefaultFolder(int32_t) override { return nullptr; }
  outlook::Ref<outlook::MAPIFolder> GetFolderFromID(const std::u16string&, const std::u16string&) override {
    return nullptr;
  }
  outlook::Ref<outlook::ItemObject> GetItemFromID(const std::u16string&, const std::u16string&) override {
    return nullptr;
  }
  outlook::Ref<outlook::MAPIFolder> PickFolder() override { return nullptr; }
};

class TFakeApplication : public outlook::_Application {
 public:
  outlook::Ref<outlook::_NameSpace> Session() override {
    ++SessionCalls;
    return NameSpace;
  }
  outlook::Ref<outlook::_NameSpace> NameSpace = std::make_shared<TFakeNameSpace>();
  int SessionCalls = 0;
};

TEST_F(ModelTest, EveryObjectReachesTheSortersApplicationThroughItsOwners) {
  TSwoEntry* entry = Folder->Add(u"a");
  EXPECT_EQ(entry->ResolveApplication(), nullptr);
  EXPECT_EQ(entry->GetNameSpace(), nullptr);
  auto application = std::make_shared<TFakeApplication>();
  Sorter->SetApplication_(application);
  EXPECT_EQ(Sorter->Application_(), application);
  EXPECT_EQ(entry->ResolveApplication(), application);
  EXPECT_EQ(Folder->GetNameSpace(), application->NameSpace);
  EXPECT_EQ(application->SessionCalls, 1);
  std::unique_ptr<TSwoEntry> alone(TSwoEntry::Create(nullptr, u"a"));
  EXPECT_EQ(alone->ResolveApplication(), nullptr);
  EXPECT_EQ(Sorter->Config().ResolveApplication(), nullptr) << "the settings have no owner";
  Sorter->SetApplication_(nullptr);
  EXPECT_EQ(entry->GetNameSpace(), nullptr);
}

// Records the order in which a tree is freed.
std::vector<std::string>* freed = nullptr;

class TTracedEntry : public TSwoEntry {
 public:
  static TTracedEntry* Create(TSwoObject* Owner, std::u16string Address) {
    return Construct(new TTracedEntry(Owner, std::move(Address)));
  }
  ~TTracedEntry() override {
    // When its folder frees it, the folder's list no longer holds it.
    bool listed = false;
    if (auto* folder = dynamic_cast<TSwoFolder*>(Owner())) {
      for (int32_t i = 0; i < folder->Count(); ++i) listed = listed || folder->GetItem(i) == this;
    }
    freed->push_back(U8(Address()) + (listed ? " listed" : " unlisted"));
  }

 protected:
  using TSwoEntry::TSwoEntry;
};

TEST(ModelLifetimeTest, AFolderFreesItsEntriesFromTheLastToTheFirst) {
  std::vector<std::string> order;
  freed = &order;
  {
    std::unique_ptr<TSwoFolder> folder(TSwoFolder::Create(nullptr, u"F", u"f"));
    TTracedEntry::Create(folder.get(), u"a");
    TTracedEntry::Create(folder.get(), u"b");
    TTracedEntry::Create(folder.get(), u"c");
  }
  EXPECT_THAT(order, ElementsAre("c unlisted", "b unlisted", "a unlisted"));
  freed = nullptr;
}

TEST(ModelLifetimeTest, AnEntryFreedByItsUserIsListedUntilItLeaves) {
  std::vector<std::string> order;
  freed = &order;
  std::unique_ptr<TSwoFolder> folder(TSwoFolder::Create(nullptr, u"F", u"f"));
  TTracedEntry* b = TTracedEntry::Create(folder.get(), u"b");
  TTracedEntry::Create(folder.get(), u"a");
  delete b;
  EXPECT_THAT(order, ElementsAre("b listed"));
  EXPECT_EQ(folder->Count(), 1);
  folder.reset();
  EXPECT_THAT(order, ElementsAre("b listed", "a unlisted"));
  freed = nullptr;
}

TEST(ModelLifetimeTest, FreeingTheSorterFreesTheWholeTree) {
  // The sanitizer build reports anything left behind.
  std::unique_ptr<TSortwise> sorter(TSortwise::Create());
  for (int s = 0; s < 3; ++s) {
    TSwoStore* store = TSwoStore::Create(sorter.get(), u"S" + std::u16string(1, u'0' + s), u"");
    for (int f = 0; f < 3; ++f) {
      TSwoFolder* folder = TSwoFolder::Create(store, u"F", u"f");
      for (int e = 0; e < 3; ++e) folder->Add(u"e")->SetValue(u"Categories", u"x");
    }
  }
  sorter->Config().SetValue(kAutoFilter, u"3");
  EXPECT_EQ(sorter->Count(), 3);
  sorter.reset();
}

}  // namespace
}  // namespace swo
