// Reads the parts of a custom-UI document the stand-in shows: the load callback, the groups and
// their buttons with every attribute. A small scanner for the markup add-ins give, not an XML
// parser: no comments, CDATA or entities beyond the five predefined ones.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace standin {

struct TRibbonButton {
  std::map<std::u16string, std::u16string> Attributes;
  std::u16string Attribute(const std::u16string& Name) const {
    const auto it = Attributes.find(Name);
    return it == Attributes.end() ? std::u16string() : it->second;
  }
};

struct TRibbonGroup {
  std::u16string Id;
  std::u16string Label;
  std::vector<TRibbonButton> Buttons;
};

struct TRibbonMarkup {
  std::u16string OnLoad;
  std::vector<TRibbonGroup> Groups;
};

// The document's content, or nothing with Error set when it is not well-formed enough to read.
std::optional<TRibbonMarkup> ReadRibbonMarkup(const std::u16string& Markup, std::u16string& Error);

}  // namespace standin
