// The bar's answer to the pointer and the keyboard: arrows and tracks that repeat while held,
// the thumb that follows the pointer, and the scroll messages of the native bar.
#include <algorithm>

#include "frame/sScrollBar.h"
#include "platform/graphics/DC.h"
#include "platform/widgets/Forms.h"

// ---- Mouse and keys ---------------------------------------------------------------------------------

void TsScrollBar::MouseDown(TPoint p) {
  const std::shared_ptr<bool> alive = FAlive;
  if (Application) {
    FSavedShowHint = Application->ShowHint;
    Application->ShowHint = false;
  }
  FGrabOffset = 0;
  if (CanFocus() && !Focused()) SetFocus();
  if (!*alive) return;
  const int part = PartAt(p);
  if (part < 0) return;
  if (HandleAllocated()) SetCapture(Handle());
  switch (part) {
    case kFirstArrow:
      if (FStates[kFirstArrow] == 2) break;
      FDragPart = 0;
      SetPartState(kFirstArrow, 2);
      if (FPosition == FMin) {
        int position = FPosition;
        DoScroll(scLineUp, position);
      } else {
        SetPosition(FPosition - SmallChange);
      }
      if (!*alive) return;
      SetTimer(Handle(), kRepeatTimer, 500);
      FRepeatTimer = true;
      break;
    case kSecondArrow:
      if (FStates[kSecondArrow] == 2) break;
      SetPartState(kSecondArrow, 2);
      FDragPart = 1;
      if (FPosition != FMax) SetPosition(FPosition + SmallChange);
      if (!*alive) return;
      SetTimer(Handle(), kRepeatTimer, 500);
      FRepeatTimer = true;
      break;
    case kThumb:
      FDragPart = 5;
      if (!Smooth) {
        FHolding = true;
        FHeldPosition = FPosition;
      }
      if (FStates[kThumb] == 2) break;
      FGrabOffset = ValueAt(PointOnAxis(p)) - FPosition;
      SetPartState(kThumb, 2);
      SetTimer(Handle(), kFollowTimer, 10);
      FFollowTimer = true;
      break;
    case kTrackBefore:
    case kTrackAfter: {
      FDragPart = part == kTrackBefore ? 2 : 3;
      if (FStates[part] == 2) break;
      SetPartState(part, 2);
      FStates[part == kTrackBefore ? kTrackAfter : kTrackBefore] = CurrentState();
      if (LargeChange != 0) SetPosition(FPosition + (part == kTrackBefore ? -LargeChange : LargeChange));
      if (!*alive) return;
      SetTimer(Handle(), kRepeatTimer, 500);
      FRepeatTimer = true;
      break;
    }
    default:
      break;
  }
  if (*alive) RepaintIfPending();
}

void TsScrollBar::MouseMove(TPoint p) {
  const std::shared_ptr<bool> alive = FAlive;
  const bool thumbPressed = FStates[kThumb] == 2;
  const bool thumbShown = Length() - 2 * ArrowLength() >= ThumbLength();
  if (thumbPressed || (thumbShown && ThumbRect().Contains(p.X, p.Y))) {
    if (thumbPressed) {
      FPaintSuppressed = true;
      SetPosition(ValueAt(PointOnAxis(p)) - FGrabOffset);
      if (!*alive) return;
      FPaintSuppressed = false;
    } else {
      SetPartState(kThumb, 1);
    }
  } else if (FirstArrowRect().Contains(p.X, p.Y)) {
    if (FStates[kFirstArrow] != 2) SetPartState(kFirstArrow, 1);
  } else if (SecondArrowRect().Contains(p.X, p.Y)) {
    if (FStates[kSecondArrow] != 2) SetPartState(kSecondArrow, 1);
  } else {
    SetPartState(kThumb, 0);
    SetPartState(kFirstArrow, 0);
    SetPartState(kSecondArrow, 0);
  }
  RepaintIfPending();
}

void TsScrollBar::MouseUp(TPoint p) {
  const std::shared_ptr<bool> alive = FAlive;
  StopTimers();
  const bool thumbPressed = FStates[kThumb] == 2;
  if (thumbPressed || (FDragPart == 5 && ThumbRect().Contains(p.X, p.Y))) {
    FDragPart = 4;
    FStates[kTrackBefore] = FStates[kTrackAfter] = CurrentState();
    FRepaintPending = true;
    if (thumbPressed) {
      SetPosition(ValueAt(PointOnAxis(p)) - FGrabOffset);
      if (!*alive) return;
      FStates[kThumb] = 0;
      FRepaintPending = true;
      SetPartState(kThumb, ThumbRect().Contains(p.X, p.Y) ? 1 : 0);
      if (FHolding) {
        // The notification held back during the drag, for the whole move.
        FHolding = false;
        if (FPosition != FHeldPosition) {
          Changed(FHeldPosition);
          if (!*alive) return;
        }
      }
    }
  } else {
    for (int arrow : {kFirstArrow, kSecondArrow})
      if (FStates[arrow] == 2) {
        const TRect r = arrow == kFirstArrow ? FirstArrowRect() : SecondArrowRect();
        FStates[arrow] = 0;
        FRepaintPending = true;
        if (r.Contains(p.X, p.Y)) SetPartState(arrow, 1);
      }
    for (int track : {kTrackBefore, kTrackAfter})
      if (FStates[track] == 2) {
        FStates[track] = CurrentState();
        FRepaintPending = true;
      }
  }
  FHolding = false;
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  int position = FPosition;
  DoScroll(scEndScroll, position);
  if (!*alive) return;
  if (Application && FDragPart >= 0) Application->ShowHint = FSavedShowHint;
  FDragPart = -1;
  RepaintIfPending();
}

void TsScrollBar::Tick(WPARAM timer) {
  const std::shared_ptr<bool> alive = FAlive;
  TPoint cursor;
  GetCursorPos(&cursor);
  if (HandleAllocated()) ::ScreenToClient(Handle(), &cursor);
  if (timer == kFollowTimer) {
    if (FStates[kThumb] != 2) {
      StopTimers();
      return;
    }
    if (HandleAllocated() && GetCapture() != Handle()) SetCapture(Handle());
    MouseMove(cursor);
    return;
  }
  bool again = false;
  switch (FDragPart) {
    case 0:
      if ((again = FStates[kFirstArrow] == 2)) SetPosition(FPosition - SmallChange);
      break;
    case 1:
      if ((again = FStates[kSecondArrow] == 2)) SetPosition(FPosition + SmallChange);
      break;
    case 2:
      if ((again = FStates[kTrackBefore] == 2 && ValueAt(PointOnAxis(cursor)) < FPosition))
        SetPosition(FPosition - LargeChange);
      break;
    case 3:
      if ((again = FStates[kTrackAfter] == 2 && ValueAt(PointOnAxis(cursor)) > FPosition))
        SetPosition(FPosition + LargeChange);
      break;
    default:
      break;
  }
  if (!*alive) return;
  if (again) SetTimer(Handle(), kRepeatTimer, 100);
  else if (FRepeatTimer) {
    KillTimer(Handle(), kRepeatTimer);
    FRepeatTimer = false;
  }
  RepaintIfPending();
}

void TsScrollBar::StopTimers() {
  if (HandleAllocated()) {
    if (FRepeatTimer) KillTimer(FHandle, kRepeatTimer);
    if (FFollowTimer) KillTimer(FHandle, kFollowTimer);
  }
  FRepeatTimer = FFollowTimer = false;
}

bool TsScrollBar::WantsKey(WPARAM key) {
  switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: return true;
    default: return TWinControl::WantsKey(key);
  }
}

void TsScrollBar::HandleNativeScroll(TMessage& m) {
  // While skinned the bar moves itself; it follows notifications only while a part is held and
  // no drag keeps its notification back.
  if (Skinned() && (FDragPart < 0 || FHolding)) return;
  const int sign = FKind == sbHorizontal && UseRightToLeftAlignment() ? -1 : 1;
  const WPARAM code = m.WParam & 0xFFFF;
  int position = FPosition;
  switch (code) {
    case SB_LINEUP: position -= SmallChange * sign; break;
    case SB_LINEDOWN: position += SmallChange * sign; break;
    case SB_PAGEUP: position -= LargeChange * sign; break;
    case SB_PAGEDOWN: position += LargeChange * sign; break;
    case SB_TOP: position = FMin; break;
    case SB_BOTTOM: position = FMax; break;
    case SB_ENDSCROLL: break;
    default: {
      SCROLLINFO info;
      info.fMask = SIF_TRACKPOS;
      int track = int((m.WParam >> 16) & 0xFFFF);
      if (HandleAllocated() && GetScrollInfo(Handle(), SB_CTL, &info)) track = info.nTrackPos;
      position = sign < 0 ? FMax - track : track;
      break;
    }
  }
  position = std::max(FMin, std::min(position, FMax));
  const std::shared_ptr<bool> alive = FAlive;
  DoScroll(TScrollCode(code <= SB_ENDSCROLL ? code : SB_ENDSCROLL), position);
  if (*alive && code != SB_ENDSCROLL) SetPosition(position);
}
