// The configuration file: Load and Save of every model class, and the file itself.
#include "sorting/sortwise.h"

namespace swo {

using brv::platform::EbrvXml;
using brv::platform::TbrvXmlDocument;

namespace {

constexpr std::u16string_view kName = u"name";
constexpr std::u16string_view kId = u"id";

// The children of an element join their owner's sorted list in bulk, so that a long list loads
// in O(n log n) whatever the order of the file, and end in the order adding them one by one
// gives. The list is put in order also when reading stops with an error: what was read stays in
// the model. (The model's comparisons never throw.)
template <class TList>
class TBulkLoad {
 public:
  explicit TBulkLoad(TList& List) : FList(List) { FList.BeginBulkAdd(); }
  TBulkLoad(const TBulkLoad&) = delete;
  TBulkLoad& operator=(const TBulkLoad&) = delete;
  ~TBulkLoad() { FList.EndBulkAdd(); }

 private:
  TList& FList;
};

// Text read from the file that XML cannot carry: the parsers refuse such characters, so this
// only makes sure that should one come through all the same, the message names the file and the
// element rather than the model refusing the text without saying where it came from.
void CheckCarried(const TXmlNode& Node, std::u16string_view What, std::u16string_view Text) {
  const size_t bad = brv::platform::FindCharacterXmlCannotCarry(Text);
  if (bad == std::u16string_view::npos) return;
  throw EbrvXml(brv::platform::kXmlInvalidCharacter,
                Node.Where() + u": " + std::u16string(What) + u" holds " +
                    brv::platform::CharacterName(Text[bad]) + u", a character XML cannot carry");
}

// The name of a filter or setting line: "=" ends a line's name, so a name holding one would
// come back from the next save and load as another name and value.
void CheckLineName(const TXmlNode& Node, const std::u16string& Name) {
  if (Name.find(u'=') == std::u16string::npos) return;
  throw EConvertError(kDISP_E_TYPEMISMATCH, Node.Where() + u": the name " + brv::platform::QuotedForMessage(Name) +
                                                u" holds \"=\", which no name of a filter or setting can hold");
}

}  // namespace

// --- reading helpers ---

std::u16string TSwoObject::ReadAttribute(const TXmlNode& Node, std::u16string_view Name) {
  std::optional<std::u16string> value = Node.Attribute(Name);
  if (!value) {
    throw EConvertError(kDISP_E_TYPEMISMATCH,
                        Node.Where() + u": the attribute \"" + std::u16string(Name) + u"\" is missing");
  }
  CheckCarried(Node, u"the attribute \"" + std::u16string(Name) + u"\"", *value);
  return std::move(*value);
}

std::u16string TSwoObject::ReadText(const TXmlNode& Node) {
  std::optional<std::u16string> text = Node.Text();  // EbrvXml unless a single text node or none
  if (!text || text->empty())
    throw EConvertError(kDISP_E_TYPEMISMATCH, Node.Where() + u": the element has no text");
  CheckCarried(Node, u"the text", *text);
  return std::move(*text);
}

// --- TSwoObject ---

void TSwoObject::Load(const TXmlNode& Node) { FName = ReadAttribute(Node, kName); }

void TSwoObject::Save(const TXmlNode& Node) const { Node.SetAttribute(kName, FName); }

// --- TSwoEntry ---

void TSwoEntry::Load(const TXmlNode& Node) {
  FName = ReadAttribute(Node, u"address");
  Reposition();
  FProperties->Clear();
  for (const TXmlNode& property : Node.Elements(u"property")) {
    const std::u16string name = ReadAttribute(property, kName);
    CheckLineName(property, name);
    FProperties->SetValue(name, ReadText(property));
  }
}

void TSwoEntry::Save(const TXmlNode& Node) const {
  Node.SetAttribute(u"address", Address());
  for (int32_t i = 0; i < FProperties->Count(); ++i) {
    const TXmlNode property = Node.AppendElement(u"property");
    property.SetAttribute(kName, FProperties->GetName(i));
    property.SetText(FProperties->GetValueFromIndex(i));
  }
}

// --- TSwoFolder ---

void TSwoFolder::Load(const TXmlNode& Node) {
  FId = ReadAttribute(Node, kId);
  TSwoObject::Load(Node);
  Reposition();
  FreeItems();
  const TBulkLoad bulk(*FItems);
  for (const TXmlNode& element : Node.Elements(u"entry"))
    TSwoEntry::Create(this, std::u16string())->Load(element);
}

void TSwoFolder::Save(const TXmlNode& Node) const {
  TSwoObject::Save(Node);
  Node.SetAttribute(kId, FId);
  for (int32_t i = 0; i < FItems->Count(); ++i) FItems->GetItem(i)->Save(Node.AppendElement(u"entry"));
}

// --- TSwoStore ---

void TSwoStore::Load(const TXmlNode& Node) {
  FId = ReadAttribute(Node, kId);
  TSwoObject::Load(Node);
  Reposition();
  FreeItems();
  const TBulkLoad bulk(*FItems);
  for (const TXmlNode& element : Node.Elements(u"folder")) {
    TSwoFolder::Create(this, std::u16string(), std::u16string())->Load(element);
  }
}

void TSwoStore::Save(const TXmlNode& Node) const {
  TSwoObject::Save(Node);
  Node.SetAttribute(kId, FId);
  for (int32_t i = 0; i < FItems->Count(); ++i) {
    const TSwoFolder* folder = FItems->GetItem(i);
    if (folder->Count() > 0) folder->Save(Node.AppendElement(u"folder"));
  }
}

// --- TSwoConfig ---

void TSwoConfig::Load(const TXmlNode& Node) {
  FItems->Clear();
  for (const TXmlNode& value : Node.Elements(u"value")) {
    const std::u16string name = ReadAttribute(value, kName);
    CheckLineName(value, name);
    FItems->SetValue(name, ReadText(value));
  }
}

void TSwoConfig::Save(const TXmlNode& Node) const {
  for (int32_t i = 0; i < FItems->Count(); ++i) {
    const TXmlNode value = Node.AppendElement(u"value");
    value.SetAttribute(kName, FItems->GetName(i));
    value.SetText(FItems->GetValueFromIndex(i));
  }
}

// --- TSortwise ---

void TSortwise::Load(const TXmlNode& Node) {
  FreeItems();
  const TBulkLoad bulk(*FItems);
  for (const TXmlNode& element : Node.Elements()) {
    const std::u16string name = element.Name();
    if (name == u"configuration") {
      FConfig->Load(element);
    } else if (name == u"store") {
      TSwoStore::Create(this, std::u16string(), std::u16string())->Load(element);
    }
  }
}

void TSortwise::Save(const TXmlNode& Node) const {
  Node.SetAttribute(u"version", u"1.0");
  FConfig->Save(Node.AppendElement(u"configuration"));
  for (int32_t i = 0; i < FItems->Count(); ++i) {
    const TSwoStore* store = FItems->GetItem(i);
    if (store->Count() > 0) store->Save(Node.AppendElement(u"store"));
  }
}

void TSortwise::Load(const std::u16string& Filename) {
  const TbrvXmlDocument document = TbrvXmlDocument::LoadFromFile(Filename);
  const TXmlNode root = document.DocumentElement();
  if (root) Load(root);
}

void TSortwise::Save(const std::u16string& Filename) const {
  TbrvXmlDocument document;
  Save(document.CreateDocumentElement(u"Sortwise"));
  document.SaveToFile(Filename);
}

}  // namespace swo
