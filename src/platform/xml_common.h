// What the two backends of the XML seam share beyond platform/xml.h.
#pragma once

#include <string_view>

#include "platform/xml.h"

namespace brv::platform {

// Raises EbrvXml (kXmlInvalidCharacter) when Text holds a character XML cannot carry, naming
// Node, What and Name ("the attribute" and its name, or "the text" and none): the backends refuse
// such text before it enters a document, since pugixml would cut it at a NUL and no parser reads
// it back.
void RefuseCharactersXmlCannotCarry(const TbrvXmlNode& Node, std::u16string_view What,
                                    std::u16string_view Name, std::u16string_view Text);

}  // namespace brv::platform
