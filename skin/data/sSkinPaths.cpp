#include "skin/data/sSkinPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

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
