#pragma once
// Reads a skin folder (its "Options.dat" and the pictures it names) into run-time arrays.
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/data/sOptionsFile.h"
#include "skin/data/sSkinData.h"

// Something wrong with a skin folder: where it lies, what is wrong, and what was expected.
struct TsSkinProblem {
  bool Fatal = true;  // the skin would be refused; else it loads but will probably look wrong
  int Line = 0;       // line of the options file; 0 for no line
  std::string Section, Key;
  std::string What, Expected;
};

// A skin that cannot be loaded; the message says what is wrong and where.
class ESkinLoadError : public std::runtime_error {
 public:
  explicit ESkinLoadError(const std::string& what, const std::string& expected = "")
      : ESkinLoadError(TsSkinProblem{true, 0, "", "", what, expected}) {}
  explicit ESkinLoadError(TsSkinProblem problem);
  const TsSkinProblem& Problem() const { return FProblem; }

 private:
  TsSkinProblem FProblem;
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

  // From now on a problem that would end the read is added to `problems` instead, with the
  // line it lies on, and only its entry is skipped; warnings are added too, for what loads
  // but will probably look wrong. Null: problems end the read with ESkinLoadError.
  void CollectProblems(std::vector<TsSkinProblem>* problems) { FProblems = problems; }

  const TsOptionsFile& Options() const { return FOptions; }
  // The options file as found in the folder ("Options.dat" in whatever case).
  const std::string& OptionsPath() const { return FOptionsPath; }

  // The keys read in every section, and those read in GLOBALINFO alone.
  static const std::vector<std::string>& SectionKeys();
  static const std::vector<std::string>& GlobalInfoKeys();

 private:
  enum TKeyKind { kkInteger, kkTrue, kkText, kkGradient };
  void AddMask(const std::string& section, const TsOptionsFile::TKey& key, TsSkinArrays& out) const;
  // Warnings about a mask that loads: a rectangle outside its picture, states that do not
  // divide it, a glyph without the key colour.
  void CheckMask(const std::string& section, const TsOptionsFile::TKey& key, const TsMaskData& mask,
                 const TDib* master) const;
  // Runs the reading of one entry; see CollectProblems.
  template <class F>
  void Entry(const std::string& section, const TsOptionsFile::TKey* key, F&& read) const;
  void Warn(const std::string& section, const TsOptionsFile::TKey& key, std::string what, std::string expected) const;
  // For every section (in file order), the key read in the section, else through its
  // PARENTCLASS chain, which ends at a missing, empty or "?" parent and where it comes back to
  // a section already read; for integers a value of -1 or one that is not a number counts as
  // absent. Null where nothing is found. Linear in the number of sections, whatever the chains.
  std::vector<const std::string*> InheritedValues(const std::vector<size_t>& parents, const std::string& key,
                                                  TKeyKind kind) const;
  // The position of each section's PARENTCLASS section; SIZE_MAX for none, "?" or one missing.
  std::vector<size_t> ParentIndexes() const;
  // A warning when a value will not be read as the author meant.
  void CheckValue(const std::string& section, const TsOptionsFile::TKey& key, TKeyKind kind) const;
  // Warnings for a PARENTCLASS that names no section or leads round in a ring.
  void CheckParents(const std::vector<size_t>& parents) const;

  TsSkinManager* FManager;
  std::string FSkinPath;
  std::string FOptionsPath;
  TsOptionsFile FOptions;
  std::vector<TsSkinProblem>* FProblems = nullptr;
  // A skin without its master bitmap is told once, not once for every mask that lies in it.
  mutable bool FToldNoMaster = false;
};

// The text of a problem for a message to the user: "Options.dat, line 7, section [BUTTON],
// key BORDERSMASK: what is wrong (what was expected)".
std::string DescribeSkinProblem(const TsSkinProblem& problem);

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
