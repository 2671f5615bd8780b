#include "ribbon_markup.h"

namespace standin {

namespace {

struct TTag {
  std::u16string Name;
  std::map<std::u16string, std::u16string> Attributes;
  bool Closing = false;      // </name>
  bool SelfClosing = false;  // <name ... />
};

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string Unescape(const std::u16string& Text) {
  static const std::pair<std::u16string, char16_t> kEntities[] = {
      {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&amp;", u'&'}, {u"&quot;", u'"'}, {u"&apos;", u'\''}};
  std::u16string out;
  for (size_t i = 0; i < Text.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities)
      if (Text.compare(i, entity.size(), entity) == 0) {
        out += c;
        i += entity.size();
        replaced = true;
        break;
      }
    if (!replaced) out += Text[i++];
  }
  return out;
}

// Reads the tag starting at Text[Pos] == '<'; Pos ends behind its '>'.
std::optional<TTag> ReadTag(const std::u16string& Text, size_t& Pos, std::u16string& Error) {
  TTag tag;
  size_t i = Pos + 1;
  if (i < Text.size() && (Text[i] == u'?' || Text[i] == u'!')) {
    const size_t end = Text.find(u'>', i);
    if (end == std::u16string::npos) return Error = u"unterminated declaration", std::nullopt;
    Pos = end + 1;
    return tag;
  }
  if (i < Text.size() && Text[i] == u'/') {
    tag.Closing = true;
    ++i;
  }
  while (i < Text.size() && !IsSpace(Text[i]) && Text[i] != u'>' && Text[i] != u'/') tag.Name += Text[i++];
  for (;;) {
    while (i < Text.size() && IsSpace(Text[i])) ++i;
    if (i >= Text.size()) return Error = u"unterminated tag <" + tag.Name, std::nullopt;
    if (Text[i] == u'>') break;
    if (Text.compare(i, 2, u"/>") == 0) {
      tag.SelfClosing = true;
      ++i;
      break;
    }
    std::u16string name;
    while (i < Text.size() && Text[i] != u'=' && !IsSpace(Text[i]) && Text[i] != u'>') name += Text[i++];
    if (i + 1 >= Text.size() || Text[i] != u'=' || (Text[i + 1] != u'"' && Text[i + 1] != u'\''))
      return Error = u"attribute " + name + u" without quoted value", std::nullopt;
    const char16_t quote = Text[i + 1];
    const size_t end = Text.find(quote, i + 2);
    if (end == std::u16string::npos) return Error = u"unterminated value of " + name, std::nullopt;
    tag.Attributes[name] = Unescape(Text.substr(i + 2, end - i - 2));
    i = end + 1;
  }
  Pos = i + 1;
  return tag;
}

}  // namespace

std::optional<TRibbonMarkup> ReadRibbonMarkup(const std::u16string& Markup, std::u16string& Error) {
  TRibbonMarkup result;
  std::vector<std::u16string> open;
  size_t pos = 0;
  while ((pos = Markup.find(u'<', pos)) != std::u16string::npos) {
    std::optional<TTag> tag = ReadTag(Markup, pos, Error);
    if (!tag) return std::nullopt;
    if (tag->Name.empty()) continue;
    if (tag->Closing) {
      if (open.empty() || open.back() != tag->Name)
        return Error = u"unbalanced </" + tag->Name + u">", std::nullopt;
      open.pop_back();
      continue;
    }
    if (tag->Name == u"customUI") result.OnLoad = tag->Attributes[u"onLoad"];
    if (tag->Name == u"group")
      result.Groups.push_back({tag->Attributes[u"id"], tag->Attributes[u"label"], {}});
    if (tag->Name == u"button") {
      if (result.Groups.empty()) return Error = u"button outside a group", std::nullopt;
      result.Groups.back().Buttons.push_back({tag->Attributes});
    }
    if (!tag->SelfClosing) open.push_back(tag->Name);
  }
  if (!open.empty()) return Error = u"unclosed <" + open.back() + u">", std::nullopt;
  return result;
}

}  // namespace standin
