// Update regions, WM_PAINT, device contexts of windows and the surfaces that hold their pixels.
#include <algorithm>

#include "platform/windowing/WindowSystem.h"

namespace {

// The window's whole area (or client area) in its own window coordinates.
TRect OwnArea(HWND hwnd, bool clientOnly) {
  return clientOnly ? hwnd->ClientRect : TRect{0, 0, hwnd->WindowRect.Width(), hwnd->WindowRect.Height()};
}

// Window rectangle of a child in its parent's window coordinates.
TRect InParent(HWND child) {
  return child->WindowRect.Offset(child->Parent->ClientRect.Left, child->Parent->ClientRect.Top);
}

TRegion Outline(HWND w) {
  TRegion r(TRect{0, 0, w->WindowRect.Width(), w->WindowRect.Height()});
  return w->WindowRgn ? r.Intersect(*w->WindowRgn) : r;
}

}  // namespace

TRegion VisibleRegion(HWND hwnd, bool clientOnly, bool clipChildren) {
  if (!IsWindowVisible(hwnd)) return {};
  TRegion vis(OwnArea(hwnd, clientOnly));
  vis = vis.Intersect(Outline(hwnd));
  // A minimised window shows no children: they neither clip it nor draw.
  if (clipChildren && !(hwnd->Style & WS_MINIMIZE)) {
    for (HWND c : hwnd->Children)
      if ((c->Style & WS_VISIBLE) && !c->Destroying) {
        TRegion cr = Outline(c);
        const TRect at = InParent(c);
        cr.Offset(at.Left, at.Top);
        // A child shows only inside the client area: past it, the frame stays the window's.
        vis = vis.Subtract(cr.Intersect(TRegion(hwnd->ClientRect)));
      }
  }
  // Walk up: each ancestor's client area and outline, and siblings above when asked for.
  TPoint offset;  // hwnd's window origin in the current ancestor's window coordinates
  for (HWND w = hwnd; w->IsChild() && w->Parent; w = w->Parent) {
    HWND parent = w->Parent;
    if (parent->Style & WS_MINIMIZE) return {};
    const TRect at = InParent(w);
    offset = {offset.X + at.Left, offset.Y + at.Top};
    TRegion parentClip(parent->ClientRect);
    parentClip = parentClip.Intersect(Outline(parent));
    if (w->Style & WS_CLIPSIBLINGS) {
      for (HWND s : parent->Children) {
        if (s == w) break;
        if (!(s->Style & WS_VISIBLE) || s->Destroying) continue;
        TRegion sr = Outline(s);
        const TRect sat = InParent(s);
        sr.Offset(sat.Left, sat.Top);
        parentClip = parentClip.Subtract(sr);
      }
    }
    parentClip.Offset(-offset.X, -offset.Y);
    vis = vis.Intersect(parentClip);
    if (vis.IsEmpty()) break;
  }
  return vis;
}

void EnsureSurface(HWND root) {
  const int w = std::max(root->WindowRect.Width(), 1), h = std::max(root->WindowRect.Height(), 1);
  if (root->Surface && root->Surface->Width() == w && root->Surface->Height() == h) return;
  auto fresh = std::make_unique<TDib>(w, h);
  fresh->Fill(GetSysColor(COLOR_BTNFACE));
  if (root->Surface) {
    // Keep what was there so a resize does not flash before the repaint.
    TDC from(root->Surface.get()), to(fresh.get());
    BitBlt(&to, 0, 0, w, h, &from, 0, 0, SRCCOPY);
  }
  root->Surface = std::move(fresh);
  root->SurfaceDirty = TRegion(TRect{0, 0, w, h});
}

void MarkSurfaceDirty(HWND root, const TRegion& windowRgn) {
  if (!root || windowRgn.IsEmpty()) return;
  root->SurfaceDirty = root->SurfaceDirty.Union(windowRgn);
}

void FlushSurfaces() {
  TWindowSystem& ws = WS();
  if (!ws.Display) return;
  for (HWND root : ws.TopLevels) {
    if (!root->Surface || root->SurfaceDirty.IsEmpty() || !(root->Style & WS_VISIBLE)) continue;
    ws.Display->Present(root, *root->Surface, root->SurfaceDirty);
    root->SurfaceDirty.Clear();
  }
}

const TDib* GetWindowSurface(HWND topLevel) {
  if (!IsWindow(topLevel) || topLevel->IsChild()) return nullptr;
  return topLevel->Surface.get();
}

// ---- Invalidation ------------------------------------------------------------------------------

void InvalidateWindowArea(HWND hwnd, const TRegion& area, bool erase, bool frame, bool allChildren) {
  if (!IsLive(hwnd) || !(hwnd->Style & WS_VISIBLE) || area.IsEmpty()) return;
  const TRect client = hwnd->ClientRect;
  TRegion inClient = area.Intersect(client);
  if (frame && !area.Subtract(TRegion(client)).IsEmpty()) hwnd->NcDirty = true;
  if (!inClient.IsEmpty()) {
    TRegion local = inClient;
    local.Offset(-client.Left, -client.Top);
    hwnd->UpdateRgn = hwnd->UpdateRgn.Union(local);
    if (erase) hwnd->EraseNeeded = true;
  }
  if (allChildren || !(hwnd->Style & WS_CLIPCHILDREN)) {
    for (HWND c : hwnd->Children) {
      if (!(c->Style & WS_VISIBLE) || c->Destroying) continue;
      const TRect at = c->WindowRect.Offset(client.Left, client.Top);
      TRegion part = inClient.Intersect(at);
      if (part.IsEmpty()) continue;
      part.Offset(-at.Left, -at.Top);
      InvalidateWindowArea(c, part, erase, true, allChildren);
    }
  }
}

bool NeedsPaint(HWND hwnd) {
  return IsWindowVisible(hwnd) && (!hwnd->UpdateRgn.IsEmpty() || hwnd->NcDirty || hwnd->InternalPaint);
}

namespace {
HWND FindInTree(HWND hwnd) {
  if (!(hwnd->Style & WS_VISIBLE) || hwnd->Destroying) return nullptr;
  if (NeedsPaint(hwnd)) return hwnd;
  for (HWND c : hwnd->Children)
    if (HWND found = FindInTree(c)) return found;
  return nullptr;
}

void ValidateArea(HWND hwnd, const TRegion* clientRgn) {
  if (clientRgn) hwnd->UpdateRgn = hwnd->UpdateRgn.Subtract(*clientRgn);
  else hwnd->UpdateRgn.Clear();
  if (hwnd->UpdateRgn.IsEmpty()) hwnd->EraseNeeded = false;
}
}  // namespace

HWND FindWindowToPaint() {
  for (HWND root : WS().TopLevels)
    if (HWND found = FindInTree(root)) return found;
  return nullptr;
}

bool InvalidateRgn(HWND hwnd, const TRegion* rgn, bool erase) {
  if (!hwnd) {
    for (HWND root : WS().TopLevels) RedrawWindow(root, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return true;
  }
  if (!IsLive(hwnd)) return false;
  TRegion area = rgn ? *rgn : TRegion(TRect{0, 0, hwnd->ClientRect.Width(), hwnd->ClientRect.Height()});
  area.Offset(hwnd->ClientRect.Left, hwnd->ClientRect.Top);
  InvalidateWindowArea(hwnd, area.Intersect(hwnd->ClientRect), erase, false, false);
  return true;
}

bool InvalidateRect(HWND hwnd, const TRect* r, bool erase) {
  if (!r) return InvalidateRgn(hwnd, nullptr, erase);
  TRegion rgn(*r);
  return InvalidateRgn(hwnd, &rgn, erase);
}

bool ValidateRgn(HWND hwnd, const TRegion* rgn) {
  if (!IsLive(hwnd)) return false;
  ValidateArea(hwnd, rgn);
  if (!rgn) hwnd->InternalPaint = false;
  return true;
}

bool ValidateRect(HWND hwnd, const TRect* r) {
  if (!r) return ValidateRgn(hwnd, nullptr);
  TRegion rgn(*r);
  return ValidateRgn(hwnd, &rgn);
}

bool GetUpdateRect(HWND hwnd, TRect* r, bool erase) {
  if (!IsLive(hwnd)) return false;
  if (r) *r = hwnd->UpdateRgn.Box();
  if (erase && hwnd->EraseNeeded && !hwnd->UpdateRgn.IsEmpty()) {
    HDC dc = GetDC(hwnd);
    hwnd->EraseNeeded = false;
    SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(hwnd, dc);
  }
  return !hwnd->UpdateRgn.IsEmpty();
}

int GetUpdateRgn(HWND hwnd, TRegion* rgn, bool erase) {
  if (!IsLive(hwnd) || !rgn) return RGN_ERROR;
  *rgn = hwnd->UpdateRgn;
  TRect dummy;
  GetUpdateRect(hwnd, &dummy, erase);
  return rgn->Complexity();
}

namespace {
void UpdateNow(HWND hwnd, bool children) {
  if (!IsLive(hwnd) || !IsWindowVisible(hwnd)) return;
  if (NeedsPaint(hwnd)) SendMessage(hwnd, WM_PAINT);
  if (!IsLive(hwnd) || !children) return;
  std::vector<HWND> kids = hwnd->Children;
  for (HWND c : kids) UpdateNow(c, true);
}
}  // namespace

bool RedrawWindow(HWND hwnd, const TRect* r, const TRegion* rgn, UINT flags) {
  if (!hwnd) {
    for (HWND root : std::vector<HWND>(WS().TopLevels)) RedrawWindow(root, r, rgn, flags);
    return true;
  }
  if (!IsLive(hwnd)) return false;
  const bool allChildren = (flags & RDW_ALLCHILDREN) != 0;
  TRegion area;
  if (rgn) {
    area = *rgn;
    area.Offset(hwnd->ClientRect.Left, hwnd->ClientRect.Top);
  } else if (r) {
    area = TRegion(r->Offset(hwnd->ClientRect.Left, hwnd->ClientRect.Top));
  } else {
    area = TRegion((flags & RDW_FRAME) ? TRect{0, 0, hwnd->WindowRect.Width(), hwnd->WindowRect.Height()} : hwnd->ClientRect);
  }
  if (flags & RDW_INVALIDATE) {
    InvalidateWindowArea(hwnd, area, (flags & RDW_ERASE) != 0, (flags & RDW_FRAME) != 0, allChildren && !(flags & RDW_NOCHILDREN));
    if (flags & RDW_NOERASE) hwnd->EraseNeeded = false;
  }
  if (flags & RDW_VALIDATE) {
    TRegion local = area.Intersect(hwnd->ClientRect);
    local.Offset(-hwnd->ClientRect.Left, -hwnd->ClientRect.Top);
    ValidateArea(hwnd, &local);
    if (flags & RDW_NOFRAME) hwnd->NcDirty = false;
  }
  if (flags & RDW_INTERNALPAINT) hwnd->InternalPaint = true;
  if (flags & RDW_NOINTERNALPAINT) hwnd->InternalPaint = false;
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateNow(hwnd, !(flags & RDW_NOCHILDREN));
  return true;
}

bool UpdateWindow(HWND hwnd) { return RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// ---- Device contexts ----------------------------------------------------------------------------

HDC GetDCEx(HWND hwnd, const TRegion* clip, bool window) {
  TWindowSystem& ws = WS();
  if (!IsLive(hwnd)) return nullptr;
  HWND root = RootOf(hwnd);
  EnsureSurface(root);
  auto dc = std::make_unique<TDC>(root->Surface.get());
  const TPoint inRoot = OffsetInRoot(hwnd);
  TRegion vis = VisibleRegion(hwnd, !window, (hwnd->Style & WS_CLIPCHILDREN) != 0);
  if (window) {
    dc->SetDeviceOrigin(inRoot);
  } else {
    const TPoint c{hwnd->ClientRect.Left, hwnd->ClientRect.Top};
    dc->SetDeviceOrigin({inRoot.X + c.X, inRoot.Y + c.Y});
    vis.Offset(-c.X, -c.Y);
  }
  if (clip) vis = vis.Intersect(*clip);
  dc->SetVisRegion(std::move(vis));
  HDC result = dc.get();
  ws.DCs.push_back({std::move(dc), hwnd});
  return result;
}

HDC GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, false); }
HDC GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, true); }

HWND WindowFromDC(HDC dc) {
  for (const THeldDC& h : WS().DCs)
    if (h.DC.get() == dc) return IsLive(h.Window) ? h.Window : nullptr;
  return nullptr;
}

int ReleaseDC(HWND /*hwnd*/, HDC dc) {
  TWindowSystem& ws = WS();
  auto it = std::find_if(ws.DCs.begin(), ws.DCs.end(), [dc](const THeldDC& h) { return h.DC.get() == dc; });
  if (it == ws.DCs.end()) return 0;
  HWND owner = it->Window;
  if (owner && IsWindow(owner)) {
    HWND root = RootOf(owner);
    if (root->Surface && dc->Surface() == root->Surface.get()) {
      // Everything the context could reach may have changed.
      MarkSurfaceDirty(root, dc->SurfaceClip());
    }
  }
  ws.DCs.erase(it);
  return 1;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  if (!IsLive(hwnd) || !ps) return nullptr;
  if (hwnd->NcDirty) {
    hwnd->NcDirty = false;
    SendMessage(hwnd, WM_NCPAINT, 1, 0);
    if (!IsLive(hwnd)) return nullptr;
  }
  TRegion update = hwnd->UpdateRgn;
  const bool erase = hwnd->EraseNeeded;
  hwnd->UpdateRgn.Clear();
  hwnd->EraseNeeded = false;
  hwnd->InternalPaint = false;
  HDC dc = GetDCEx(hwnd, &update, false);
  ps->hdc = dc;
  ps->rcPaint = update.Box();
  ps->fErase = false;
  if (erase && dc) ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  return dc;
}

bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!ps || !ps->hdc) return false;
  ReleaseDC(hwnd, ps->hdc);
  return true;
}
