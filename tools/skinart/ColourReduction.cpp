#include "tools/skinart/ColourReduction.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "platform/graphics/BmpFile.h"
#include "tools/skinart/Mask.h"
#include "tools/skinart/MaskPictures.h"

namespace SkinArt {

TDib ReduceColours(const TDib& picture) {
  std::map<COLORREF, int> histogram;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) ++histogram[picture.GetPixel(x, y)];
  if (histogram.size() <= 256) return picture;

  std::set<COLORREF> fixed;
  for (const auto& [c, n] : histogram) {
    const bool grey = GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
    if (c == kKey || (grey && MaskGrey((255 - GetRValue(c)) / 255.0f) == GetRValue(c))) fixed.insert(c);
  }
  struct TEntry {
    COLORREF C;
    int N;
  };
  std::vector<std::vector<TEntry>> boxes(1);
  for (const auto& [c, n] : histogram)
    if (!fixed.count(c)) boxes[0].push_back({c, n});
  auto channel = [](COLORREF c, int i) { return int((c >> (8 * i)) & 0xFF); };
  auto range = [&](const std::vector<TEntry>& box, int i) {
    int lo = 255, hi = 0;
    for (const TEntry& e : box) {
      lo = std::min(lo, channel(e.C, i));
      hi = std::max(hi, channel(e.C, i));
    }
    return hi - lo;
  };
  const size_t budget = 256 - fixed.size();
  while (boxes.size() < budget) {
    size_t best = boxes.size();
    int bestRange = 0, bestChannel = 0;
    for (size_t b = 0; b < boxes.size(); ++b)
      for (int i = 0; i < 3; ++i)
        if (boxes[b].size() > 1 && range(boxes[b], i) > bestRange) {
          best = b;
          bestRange = range(boxes[b], i);
          bestChannel = i;
        }
    if (best == boxes.size()) break;
    std::vector<TEntry>& box = boxes[best];
    std::sort(box.begin(), box.end(), [&](const TEntry& a, const TEntry& b) {
      return channel(a.C, bestChannel) != channel(b.C, bestChannel) ? channel(a.C, bestChannel) < channel(b.C, bestChannel) : a.C < b.C;
    });
    long total = 0, run = 0;
    for (const TEntry& e : box) total += e.N;
    size_t cut = 1;
    for (size_t i = 0; i + 1 < box.size(); ++i) {
      run += box[i].N;
      cut = i + 1;
      if (run * 2 >= total) break;
    }
    std::vector<TEntry> upper(box.begin() + long(cut), box.end());
    box.resize(cut);
    boxes.push_back(std::move(upper));
  }
  std::vector<COLORREF> palette;
  for (const auto& box : boxes) {
    double r = 0, g = 0, b = 0, n = 0;
    for (const TEntry& e : box) {
      r += GetRValue(e.C) * double(e.N);
      g += GetGValue(e.C) * double(e.N);
      b += GetBValue(e.C) * double(e.N);
      n += e.N;
    }
    palette.push_back(RGB(int(std::lround(r / n)), int(std::lround(g / n)), int(std::lround(b / n))));
  }
  for (COLORREF c : fixed)
    if (c != kKey) palette.push_back(c);

  std::map<COLORREF, COLORREF> nearest;
  for (const auto& [c, n] : histogram) {
    if (fixed.count(c)) {
      nearest[c] = c;
      continue;
    }
    long bestDistance = -1;
    COLORREF best = 0;
    for (COLORREF p : palette) {
      const long dr = long(GetRValue(c)) - GetRValue(p), dg = long(GetGValue(c)) - GetGValue(p), db = long(GetBValue(c)) - GetBValue(p);
      const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (bestDistance < 0 || d < bestDistance) {
        bestDistance = d;
        best = p;
      }
    }
    nearest[c] = best;
  }
  TDib out = picture;
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) out.SetPixel(x, y, nearest[picture.GetPixel(x, y)]);
  return out;
}

size_t DistinctColours(const TDib& picture) {
  std::set<COLORREF> colours;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) colours.insert(picture.GetPixel(x, y));
  return colours.size();
}

TDib Palettised(const TDib& picture) {
  TDib out = QuantizeTo8(ReduceColours(picture));
  out.Palette().resize(256, 0);
  return out;
}

}  // namespace SkinArt
