#include "tools/skinart/TableCheck.h"

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

namespace SkinArt {

namespace {

[[noreturn]] void Fail(const std::string& message) { throw std::runtime_error(message); }

}  // namespace

void CheckTables(const std::vector<TSection>& sections, const std::vector<TMask>& masks) {
  if (sections.size() != 64 || !sections.back().SectionName.empty()) Fail("64 sections expected, the last without a name");
  std::set<std::string> names;
  for (size_t i = 0; i + 1 < sections.size(); ++i)
    if (!names.insert(sections[i].SectionName).second) Fail("section twice: " + sections[i].SectionName);

  const std::map<std::string, int> expected = {
      {"BORDERSMASK", 52}, {"GLYPHMASK", 8}, {"PATTERN", 3}, {"HOTPATTERN", 2}, {"TITLEBUTTON", 2}, {"GRIPIMAGE", 2},
      {"BICONNORM", 2}, {"BICONMIN", 2}, {"BICONMAX", 2}, {"BICONHELP", 2}, {"BICONCLOSE", 2}, {"TICKVERT", 1},
      {"TICKHORZ", 1}, {"SLIDERVMASK", 1}, {"SLIDERMASK", 1}, {"SLIDERCHANNEL", 1}, {"CHECK", 1}, {"BOXCHECKED", 1},
      {"BOXUNCHECKED", 1}, {"BOXGRAYED", 1}, {"RADIOCHECKED", 1}, {"RADIOUNCHECKED", 1}, {"SMALLCHECKED", 1},
      {"SMALLUNCHECKED", 1}, {"SMALLGRAYED", 1}};
  std::map<std::string, int> counts;
  std::set<std::pair<std::string, std::string>> keys;
  for (const TMask& m : masks) {
    ++counts[m.Property];
    if (!names.count(m.Section)) Fail("mask of an unknown section: " + m.Section);
    if (!keys.insert({m.Section, m.Property}).second) Fail("mask twice: " + m.Section + " " + m.Property);
    const TRect bounds = m.Carried ? TRect{0, 0, kHugeWidth, kHugeHeight} : TRect{0, 0, kMasterWidth, kFolderMasterHeight};
    if (m.R.IsEmpty() || m.R.Intersect(bounds) != m.R) Fail("mask outside its picture: " + m.Section + " " + m.Property);
    if (m.ImageCount < 1 || m.MaskType < 0 || m.MaskType > 1) Fail("mask with a bad count or type: " + m.Section + " " + m.Property);
    const int fw = m.FrameWidth(), fh = m.FrameHeight();
    if (m.R.Height() % (m.MaskType + 1) != 0) Fail("mask height not a whole number of parts: " + m.Section);
    if (m.ImgType == itisaBorder && (m.WL + m.WR > fw || m.WT + m.WB > fh))
      Fail("margins wider than the image: " + m.Section + " " + m.Property);
  }
  if (masks.size() != 93) Fail("93 masks expected, " + std::to_string(masks.size()) + " found");
  if (counts != expected) Fail("the number of masks of some kind is wrong");

  for (size_t i = 0; i < masks.size(); ++i) {
    const TMask& a = masks[i];
    if (a.Carried) continue;
    bool drawnElsewhere = false;
    for (size_t j = 0; j < masks.size(); ++j) {
      const TMask& b = masks[j];
      if (i == j || b.Carried || a.R.Intersect(b.R).IsEmpty()) continue;
      if (a.R != b.R || (a.Paint && b.Paint)) Fail("masks overlap: " + a.Section + " " + a.Property + " and " + b.Section + " " + b.Property);
      if (b.Paint) drawnElsewhere = true;
    }
    if (!a.Paint && !drawnElsewhere) Fail("nothing draws the area of " + a.Section + " " + a.Property);
  }
}

}  // namespace SkinArt
