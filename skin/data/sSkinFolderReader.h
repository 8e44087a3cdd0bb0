#pragma once
// Reads a skin folder (its "Options.dat" and the pictures it names) into run-time arrays.
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/data/sOptionsFile.h"
#include "skin/data/sSkinData.h"

// A skin that cannot be loaded; the message says what is wrong.
class ESkinLoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TsSkinFolderReader {
 public:
  // Reads `skinPath` "Options.dat" (skinPath ends with a separator); throws ESkinLoadError.
  TsSkinFolderReader(TsSkinManager* manager, std::string skinPath);
  explicit TsSkinFolderReader(TsSkinManager* manager, TsOptionsFile options, std::string skinPath);

  // Fills fresh arrays and the skin information: masks with the master bitmap, patterns,
  // sections. Throws ESkinLoadError for a picture that cannot be read and for malformed
  // numbers where the format demands a number; `out` is then incomplete and must be dropped.
  void Read(TsSkinArrays& out, TsSkinData& info) const;
  void ReadMasks(TsSkinArrays& out) const;
  void ReadPatterns(TsSkinArrays& out) const;
  void ReadSections(TsSkinArrays& out, TsSkinData& info) const;

  const TsOptionsFile& Options() const { return FOptions; }

 private:
  void AddMask(const std::string& section, const std::string& key, const std::string& value, TsSkinArrays& out) const;
  // For every section (in file order), the key read in the section, else through its
  // PARENTCLASS chain, which ends at a missing, empty or "?" parent and where it comes back to
  // a section already read; for integers a value of -1 or one that is not a number counts as
  // absent. Null where nothing is found. Linear in the number of sections, whatever the chains.
  std::vector<const std::string*> InheritedValues(const std::vector<size_t>& parents, const std::string& key,
                                                  bool integer) const;
  // The position of each section's PARENTCLASS section; SIZE_MAX for none, "?" or one missing.
  std::vector<size_t> ParentIndexes() const;

  TsSkinManager* FManager;
  std::string FSkinPath;
  TsOptionsFile FOptions;
};

// The "#" form of a mask value, e.g. "#(243,190,286,220)(3,1,1,1)": a mask in the master
// bitmap with upper-case names. False when the value does not hold the numbers it needs.
bool ReadHashMask(const std::string& section, const std::string& key, const std::string& value,
                  TsSkinManager* manager, TsMaskData& mask);
// A plain BMP file name: a border of three states with its mask, carried as its own picture.
// False when the file does not exist or the picture is empty; ESkinLoadError when it cannot
// be read.
bool ReadFileMask(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& skinPath, TsSkinManager* manager, TsMaskData& mask);
// Fills a text-read section's gradient arrays from its gradient texts (" " is none); a piece
// with an unreadable number ends the array, keeping the pieces before it.
void ParseSectionGradients(TsGeneralData& section);
// A picture of a skin, 24 bits; ESkinLoadError naming the file when it cannot be read.
TDib LoadSkinBmp(const std::string& path);
TDib LoadSkinJpeg(const std::string& path);
