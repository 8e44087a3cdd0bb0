#include "skin/data/sOptionsFile.h"

#include <cerrno>
#include <cstdio>
#include <cctype>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

#include "platform/components/Persistent.h"

namespace {
std::string Trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

std::string Folded(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = char(std::tolower(static_cast<unsigned char>(c)));
  return r;
}
}  // namespace

TsOptionsFile::TsOptionsFile(const std::string& text) {
  TSection* current = nullptr;
  size_t start = 0;
  int number = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    ++number;
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string name = line.substr(1, line.size() - 2);
      current = SectionByName(name);
      if (!current) {
        FIndex.emplace(Folded(name), FSections.size());
        FSections.push_back({name, {}, number});
        current = &FSections.back();
      }
      continue;
    }
    const size_t eq = line.find('=');
    if (!current || eq == std::string::npos) {
      FIgnored.push_back({number, line});
      continue;
    }
    current->Keys.push_back({Trimmed(line.substr(0, eq)), Trimmed(line.substr(eq + 1)), number});
  }
}

TsOptionsFile TsOptionsFile::FromFile(const std::string& path) {
  struct TCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, TCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
  std::string text;
  char buffer[65536];
  for (;;) {
    const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
    text.append(buffer, n);
    if (text.size() > kMaxFileSize)
      throw std::runtime_error(path + " is too large for an options file (more than " +
                               std::to_string(kMaxFileSize >> 20) + " MB)");
    if (n < sizeof buffer) break;
  }
  if (std::ferror(file.get())) throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
  return TsOptionsFile(text);
}

const TsOptionsFile::TSection* TsOptionsFile::FindSection(const std::string& name) const {
  const auto it = FIndex.find(Folded(name));
  return it == FIndex.end() ? nullptr : &FSections[it->second];
}

TsOptionsFile::TSection* TsOptionsFile::SectionByName(const std::string& name) {
  return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

const TsOptionsFile::TKey* TsOptionsFile::FindKey(const std::string& section, const std::string& key) const {
  const TSection* s = FindSection(section);
  if (!s) return nullptr;
  for (const TKey& k : s->Keys)
    if (SameText(k.Name, key)) return &k;
  return nullptr;
}

const std::string* TsOptionsFile::Find(const std::string& section, const std::string& key) const {
  const TKey* k = FindKey(section, key);
  return k ? &k->Value : nullptr;
}

std::string TsOptionsFile::ReadString(const std::string& section, const std::string& key,
                                      const std::string& fallback) const {
  const std::string* v = Find(section, key);
  return v ? *v : fallback;
}
