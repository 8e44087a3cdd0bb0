#include "platform/display/sdl/UriList.h"

#include <cctype>
#include <strings.h>

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%XX" becomes the byte XX; a '%' not followed by two hexadecimal digits stays as it is.
std::string PercentDecoded(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      const int hi = HexValue(s[i + 1]), lo = HexValue(s[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += char(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// The local path a URI names, or the URI itself when it names none.
std::string FileOf(const std::string& uri, const std::string& hostname) {
  if (uri.size() < 5 || strncasecmp(uri.c_str(), "file:", 5) != 0) return uri;
  std::string rest = uri.substr(5);
  if (rest.rfind("//", 0) == 0) {
    const size_t slash = rest.find('/', 2);
    const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
    if (slash == std::string::npos) return uri;
    const bool local = host.empty() || strcasecmp(host.c_str(), "localhost") == 0 ||
                       (!hostname.empty() && strcasecmp(host.c_str(), hostname.c_str()) == 0);
    if (!local) return uri;
    rest = rest.substr(slash);
  }
  if (rest.empty() || rest[0] != '/') return uri;
  rest = rest.substr(0, rest.find_first_of("?#"));
  return PercentDecoded(rest);
}

}  // namespace

std::vector<std::string> FilesOfUriList(const std::string& list, const std::string& hostname) {
  std::vector<std::string> files;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find('\n', start);
    if (end == std::string::npos) end = list.size();
    std::string line = list.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Some sources end the list with a NUL.
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line[0] == '#') continue;
    files.push_back(FileOf(line, hostname));
  }
  return files;
}
