#pragma once
// Checks a skin folder for its author: reads it as loading it would (the same reader), without
// a display, and lists every problem with the line of the options file it lies on: what
// would make the skin refused, and what loads but will probably look wrong.
#include <cstdio>
#include <string>
#include <vector>

#include "skin/data/sSkinFolderReader.h"

struct TsSkinCheck {
  std::string OptionsFile;              // the options file's name as found in the folder
  std::vector<TsSkinProblem> Problems;  // by line; problems of no line first
  bool Refused() const;                 // some problem would make loading fail
};

// `folder` is a path of this file system.
TsSkinCheck CheckSkinFolder(const std::string& folder);

// One line for a problem: "FILE:LINE: [SECTION] KEY: what is wrong (what was expected)";
// warnings say "warning:" after the line number. Parts that a problem lacks are left out.
std::string FormatSkinProblem(const std::string& file, const TsSkinProblem& problem);

// Checks `folder` and prints every problem to `out`, one a line, then a summary. Returns 0 for
// a skin that loads (warnings or not), 1 for one that would be refused, 2 when `folder` is not
// a folder (said on `err`, after `program`).
int RunSkinCheck(const std::string& folder, std::FILE* out, std::FILE* err, const char* program);

// Names the program looks a skin's sections and masks up by.
const std::vector<std::string>& KnownSkinSections();
const std::vector<std::string>& KnownMaskNames();
