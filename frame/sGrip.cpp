#include "frame/sGrip.h"

#include "platform/graphics/DC.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"

TsGrip::TsGrip(TComponent* owner) : TCustomControl(owner), FSkinData(this, true) {
  ControlStyle |= csOpaque;
  SetCaption(" ");
  SetBounds(0, 0, 20, 20);
  FSkinData.ControlKind = 51;  // a panel
  FSkinData.SetSkinSection("CHECKBOX");
  FSkinData.AfterLoad();
}

void TsGrip::Paint() {
  const int w = Width(), h = Height();
  HDC dc = Canvas()->Handle();
  if (!dc || w <= 0 || h <= 0) return;
  if (!FSkinData.IsSkinned() || FSkinData.IsDeferred()) {
    const TRect r{0, 0, w, h};
    FillRect(dc, &r, CreateSolidBrush(ColorToRGB(Parent() ? Parent()->Color() : Color())));
    return;
  }
  FSkinData.SizeCache();
  TDib* cache = FSkinData.Cache();
  TsBgSource source;
  FSkinData.GetParentBackground(source);
  PaintLinkSkin(&FSkinData, source, true, true, cache, {Left(), Top()}, {0, 0, w, h}, 0);
  FSkinData.CacheInvalid = false;
  TDC memory(cache);
  BitBlt(dc, 0, 0, w, h, &memory, 0, 0, SRCCOPY);
}

void TsGrip::WndProc(TMessage& m) {
  switch (m.Msg) {
    case SM_KARVOCMD: {
      const unsigned command = SkinCommandOf(m.WParam);
      if (command == AC_OWNBROADCAST) {
        m.LParam = 1;
        return;
      }
      FSkinData.HandleSkinCommand(m);
      if ((command == AC_REMOVESKIN || command == AC_REFRESH || command == AC_UPDATEFINISHED) && HandleAllocated()) {
        FSkinData.Deferred = false;
        Invalidate();
      }
      return;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    default:
      break;
  }
  if (FSkinData.HandleMessage(m)) return;
  TCustomControl::WndProc(m);
}
