#pragma once
// List boxes: a scrolling list of strings with one selected item.
#include <string>
#include <vector>

#include "platform/widgets/ClassicLook.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/Forms.h"

class TCustomListBox;

// The strings of a list box. Changes show at once; a sorted list box keeps them sorted.
class TListBoxStrings : public TPersistent {
 public:
  explicit TListBoxStrings(TCustomListBox* owner) : FOwner(owner) {}
  std::string ClassName() const override { return "TListBoxStrings"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Assign(const TPersistent* source) override;

  // Adds at the end, or at its place in order in a sorted list box; returns the index.
  int Add(const std::string& s);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  int Count() const { return int(FItems.size()); }
  const std::string& operator[](int index) const { return FItems[size_t(index)]; }
  void Put(int index, const std::string& s);
  // Index of the first string equal to `s` without regard to case, or -1.
  int IndexOf(const std::string& s) const;
  const std::vector<std::string>& Strings() const { return FItems; }
  void SetStrings(const std::vector<std::string>& strings);

 private:
  friend class TCustomListBox;
  TCustomListBox* FOwner;
  std::vector<std::string> FItems;
};

// A single-selection list drawn with a classic scroll bar of its own; TListBox publishes it.
class TCustomListBox : public TCustomControl {
 public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;
  std::string ClassName() const override { return "TCustomListBox"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TListBoxStrings* Items() { return &FItems; }
  const TListBoxStrings* Items() const { return &FItems; }
  int Count() const { return FItems.Count(); }
  // The selected item, -1 for none. Setting it from code scrolls it into view and raises
  // no event.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int value);
  // The first item shown.
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int value);
  // Height of a row: the font's line height and two pixels, unless set.
  int ItemHeight() const;
  void SetItemHeight(int value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);

  // The item at a client point; -1 below the last item (or, unless `existing`, the index a
  // row there would have).
  int ItemAtPos(TPoint p, bool existing) const;
  TRect ItemRect(int index) const;
  // Rows that fit whole in the client area.
  int VisibleRows() const;
  // The scroll bar at the right shows while the items do not all fit.
  bool ScrollBarVisible() const;
  TRect ScrollBarRect() const;

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  enum TScrollPart { spNone, spUpArrow, spDownArrow, spPageUp, spPageDown, spThumb };
  friend class TListBoxStrings;
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  // Fills the client area under the items (with Color).
  virtual void PaintBackground(TCanvas* canvas, const TRect& client);
  virtual void DrawItem(int index, const TRect& rect, bool selected);
  // Marks the item that has the focus (a dotted rectangle drawn inverted).
  virtual void DrawItemFocus(HDC dc, const TRect& rect);
  virtual void PaintScrollBar(HDC dc);
  // Whether the list paints and works its built-in scroll bar. A subclass that hosts a scroll
  // bar control of its own answers false: ScrollBarRect() is still kept free of items while
  // ScrollBarVisible(), but the list neither paints it nor answers the mouse there.
  virtual bool DrawsScrollBar() const { return true; }
  // Told whenever TopIndex, the items or the size change, so that a hosted scroll bar can
  // follow (its range is 0..MaxTopIndex(), its page VisibleRows()).
  virtual void ScrollStateChanged() {}
  // The strings changed: indexes stay valid, the view is repainted.
  virtual void ItemsChanged();
  void MakeVisible(int index);
  // The user picked `index`: selects it and raises OnClick when it changed.
  void SelectByUser(int index);
  TRect ThumbRect() const;
  TScrollPart ScrollPartAt(TPoint p) const;
  void ScrollBarPress(TPoint p);
  // Whether a client point lies on the scroll bar's place while a hosted bar owns it.
  bool InHostedScrollBar(TPoint p) const;
  int MaxTopIndex() const;
  TListBoxStrings FItems;
  int FItemIndex = -1;
  int FTopIndex = 0;
  int FItemHeight = 0;
  bool FSorted = false;
  TFormBorderStyle FBorderStyle = bsSingle;
  bool FTracking = false;
  int FIndexAtPress = -1;
  TScrollPart FScrollPart = spNone;
  int FThumbGrab = 0;
  int FWheelDelta = 0;
};

class TListBox : public TCustomListBox {
 public:
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
  std::string ClassName() const override { return "TListBox"; }
};
