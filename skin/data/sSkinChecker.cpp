#include "skin/data/sSkinChecker.h"

#include <algorithm>

#include "platform/components/Persistent.h"
#include "skin/data/sSkinPaths.h"

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& name) {
  return std::any_of(list.begin(), list.end(), [&](const std::string& n) { return SameText(n, name); });
}

// Checks of the options text itself: lines that say nothing, keys given twice, and names that
// nothing in the program reads.
void CheckNames(const TsOptionsFile& options, const TsSkinArrays& arrays, std::vector<TsSkinProblem>& problems) {
  for (const TsOptionsFile::TIgnoredLine& line : options.IgnoredLines())
    problems.push_back({false, line.Line, "", "",
                        "\"" + line.Text + "\" is left out: it comes before the first section or has no \"=\"",
                        "[SECTION], KEY=value or a comment starting with ;"});

  std::vector<std::string> parents;
  for (const TsOptionsFile::TSection& section : options.Sections())
    if (const std::string* p = options.Find(section.Name, "PARENTCLASS")) parents.push_back(*p);

  // Lines that already have a problem get no second one for their name.
  auto hasProblem = [&](int line) {
    return std::any_of(problems.begin(), problems.end(), [&](const TsSkinProblem& p) { return p.Line == line; });
  };
  auto producedPicture = [&](const std::string& section, const std::string& key) {
    for (const TsMaskData& m : arrays.Masks)
      if (SameText(m.SectionName, section) && SameText(m.PropertyName, key)) return true;
    for (const TsPatternData& p : arrays.Patterns)
      if (SameText(p.SectionName, section) && SameText(p.PropertyName, key)) return true;
    return false;
  };

  for (const TsOptionsFile::TSection& section : options.Sections()) {
    const bool global = SameText(section.Name, "GLOBALINFO");
    // The program finds sections, masks and the parents of masks by their names as written.
    const std::string upper = UpperCase(section.Name);
    if (Contains(KnownSkinSections(), section.Name) && section.Name != upper)
      problems.push_back({false, section.Line, section.Name, "",
                          "the program looks this section up as [" + upper + "] and does not find it written so",
                          "[" + upper + "] in capitals"});
    else if (!Contains(KnownSkinSections(), section.Name) && !Contains(parents, section.Name))
      problems.push_back({false, section.Line, section.Name, "",
                          "the program paints nothing from this section, and no PARENTCLASS names it",
                          "a section name that the program knows, such as BUTTON or FORM"});
    if (const TsOptionsFile::TKey* parent = options.FindKey(section.Name, "PARENTCLASS"))
      if (const TsOptionsFile::TSection* named = options.FindSection(parent->Value))
        if (named->Name != parent->Value)
          problems.push_back({false, parent->Line, section.Name, parent->Name,
                              "the section is written [" + named->Name + "]: its keys are inherited, its masks "
                              "and pictures are not",
                              "PARENTCLASS=" + named->Name + ", as the section is written"});
    for (size_t i = 0; i < section.Keys.size(); ++i) {
      const TsOptionsFile::TKey& key = section.Keys[i];
      const TsOptionsFile::TKey* first = options.FindKey(section.Name, key.Name);
      if (first != &key) {
        problems.push_back({false, key.Line, section.Name, key.Name,
                            "given again; the value on line " + std::to_string(first->Line) + " is the one read",
                            "each key once in a section"});
        continue;
      }
      if (hasProblem(key.Line)) continue;
      const bool sectionKey = Contains(TsSkinFolderReader::SectionKeys(), key.Name) ||
                              (global && Contains(TsSkinFolderReader::GlobalInfoKeys(), key.Name));
      const bool maskKey = Contains(KnownMaskNames(), key.Name);
      if (!sectionKey && !maskKey)
        problems.push_back({false, key.Line, section.Name, key.Name, "the program reads no key of this name",
                            "a key of the section table or a mask name such as BORDERSMASK"});
      else if (maskKey && !producedPicture(section.Name, key.Name))
        problems.push_back({false, key.Line, section.Name, key.Name, "\"" + key.Value + "\" is no mask or picture",
                            "one of the mask forms @, ^, ~, #, ! or a picture's file name"});
      else if (maskKey && key.Name != UpperCase(key.Name) && !key.Value.empty() &&
               std::string("@^~!").find(key.Value[0]) != std::string::npos)
        problems.push_back({false, key.Line, section.Name, key.Name,
                            "the program looks this mask up as " + UpperCase(key.Name) +
                                ", and this form keeps the name as written",
                            UpperCase(key.Name) + " in capitals"});
    }
  }
}

}  // namespace

bool TsSkinCheck::Refused() const {
  return std::any_of(Problems.begin(), Problems.end(), [](const TsSkinProblem& p) { return p.Fatal; });
}

TsSkinCheck CheckSkinFolder(const std::string& folder) {
  TsSkinCheck check;
  check.OptionsFile = "Options.dat";
  const std::string skinPath = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  try {
    TsSkinFolderReader reader(nullptr, skinPath);
    const std::string& found = reader.OptionsPath();
    check.OptionsFile = found.substr(found.find_last_of("/\\") + 1);
    reader.CollectProblems(&check.Problems);
    TsSkinArrays arrays;
    TsSkinData info;
    reader.Read(arrays, info);
    if (!reader.Options().Sections().empty()) CheckNames(reader.Options(), arrays, check.Problems);
  } catch (const ESkinLoadError& e) {
    check.Problems.push_back(e.Problem());
  }
  std::stable_sort(check.Problems.begin(), check.Problems.end(),
                   [](const TsSkinProblem& a, const TsSkinProblem& b) { return a.Line < b.Line; });
  return check;
}

std::string FormatSkinProblem(const std::string& file, const TsSkinProblem& p) {
  std::string text = file;
  if (p.Line > 0) text += ":" + std::to_string(p.Line);
  text += ": ";
  if (!p.Fatal) text += "warning: ";
  if (!p.Section.empty()) text += "[" + p.Section + "]" + (p.Key.empty() ? ": " : " " + p.Key + ": ");
  text += p.What;
  if (!p.Expected.empty()) text += " (" + p.Expected + ")";
  return text;
}

int RunSkinCheck(const std::string& folder, std::FILE* out, std::FILE* err, const char* program) {
  if (!SkinDirExists(folder)) {
    std::fprintf(err, "%s: --check-skin: '%s' is not a folder\n", program, folder.c_str());
    return 2;
  }
  const TsSkinCheck check = CheckSkinFolder(folder);
  const std::string file = (folder.back() == '/' ? folder : folder + "/") + check.OptionsFile;
  size_t errors = 0;
  for (const TsSkinProblem& p : check.Problems) {
    std::fprintf(out, "%s\n", FormatSkinProblem(file, p).c_str());
    errors += p.Fatal;
  }
  const size_t warnings = check.Problems.size() - errors;
  auto count = [](size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  std::fprintf(out, "%s: %s, %s: %s\n", folder.c_str(), count(errors, "error").c_str(),
               count(warnings, "warning").c_str(),
               errors ? "the skin would be refused" : "the skin loads");
  return errors ? 1 : 0;
}

const std::vector<std::string>& KnownSkinSections() {
  static const std::vector<std::string> names = {
      "GLOBALINFO", "FORM", "FORMTITLE", "DIALOG", "BUTTON", "BUTTON_BIG", "BUTTON_HUGE", "CHECKBOX", "RADIOBUTTON",
      "GROUPBOX", "EDIT", "COMBOBOX", "COMBOBTN", "KARVOEDIT", "KARVOCOMBOBOX", "PANEL", "PANEL_LOW", "BAR", "BARPANEL",
      "BARTITLE", "TOOLBAR", "TOOLBUTTON", "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "WEBBUTTON", "DRAGBAR", "SPLITTER",
      "STATUSBAR", "GAUGE", "PROGRESSH", "PROGRESSV", "TRACKBAR", "HINT", "MDIAREA", "COLHEADER", "GRIPH", "DIVIDER",
      "DIVIDERV", "TABSHEET", "TABCONTROL", "TABCONTROLLEFT", "TABCONTROLRIGHT", "TABCONTROLBOTTOM", "PAGECONTROL",
      "PAGECONTROLLEFT", "PAGECONTROLRIGHT", "PAGECONTROLBOTTOM", "TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT",
      "MAINMENU", "MENUITEM", "MENULINE", "EXTRALINE", "ICOLINE", "SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H",
      "SCROLLBAR2V", "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLSLIDERH",
      "SCROLLSLIDERV"};
  return names;
}

const std::vector<std::string>& KnownMaskNames() {
  static const std::vector<std::string> names = {
      "BORDERSMASK", "GLYPHMASK", "PATTERN", "HOTPATTERN", "IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT",
      "BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "SICONCLOSE", "SICONMAX", "SICONMIN",
      "TITLEBUTTON", "TITLEBAR", "GRIPIMAGE", "BOXCHECKED", "BOXUNCHECKED", "BOXGRAYED", "RADIOCHECKED",
      "RADIOUNCHECKED", "RADIOGRAYED", "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED", "CHECK", "SLIDERCHANNEL",
      "SLIDERMASK", "SLIDERVMASK", "TICKHORZ", "TICKVERT"};
  return names;
}
