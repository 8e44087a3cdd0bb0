#pragma once
// The skinned face of an edit-like control (a one-line edit, a list): its section's
// background and border mask composed over the whole window into the link's cache. The
// border lands in the window's sunken edge, which is painted from the face instead of the
// classic 3D edge; the client area shows the rest of the face under what the control draws.
// The face follows the control's state: hot while it has the focus or the pointer.
#include "platform/widgets/Controls.h"
#include "skin/render/sCommonData.h"

class TsEditFace {
 public:
  TsEditFace(TWinControl* control, TsCommonData* link) : FControl(control), FLink(link) {}

  // Painted from the skin: the link has a section of the active skin.
  bool Skinned() const;
  // Where the client area's top-left corner lies in the window, and so in the face.
  TPoint ClientOffset() const;
  // The face, rebuilt first when stale; nullptr while there is none.
  const TDib* Face();
  // Copies the face under `r` (client coordinates) to `dc`.
  void PaintClient(HDC dc, const TRect& r);
  // Copies the face outside the client area to `dc` (window coordinates).
  void PaintNonClient(HDC dc);
  // The section's text colour for the state (the control's own with a custom font), blended
  // toward the background while the control is disabled.
  COLORREF TextColour() const;
  // The section's background colour for the state.
  COLORREF BackgroundColour() const;

  // A skin command to the control; the link's handling and the repaints that follow it.
  void HandleSkinCommand(TMessage& message);
  // The window messages a skinned face answers itself (true: handled).
  bool HandleMessage(TMessage& message);
  // Called after the control handled a message: a new state or enabled state redraws the
  // whole window, its edge included.
  void FollowState();
  // Marks the face stale and repaints the window and its edge.
  void Redraw();

 private:
  void Rebuild();
  // The border mask over the face's edge, its outline blended over what lies behind.
  void PaintEdge(TDib* cache, const TsBgSource& source, TPoint position, int state);
  TWinControl* FControl;
  TsCommonData* FLink;
  int FState = -1;  // what the face shows
  bool FEnabled = true;
};
