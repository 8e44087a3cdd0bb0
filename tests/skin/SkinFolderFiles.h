#pragma once
// Skin folders for tests: a temporary folder that removes itself, and writers for the files
// a skin folder holds (options text, BMP and JPEG pictures).
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/Dib.h"
#include "platform/graphics/JpegFile.h"

class TTempFolder {
 public:
  TTempFolder() {
    char tmpl[] = "/tmp/skin-folder-test-XXXXXX";
    FPath = mkdtemp(tmpl);
  }
  ~TTempFolder() { std::filesystem::remove_all(FPath); }
  const std::string& Path() const { return FPath; }
  // Creates the folders on the way; returns the file's path.
  std::string Write(const std::string& relative, const std::string& text) const {
    const std::string path = FPath + "/" + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

 private:
  std::string FPath;
};

// A temporary folder that is the user's home folder (HOME) while it lives, so that the skin
// folder "c:\Skins" is its "Skins".
class THomeFolder : public TTempFolder {
 public:
  THomeFolder() {
    if (const char* h = getenv("HOME")) FSaved = h;
    FHadHome = getenv("HOME") != nullptr;
    setenv("HOME", Path().c_str(), 1);
  }
  ~THomeFolder() {
    if (FHadHome) setenv("HOME", FSaved.c_str(), 1);
    else unsetenv("HOME");
  }

 private:
  std::string FSaved;
  bool FHadHome = false;
};

// A w x h BMP of one colour with the pixel (0, 0) set to `corner`.
inline std::string WriteBmp(const TTempFolder& folder, const std::string& relative, int w, int h,
                            COLORREF colour = RGB(40, 80, 120), COLORREF corner = RGB(1, 2, 3)) {
  TDib dib(w, h, 24);
  dib.Fill(colour);
  dib.SetPixel(0, 0, corner);
  const std::string path = folder.Write(relative, "");
  SaveBmpFile(dib, 24, path);
  return path;
}

inline std::vector<uint8_t> JpegBytes(int w, int h, COLORREF colour = RGB(200, 120, 40)) {
  TDib dib(w, h, 24);
  dib.Fill(colour);
  return SaveJpeg(dib);
}

inline std::string WriteBytes(const TTempFolder& folder, const std::string& relative, const std::vector<uint8_t>& bytes) {
  return folder.Write(relative, std::string(bytes.begin(), bytes.end()));
}
