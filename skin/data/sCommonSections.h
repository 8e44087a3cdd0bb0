#pragma once
// The manager's CommonSections: sections, masks and patterns in options-file syntax that are
// added to every skin after its own. Lookups return the first match, so an entry whose
// names the skin already has is never found: common entries add, they never override.
#include <string>
#include <vector>

#include "skin/data/sSkinData.h"

// Appends the masks, then the patterns, then the sections of `lines` to `arrays`. Picture
// files are relative to `skinPath` unless they contain ":". Throws ESkinLoadError for a
// picture that cannot be read.
void MergeCommonSections(const std::vector<std::string>& lines, TsSkinManager* manager, const std::string& skinPath,
                         TsSkinArrays& arrays);
