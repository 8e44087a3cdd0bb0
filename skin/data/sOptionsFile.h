#pragma once
// An options file ("Options.dat" of a skin folder) held in memory: sections in square brackets,
// then "KEY=value" lines. Names are matched without regard to case; sections and keys are
// listed in file order.
#include <string>
#include <unordered_map>
#include <vector>

class TsOptionsFile {
 public:
  struct TKey {
    std::string Name;
    std::string Value;
    int Line = 0;  // 1-based line of the file
  };
  struct TSection {
    std::string Name;
    std::vector<TKey> Keys;
    int Line = 0;  // where the section first starts
  };
  // A line that holds neither a section, a key nor a comment, or a key before any section.
  struct TIgnoredLine {
    int Line;
    std::string Text;
  };

  TsOptionsFile() = default;
  // Parses the text of a whole file. Lines are trimmed; empty lines, lines starting with ";"
  // and lines before the first section are skipped; so are lines without "=". A section
  // that comes again adds its keys to the first one; of two equal keys the first is read.
  explicit TsOptionsFile(const std::string& text);
  // Reads the whole file at once; throws std::runtime_error saying why it cannot be read.
  static TsOptionsFile FromFile(const std::string& path);

  const std::vector<TSection>& Sections() const { return FSections; }
  const std::vector<TIgnoredLine>& IgnoredLines() const { return FIgnored; }
  // Found through an index: a file of many sections is read in time linear in its size.
  const TSection* FindSection(const std::string& name) const;
  // The value of the key in the section, or null when either is missing.
  const std::string* Find(const std::string& section, const std::string& key) const;
  // The same as the key with its line: the first of that name.
  const TKey* FindKey(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;

  // Files larger than this are not skin options.
  static constexpr size_t kMaxFileSize = size_t(16) << 20;

 private:
  TSection* SectionByName(const std::string& name);

  std::vector<TSection> FSections;
  std::vector<TIgnoredLine> FIgnored;
  // Position in FSections by name folded to lower case, as SameText compares.
  std::unordered_map<std::string, size_t> FIndex;
};
