// The options-file parser over any text: sections are unique without regard to case, every
// key is found under its section, and a lookup gives the first key of that name.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "platform/components/Persistent.h"
#include "skin/data/sOptionsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TsOptionsFile options(text);
  const auto& sections = options.Sections();
  for (size_t i = 0; i < sections.size(); ++i) {
    if (options.FindSection(sections[i].Name) != &sections[i]) std::abort();
    std::set<std::string> seen;
    for (const TsOptionsFile::TKey& key : sections[i].Keys) {
      if (key.Name.find('\n') != std::string::npos || key.Value.find('\n') != std::string::npos) std::abort();
      const std::string upper = UpperCase(key.Name);
      // Lookups are linear: a few hundred keys of a section are checked, not all of a big one.
      if (seen.count(upper) || seen.size() >= 256) continue;
      seen.insert(upper);
      if (options.Find(sections[i].Name, key.Name) != &key.Value) std::abort();
    }
  }
  return 0;
}
