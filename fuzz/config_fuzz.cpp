// The configuration file: whatever a file holds, loading either builds a model or refuses with
// an error that names the file, and it refuses what no well-formed file holds (bytes that are
// not the UTF-8 they claim to be, references to characters XML cannot carry). Whatever model a
// load leaves (also the part read before an error), saving it writes a file of characters XML
// can carry, which loads again to the same model. "The same" allows what the file format itself
// drops: folders without entries and stores without such folders are not written, and each load
// turns round the order of siblings whose keys compare equal.
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/text.h"
#include "fuzz_support.h"
#include "platform/xml.h"
#include "sorting/sortwise.h"

namespace {

using brv::platform::TbrvXmlDocument;
using swo::TSortwise;

// Parses Bytes and loads Sorter from the document element; a refusal comes back as the error.
template <class F>
void Load(TSortwise& Sorter, std::string_view Bytes, std::u16string_view Source, F&& OnError) {
  try {
    const TbrvXmlDocument document = TbrvXmlDocument::Parse(Bytes, Source);
    if (const auto root = document.DocumentElement()) Sorter.Load(root);
  } catch (const brv::Exception& e) {
    OnError(e);
  }
}

std::string Save(const TSortwise& Sorter) {
  TbrvXmlDocument document;
  Sorter.Save(document.CreateDocumentElement(u"Sortwise"));
  return document.SaveToBytes();
}

// Each list of the model stays sorted by its key (CompareText): lookups bisect it.
template <class Owner>
void CheckSorted(const Owner& List, std::u16string (*Key)(const Owner&, int32_t)) {
  for (int32_t i = 1; i < List.Count(); ++i)
    fuzz::Check(brv::CompareText(Key(List, i - 1), Key(List, i)) <= 0, "a list of the model is sorted by key",
                [&] { return fuzz::Utf8(Key(List, i - 1)) + " | " + fuzz::Utf8(Key(List, i)); });
}

// Children as (key, text); sorted by key and then by text, so that siblings of equal keys
// compare in any order.
using TBlocks = std::vector<std::pair<std::u16string, std::string>>;
std::string Joined(TBlocks Blocks) {
  std::sort(Blocks.begin(), Blocks.end(), [](const auto& L, const auto& R) {
    const int order = brv::CompareText(L.first, R.first);
    return order != 0 ? order < 0 : L.second < R.second;
  });
  std::string text;
  for (const auto& block : Blocks) text += block.second;
  return text;
}

// The model as text, as far as a file keeps it.
std::string Canonical(const TSortwise& Sorter) {
  std::string text = "config:";
  const swo::TStrings& lines = Sorter.Config().Lines();
  for (int32_t i = 0; i < lines.Count(); ++i) text += " [" + fuzz::Utf8(lines.GetLine(i)) + "]";
  text += "\n";
  CheckSorted<TSortwise>(Sorter, [](const TSortwise& S, int32_t I) { return S.GetItem(I)->Name(); });
  TBlocks stores;
  for (int32_t s = 0; s < Sorter.Count(); ++s) {
    const swo::TSwoStore& store = *Sorter.GetItem(s);
    CheckSorted<swo::TSwoStore>(store,
                                [](const swo::TSwoStore& S, int32_t I) { return S.GetItem(I)->Name(); });
    TBlocks folders;
    for (int32_t f = 0; f < store.Count(); ++f) {
      const swo::TSwoFolder& folder = *store.GetItem(f);
      if (folder.Count() == 0) continue;
      CheckSorted<swo::TSwoFolder>(
          folder, [](const swo::TSwoFolder& F, int32_t I) { return F.GetItem(I)->Address(); });
      TBlocks entries;
      for (int32_t e = 0; e < folder.Count(); ++e) {
        const swo::TSwoEntry& entry = *folder.GetItem(e);
        std::string block = "    entry \"" + fuzz::Utf8(entry.Address()) + "\"";
        for (int32_t p = 0; p < entry.Count(); ++p)
          block += " [" + fuzz::Utf8(entry.Properties().GetLine(p)) + "]";
        entries.emplace_back(entry.Address(), block + "\n");
      }
      folders.emplace_back(folder.Name(), "  folder \"" + fuzz::Utf8(folder.Name()) + "\" id=\"" +
                                              fuzz::Utf8(folder.Id()) + "\"\n" + Joined(std::move(entries)));
    }
    if (folders.empty()) continue;
    stores.emplace_back(store.Name(), "store \"" + fuzz::Utf8(store.Name()) + "\" id=\"" +
                                          fuzz::Utf8(store.Id()) + "\"\n" + Joined(std::move(folders)));
  }
  return text + Joined(std::move(stores));
}

// Every text of the model came out of a well-formed document, so XML can carry it.
void CheckModelText(const TSortwise& Sorter) {
  auto check = [](std::u16string_view Text) {
    fuzz::Check(fuzz::IsXmlText(Text), "the loader refuses characters XML cannot carry",
                [&] { return fuzz::Utf8(Text); });
  };
  const swo::TStrings& lines = Sorter.Config().Lines();
  for (int32_t i = 0; i < lines.Count(); ++i) check(lines.GetLine(i));
  for (int32_t s = 0; s < Sorter.Count(); ++s) {
    const swo::TSwoStore& store = *Sorter.GetItem(s);
    check(store.Name()), check(store.Id());
    for (int32_t f = 0; f < store.Count(); ++f) {
      const swo::TSwoFolder& folder = *store.GetItem(f);
      check(folder.Name()), check(folder.Id());
      for (int32_t e = 0; e < folder.Count(); ++e) {
        const swo::TSwoEntry& entry = *folder.GetItem(e);
        check(entry.Address());
        for (int32_t p = 0; p < entry.Count(); ++p) check(entry.Properties().GetLine(p));
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);

  const std::unique_ptr<TSortwise> loaded(TSortwise::Create());
  bool refused = false;
  Load(*loaded, bytes, fuzz::kSourceName, [&](const brv::Exception& e) {
    fuzz::CheckClearError(e);
    refused = true;
  });
  if (!refused && fuzz::ClaimsUtf8(bytes))
    fuzz::Check(fuzz::IsUtf8(bytes), "the loader refuses a file that is not UTF-8");
  if (!refused)
    fuzz::Check(!fuzz::HasIllegalReference(fuzz::MarkupCharacters(bytes)),
                "the loader refuses a reference to a character XML cannot carry");
  CheckModelText(*loaded);

  const std::string saved = Save(*loaded);
  fuzz::CheckWritable(saved, "a saved configuration holds only characters XML can carry");
  const std::unique_ptr<TSortwise> reloaded(TSortwise::Create());
  Load(*reloaded, saved, u"saved.xml", [&](const brv::Exception& e) {
    fuzz::Fail("a saved configuration loads again", fuzz::Utf8(e.Message()) + "\n--- saved:\n" + saved);
  });

  const std::string before = Canonical(*loaded), after = Canonical(*reloaded);
  fuzz::Check(before == after, "load, save, load gives the same model", [&] {
    return "--- loaded:\n" + before + "--- saved and loaded again:\n" + after + "--- saved:\n" + saved;
  });
  return 0;
}
