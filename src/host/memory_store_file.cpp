#include "host/memory_store_file.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "foundation/text.h"
#include "host/memory_shared.h"
#include "platform/xml.h"

namespace outlook {
namespace {

using brv::platform::TbrvXmlDocument;
using brv::platform::TbrvXmlNode;
using brv::platform::TbrvXmlNodeKind;

constexpr std::u16string_view kItemElements[] = {u"mail", u"meeting-request", u"report"};

// An element's path for a message: element names cut to a readable length, and the steps
// between the store and the last few left out when the element is deep down.
std::u16string ElementPath(const TbrvXmlNode& Node) {
  constexpr size_t kHead = 2, kTail = 4;
  std::vector<std::u16string> steps;
  const std::u16string path = Node.Path();
  for (size_t start = 1; start <= path.size();) {
    const size_t end = std::min(path.find(u'/', start), path.size());
    steps.push_back(MessageText(std::u16string_view(path).substr(start, end - start)));
    start = end + 1;
  }
  std::u16string shown;
  for (size_t i = 0; i < steps.size(); ++i) {
    if (i == kHead && steps.size() > kHead + kTail + 1) {
      shown += u"/\u2026";
      i = steps.size() - kTail;
    }
    shown += u"/" + steps[i];
  }
  return shown;
}

// "<file>: element <path>": where a message about Node starts.
std::u16string Where(const TbrvXmlNode& Node) {
  const std::u16string source = Node.SourceName();
  return (source.empty() ? std::u16string() : source + u": ") + u"element " + ElementPath(Node);
}

[[noreturn]] void Fail(const TbrvXmlNode& Node, std::u16string_view What) {
  throw EMailboxFile(kMailboxInvalid, Where(Node) + u": " + std::u16string(What));
}

std::u16string Quoted(std::u16string_view Text) {
  std::u16string Result(1, u'"');
  Result += MessageText(Text);
  Result += u'"';
  return Result;
}

// An element's attributes, read with the check that it has no others.
class TAttributes {
 public:
  TAttributes(const TbrvXmlNode& Node, std::initializer_list<std::u16string_view> Known) : FNode(Node) {
    for (const auto& [name, value] : Node.Attributes()) {
      bool known = false;
      for (const auto k : Known) known = known || k == name;
      if (!known) Fail(Node, u"unknown attribute " + MessageText(name));
    }
  }

  std::optional<std::u16string> Get(std::u16string_view Name) const { return FNode.Attribute(Name); }

  std::u16string Text(std::u16string_view Name) const { return Get(Name).value_or(std::u16string()); }

  std::u16string Required(std::u16string_view Name) const {
    auto value = Get(Name);
    if (!value || value->empty()) Fail(FNode, u"attribute " + std::u16string(Name) + u" is missing or empty");
    return *value;
  }

  TMemoryValue Typed(std::u16string_view Name, TMemoryValue::TType Type, TMemoryValue Default) const {
    const auto text = Get(Name);
    if (!text) return Default;
    auto value = ParseValue(Type, *text);
    if (!value)
      Fail(FNode, u"attribute " + std::u16string(Name) + u" is " + Quoted(*text) + u", not a " +
                      std::u16string(ValueTypeName(Type)) + FormHint(Type));
    return *value;
  }

  bool Boolean(std::u16string_view Name) const {
    return Typed(Name, TMemoryValue::TType::Boolean, TMemoryValue::Boolean(false)) ==
           TMemoryValue::Boolean(true);
  }

  TOleDate Date(std::u16string_view Name, TOleDate Default) const {
    const auto text = Get(Name);
    if (!text) return Default;
    const auto value = ParseOleDate(*text);
    if (!value)
      Fail(FNode, u"attribute " + std::u16string(Name) + u" is " + Quoted(*text) + u", not a date" +
                      FormHint(TMemoryValue::TType::Date));
    return *value;
  }

  static std::u16string FormHint(TMemoryValue::TType Type) {
    switch (Type) {
      case TMemoryValue::TType::Boolean:
        return u" (True or False)";
      case TMemoryValue::TType::Date:
        return u" (YYYY-MM-DD or YYYY-MM-DD hh:mm:ss)";
      default:
        return {};
    }
  }

 private:
  const TbrvXmlNode& FNode;
};

// Structural elements hold elements and comments; text other than white space is a mistake.
void CheckNoText(const TbrvXmlNode& Node) {
  for (const auto& child : Node.ChildNodes()) {
    const auto kind = child.Kind();
    if ((kind == TbrvXmlNodeKind::Text || kind == TbrvXmlNodeKind::CData) &&
        !brv::Trim(child.Value()).empty())
      Fail(Node, u"unexpected text " + Quoted(brv::Trim(child.Value())));
  }
}

// Runs Body, turning the store's refusal (a name or identifier in use) into a file error.
template <class F>
auto Adding(const TbrvXmlNode& Node, F&& Body) {
  try {
    return Body();
  } catch (const EMailboxFile&) {
    throw;
  } catch (const brv::EbrvObject& e) {
    Fail(Node, e.Message());
  }
}

TMemoryProperty ReadProperty(const TbrvXmlNode& Node, bool Custom) {
  CheckNoText(Node);
  if (!Node.Elements().empty()) Fail(Node, u"a property has no child elements");
  const TAttributes attributes(Node, {u"name", u"type", u"value"});
  TMemoryProperty property;
  property.Name = attributes.Required(u"name");
  if (!Custom && IsFixedPropertyName(property.Name))
    Fail(Node,
         u"the built-in property " + MessageText(property.Name) + u" is given by the item's own attribute");
  const std::u16string typeName = attributes.Get(u"type").value_or(u"text");
  const auto type = ValueTypeFromName(typeName);
  if (!type)
    Fail(Node, u"unknown type " + Quoted(typeName) + u" (null, text, integer, double, boolean, date)");
  const auto text = attributes.Get(u"value");
  if (*type == TMemoryValue::TType::Null) {
    if (text) Fail(Node, u"a null property has no value attribute");
    return property;
  }
  if (!text) Fail(Node, u"attribute value is missing");
  auto value = ParseValue(*type, *text);
  if (!value) Fail(Node, u"value " + Quoted(*text) + u" is not a " + typeName + TAttributes::FormHint(*type));
  property.Value = std::move(*value);
  return property;
}

TMemorySender ReadSender(const TbrvXmlNode& Node) {
  CheckNoText(Node);
  if (!Node.Elements().empty()) Fail(Node, u"a sender has no child elements");
  const TAttributes attributes(Node, {u"type", u"address", u"name", u"exchange-user"});
  TMemorySender sender;
  sender.Type = attributes.Text(u"type");
  sender.Address = attributes.Text(u"address");
  sender.Name = attributes.Text(u"name");
  sender.ExchangeUser = attributes.Get(u"exchange-user");
  return sender;
}

TMemoryItemData ReadItem(const TbrvXmlNode& Node, TMemoryItemKind Kind) {
  CheckNoText(Node);
  const TAttributes attributes(
      Node, {u"id", u"subject", u"received", u"unread", u"marked-as-task", u"task-completed", u"categories"});
  TMemoryItemData data;
  data.Kind = Kind;
  data.EntryID = attributes.Text(u"id");
  data.Subject = attributes.Text(u"subject");
  data.ReceivedTime = attributes.Date(u"received", 0);
  data.UnRead = attributes.Boolean(u"unread");
  data.IsMarkedAsTask = attributes.Boolean(u"marked-as-task");
  data.TaskCompletedDate = attributes.Date(u"task-completed", kNoDate);
  data.Categories = attributes.Text(u"categories");
  bool hasSender = false;
  for (const auto& child : Node.Elements()) {
    const std::u16string name = child.Name();
    if (name == u"sender") {
      if (hasSender) Fail(child, u"an item has one sender");
      hasSender = true;
      data.Sender = ReadSender(child);
    } else if (name == u"property" || name == u"user-property") {
      const bool custom = name == u"user-property";
      auto property = ReadProperty(child, custom);
      auto& list = custom ? data.Custom : data.BuiltIn;
      for (const auto& other : list)
        if (brv::SameText(other.Name, property.Name))
          Fail(child, u"the property " + MessageText(property.Name) + u" is given twice");
      list.push_back(std::move(property));
    } else {
      Fail(child,
           u"unknown element <" + MessageText(name) + u"> in an item (sender, property, user-property)");
    }
  }
  return data;
}

// The subfolders and items of Folder's element; InboxPath receives the path of the element of
// the folder marked inbox="True".
void ReadContents(const TbrvXmlNode& Node, TMemoryFolder& Folder, TMemoryOutlook& Outlook,
                  std::u16string& InboxPath) {
  CheckNoText(Node);
  for (const auto& child : Node.Elements()) {
    const std::u16string name = child.Name();
    if (name == u"folder") {
      // Refused before going down: a file nested deeper than any mailbox must not exhaust the stack.
      if (Folder.Depth() >= kMaxFolderDepth)
        Fail(child, u"folders are nested more than " +
                        TMemoryValue::Integer(static_cast<int64_t>(kMaxFolderDepth)).ToText() +
                        u" levels deep");
      const TAttributes attributes(child, {u"name", u"id", u"inbox"});
      auto folder = Adding(
          child, [&] { return Folder.AddFolder(attributes.Required(u"name"), attributes.Text(u"id")); });
      if (attributes.Boolean(u"inbox")) {
        if (!InboxPath.empty()) Fail(child, u"only one folder is the inbox; " + InboxPath + u" is already");
        InboxPath = ElementPath(child);
        Outlook.SetDefaultInbox(folder);
      }
      ReadContents(child, *folder, Outlook, InboxPath);
      continue;
    }
    size_t kind = 0;
    while (kind < std::size(kItemElements) && kItemElements[kind] != name) ++kind;
    if (kind == std::size(kItemElements))
      Fail(child, u"unknown element <" + MessageText(name) +
                      u"> in a folder (folder, mail, meeting-request, report)");
    auto data = ReadItem(child, static_cast<TMemoryItemKind>(kind));
    Adding(child, [&] { return Folder.AddItem(std::move(data)); });
  }
}

Ref<TMemoryOutlook> ReadMailbox(const TbrvXmlDocument& Document, std::u16string_view SourceName) {
  const TbrvXmlNode root = Document.DocumentElement();
  if (!root)
    throw EMailboxFile(kMailboxInvalid, std::u16string(SourceName) + u": the file has no <mailbox> element");
  if (root.Name() != u"mailbox") Fail(root, u"the document element of a mailbox file is <mailbox>");
  const TAttributes attributes(root, {u"profile"});
  auto outlook = TMemoryOutlook::Create(attributes.Get(u"profile").value_or(u"Outlook"));
  CheckNoText(root);
  std::u16string inboxPath;
  for (const auto& node : root.Elements()) {
    if (node.Name() != u"store")
      Fail(node, u"unknown element <" + MessageText(node.Name()) + u"> in <mailbox> (store)");
    const TAttributes store(node, {u"name", u"id", u"root-id"});
    auto folder = Adding(node, [&] {
      return outlook->AddStore(store.Required(u"name"), store.Text(u"id"), store.Text(u"root-id"));
    });
    ReadContents(node, *folder, *outlook, inboxPath);
  }
  return outlook;
}

void WriteValue(TbrvXmlNode& Node, const TMemoryProperty& Property) {
  Node.SetAttribute(u"name", Property.Name);
  if (Property.Value.Type() != TMemoryValue::TType::Text)
    Node.SetAttribute(u"type", ValueTypeName(Property.Value.Type()));
  if (!Property.Value.IsNull()) Node.SetAttribute(u"value", Property.Value.ToText());
}

void WriteItem(TbrvXmlNode& Parent, const TMemoryItemData& Data) {
  TbrvXmlNode node = Parent.AppendElement(kItemElements[static_cast<size_t>(Data.Kind)]);
  node.SetAttribute(u"id", Data.EntryID);
  node.SetAttribute(u"subject", Data.Subject);
  if (Data.ReceivedTime != 0) node.SetAttribute(u"received", FormatOleDate(Data.ReceivedTime));
  if (Data.UnRead) node.SetAttribute(u"unread", u"True");
  if (Data.IsMarkedAsTask) node.SetAttribute(u"marked-as-task", u"True");
  if (Data.TaskCompletedDate != kNoDate)
    node.SetAttribute(u"task-completed", FormatOleDate(Data.TaskCompletedDate));
  if (!Data.Categories.empty()) node.SetAttribute(u"categories", Data.Categories);
  const TMemorySender& sender = Data.Sender;
  if (sender != TMemorySender()) {
    TbrvXmlNode element = node.AppendElement(u"sender");
    if (!sender.Type.empty()) element.SetAttribute(u"type", sender.Type);
    if (!sender.Address.empty()) element.SetAttribute(u"address", sender.Address);
    if (!sender.Name.empty()) element.SetAttribute(u"name", sender.Name);
    if (sender.ExchangeUser) element.SetAttribute(u"exchange-user", *sender.ExchangeUser);
  }
  for (const auto& property : Data.BuiltIn) {
    TbrvXmlNode element = node.AppendElement(u"property");
    WriteValue(element, property);
  }
  for (const auto& property : Data.Custom) {
    TbrvXmlNode element = node.AppendElement(u"user-property");
    WriteValue(element, property);
  }
}

void WriteContents(TbrvXmlNode& Node, const TMemoryFolder& Folder, const TMemoryFolder* Inbox) {
  for (const auto& item : Folder.Contents()) WriteItem(Node, item->Data());
  for (const auto& sub : Folder.Folders()) {
    TbrvXmlNode element = Node.AppendElement(u"folder");
    element.SetAttribute(u"name", sub->DisplayName());
    element.SetAttribute(u"id", sub->Id());
    if (sub.get() == Inbox) element.SetAttribute(u"inbox", u"True");
    WriteContents(element, *sub, Inbox);
  }
}

TbrvXmlDocument WriteMailbox(const TMemoryOutlook& Outlook) {
  TbrvXmlDocument document;
  TbrvXmlNode root = document.CreateDocumentElement(u"mailbox");
  root.SetAttribute(u"profile", Outlook.ProfileName());
  const auto inbox = Outlook.DefaultInbox();
  for (const auto& store : Outlook.Stores()) {
    TbrvXmlNode element = root.AppendElement(u"store");
    element.SetAttribute(u"name", store->DisplayName());
    element.SetAttribute(u"id", store->StoreId());
    element.SetAttribute(u"root-id", store->Id());
    WriteContents(element, *store, inbox.get());
  }
  return document;
}

}  // namespace

Ref<TMemoryOutlook> LoadMailbox(const std::u16string& Filename) {
  return ReadMailbox(TbrvXmlDocument::LoadFromFile(Filename), Filename);
}

Ref<TMemoryOutlook> ParseMailbox(std::string_view Bytes, std::u16string_view SourceName) {
  return ReadMailbox(TbrvXmlDocument::Parse(Bytes, SourceName), SourceName);
}

void SaveMailbox(const TMemoryOutlook& Outlook, const std::u16string& Filename) {
  WriteMailbox(Outlook).SaveToFile(Filename);
}

std::string MailboxToBytes(const TMemoryOutlook& Outlook) { return WriteMailbox(Outlook).SaveToBytes(); }

}  // namespace outlook
