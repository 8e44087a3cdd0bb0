#include "skin/data/sSkinPaths.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/components/Persistent.h"

std::string ProgramFolder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return "./";
  std::string p(path, size_t(n));
  return p.substr(0, p.find_last_of("/\\") + 1);
}

std::string HomeFolder() {
  std::string home;
  if (const char* h = std::getenv("HOME"); h && *h) home = h;
  else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) home = pw->pw_dir;
  else home = "/";
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  return home;
}

std::string SkinFsPath(const std::string& path) {
  std::string p = path;
  const bool driveLetter = p.size() >= 2 && p[1] == ':' &&
                           ((p[0] >= 'a' && p[0] <= 'z') || (p[0] >= 'A' && p[0] <= 'Z'));
  if (driveLetter) {
    size_t rest = 2;
    while (rest < p.size() && (p[rest] == '\\' || p[rest] == '/')) ++rest;
    const std::string home = HomeFolder();
    p = (home == "/" ? std::string() : home) + "/" + p.substr(rest);
  }
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

std::string ResolveSkinDirectory(const std::string& dir, const std::string& app) {
  std::string result;
  if (dir.rfind("..", 0) == 0) {
    std::string base = app;
    if (!base.empty()) base.pop_back();
    while (!base.empty() && base.back() != '/' && base.back() != '\\') base.pop_back();
    result = base + (dir.size() > 3 ? dir.substr(3) : std::string());
  } else if (dir.rfind(".\\", 0) == 0 || dir.rfind("./", 0) == 0) {
    result = app + dir.substr(2);
  } else if (dir.find(':') == std::string::npos && !(dir.size() > 0 && dir[0] == '/')) {
    result = app + dir;
  } else {
    result = dir;
  }
  if (!result.empty() && result.back() == '\\') return result;
  if (!result.empty() && result.back() == '/') {
    result.back() = '\\';
    return result;
  }
  return result + "\\";
}

std::string ShippedSkinDirectory() { return ProgramFolder() + "../share/maruk-rom-viewer/skins/"; }

std::string SkinFilePath(const std::string& skinPath, const std::string& name) {
  return name.find(':') != std::string::npos ? name : skinPath + name;
}

bool SkinFileExists(const std::string& path) {
  struct stat st;
  return stat(SkinFsPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SkinDirExists(const std::string& path) {
  struct stat st;
  return stat(SkinFsPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {
// The entry of `folder` (a skin path ending with a separator) called `name`, matched exactly,
// else without regard to case; a folder when `wantFolder`, else a file. Empty when none.
std::string MatchEntry(const std::string& folder, const std::string& name, bool wantFolder) {
  auto fits = [&](const std::string& path) { return wantFolder ? SkinDirExists(path) : SkinFileExists(path); };
  if (fits(folder + name)) return name;
  DIR* d = opendir(SkinFsPath(folder).c_str());
  if (!d) return {};
  std::vector<std::string> matches;
  while (const dirent* e = readdir(d))
    if (SameText(e->d_name, name)) matches.push_back(e->d_name);
  closedir(d);
  std::sort(matches.begin(), matches.end());
  for (const std::string& m : matches)
    if (fits(folder + m)) return m;
  return {};
}
}  // namespace

std::string FindSkinFile(const std::string& skinPath, const std::string& name) {
  const std::string exact = SkinFilePath(skinPath, name);
  if (SkinFileExists(exact)) return exact;
  if (name.find(':') != std::string::npos || name.empty()) return {};
  std::string path = skinPath;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    const bool last = end == std::string::npos;
    if (last) end = name.size();
    const std::string part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty() && !last) continue;
    if (part == "." || part == "..") {
      path += part + "/";
      continue;
    }
    const std::string found = MatchEntry(path, part, !last);
    if (found.empty()) return {};
    path += last ? found : found + "/";
    if (last) return path;
  }
  return {};
}
