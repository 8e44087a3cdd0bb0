// The options-file parser over any text: sections are unique without regard to case and found
// in any case, keys hold no line breaks, and a lookup gives the first key of a name.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/components/Persistent.h"
#include "skin/data/sOptionsFile.h"

namespace {
const TsOptionsFile::TKey& FirstOfName(const TsOptionsFile::TSection& section, const std::string& name) {
  for (const TsOptionsFile::TKey& key : section.Keys)
    if (SameText(key.Name, name)) return key;
  std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TsOptionsFile options(text);
  const auto& sections = options.Sections();
  for (const TsOptionsFile::TSection& section : sections) {
    if (options.FindSection(section.Name) != &section) std::abort();
    if (options.FindSection(UpperCase(section.Name)) != &section) std::abort();
    // The first key of a name is the one found; a later one of the same name never is.
    if (!section.Keys.empty()) {
      const TsOptionsFile::TKey& first = section.Keys.front();
      if (options.Find(UpperCase(section.Name), UpperCase(first.Name)) != &first.Value) std::abort();
      const TsOptionsFile::TKey& last = section.Keys.back();
      const std::string* found = options.Find(section.Name, last.Name);
      if (found != &FirstOfName(section, last.Name).Value) std::abort();
    }
    for (const TsOptionsFile::TKey& key : section.Keys)
      if (key.Name.find('\n') != std::string::npos || key.Value.find('\n') != std::string::npos) std::abort();
  }
  return 0;
}
