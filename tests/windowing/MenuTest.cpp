// Popup menus, menu bars and the system menu, driven by real input on the headless display.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/windowing/Menu.h"

namespace {

constexpr COLORREF kItemColor = RGB(0, 160, 0);
constexpr COLORREF kSelectedColor = RGB(200, 0, 0);

struct TLogged {
  UINT Msg;
  WPARAM W;
  LPARAM L;
};

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDisplay(&FDisplay);
    WNDCLASS cls;
    cls.lpszClassName = "MenuTestOwner";
    cls.hbrBackground = RGB(255, 255, 255);
    cls.lpfnWndProc = [this](HWND h, UINT m, WPARAM w, LPARAM l) { return OwnerProc(h, m, w, l); };
    RegisterClass(cls);
    FOwner = CreateWindowEx(0, "MenuTestOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr);
    FDisplay.Pump();
    FLog.clear();
  }

  void TearDown() override {
    for (HMENU m : FMenus) DestroyMenu(m);
    SetDisplay(nullptr);
  }

  LRESULT OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (h != FOwner) return DefWindowProc(h, m, w, l);
    FLog.push_back({m, w, l});
    switch (m) {
      case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
        FMeasured.push_back(*mis);
        mis->itemWidth = 80;
        mis->itemHeight = mis->itemData == 2 ? 30 : 24;
        return 1;
      }
      case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
        FDrawn.push_back(*dis);
        FillRect(dis->hDC, &dis->rcItem, CreateSolidBrush(dis->itemState & ODS_SELECTED ? kSelectedColor : kItemColor));
        return 1;
      }
      case WM_INITMENUPOPUP:
        if (FOnInitPopup) FOnInitPopup(reinterpret_cast<HMENU>(w));
        return 0;
      case WM_SYSCOMMAND:
        if ((w & 0xFFF0) == SC_CLOSE) return 0;  // the tests keep their window
        break;
      default:
        break;
    }
    return DefWindowProc(h, m, w, l);
  }

  HMENU Keep(HMENU m) {
    FMenus.push_back(m);
    return m;
  }

  // File (New 11, Open 12, a separator, Recent > Last 14), a disabled Save 13 and Exit 2.
  HMENU MenuWithSubmenu(HMENU* file) {
    HMENU recent = CreatePopupMenu();
    AppendMenu(recent, MF_STRING, 14, "&Last");
    *file = CreatePopupMenu();
    AppendMenu(*file, MF_STRING, 11, "&New");
    AppendMenu(*file, MF_STRING, 12, "&Open");
    AppendMenu(*file, MF_SEPARATOR, 0, "");
    AppendMenu(*file, MF_POPUP, reinterpret_cast<uintptr_t>(recent), "&Recent");
    HMENU m = Keep(CreatePopupMenu());
    AppendMenu(m, MF_POPUP, reinterpret_cast<uintptr_t>(*file), "&File");
    AppendMenu(m, MF_GRAYED, 13, "&Save");
    AppendMenu(m, MF_STRING, 2, "E&xit");
    return m;
  }

  int Track(HMENU m, UINT flags = TPM_RETURNCMD, int x = 200, int y = 200) {
    return TrackPopupMenu(m, flags, x, y, 0, FOwner, nullptr);
  }

  // Screen centre of an item of a shown popup or of the owner's menu bar.
  TPoint Centre(HMENU m, UINT pos) {
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(FOwner, m, pos, &r));
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }

  void Keys(std::initializer_list<WPARAM> keys) {
    for (WPARAM k : keys) FDisplay.Key(k);
  }

  std::vector<TLogged> Logged(UINT msg) const {
    std::vector<TLogged> out;
    for (const TLogged& l : FLog)
      if (l.Msg == msg) out.push_back(l);
    return out;
  }

  bool QuitPending() {
    TMsg m;
    return PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
  }

  THeadlessDisplay FDisplay;
  HWND FOwner = nullptr;
  std::vector<HMENU> FMenus;
  std::vector<TLogged> FLog;
  std::vector<MEASUREITEMSTRUCT> FMeasured;
  std::vector<DRAWITEMSTRUCT> FDrawn;
  std::function<void(HMENU)> FOnInitPopup;
};

// ---- Keyboard ------------------------------------------------------------------------------------

using MenuKeyboardTest = MenuTest;

TEST_F(MenuKeyboardTest, ArrowsSkipSeparatorsAndDisabledItemsAndWrap) {
  struct {
    std::initializer_list<WPARAM> Keys;
    int Expected;
  } cases[] = {
      {{VK_DOWN, VK_DOWN, VK_RETURN}, 3},                            // Alpha, then Gamma past the separator and Beta
      {{VK_DOWN, VK_UP, VK_RETURN}, 4},                              // up from the first wraps to the last
      {{VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 1},          // down from the last wraps to the first
      {{VK_END, VK_RETURN}, 4},
      {{VK_ESCAPE}, 0},
      {{VK_RETURN}, 0},  // nothing selected: Enter chooses nothing, the script's end closes the menu
  };
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_STRING, 1, "&Alpha");
  AppendMenu(m, MF_SEPARATOR, 0, "");
  AppendMenu(m, MF_GRAYED, 2, "&Beta");
  AppendMenu(m, MF_STRING, 3, "&Gamma");
  AppendMenu(m, MF_STRING, 4, "&Delta");
  for (const auto& c : cases) {
    Keys(c.Keys);
    EXPECT_EQ(Track(m), c.Expected);
    FDisplay.Pump();
  }
  EXPECT_TRUE(Logged(WM_COMMAND).empty());
}

TEST_F(MenuKeyboardTest, AcceleratorLetterChoosesAndSharedLettersCycle) {
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_STRING, 1, "&Copy");
  AppendMenu(m, MF_STRING, 2, "&Cut");
  AppendMenu(m, MF_STRING, 3, "&Paste\tCtrl+V");
  Keys({'P'});
  EXPECT_EQ(Track(m), 3);
  // Two items share C: the first press selects Copy, the second Cut; nothing is chosen yet.
  Keys({'C', 'C', VK_RETURN});
  EXPECT_EQ(Track(m), 2);
}

TEST_F(MenuKeyboardTest, RightOpensSubmenuLeftAndEscapeCloseOnlyIt) {
  HMENU file;
  HMENU m = MenuWithSubmenu(&file);
  Keys({VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
  EXPECT_EQ(Track(m), 12);
  // The submenu gets WM_INITMENUPOPUP with the position of its item in the parent.
  auto inits = Logged(WM_INITMENUPOPUP);
  ASSERT_EQ(inits.size(), 2u);
  EXPECT_EQ(reinterpret_cast<HMENU>(inits[1].W), file);
  EXPECT_EQ(inits[1].L, MAKELPARAM(0, 0));

  Keys({VK_DOWN, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN});
  EXPECT_EQ(Track(m), 2);
  Keys({VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_DOWN, VK_RETURN});
  EXPECT_EQ(Track(m), 2);
  // Two levels deep, Enter on a submenu item opens it.
  Keys({VK_DOWN, VK_RIGHT, VK_UP, VK_RETURN, VK_RETURN});
  EXPECT_EQ(Track(m), 14);
}

TEST_F(MenuKeyboardTest, NotificationsComeInOrder) {
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_STRING, 7, "&Seven");
  Keys({VK_DOWN, VK_ESCAPE});
  EXPECT_EQ(Track(m), 0);
  std::vector<TLogged> seen;
  for (const TLogged& l : FLog)
    if (l.Msg == WM_ENTERMENULOOP || l.Msg == WM_EXITMENULOOP || l.Msg == WM_INITMENU || l.Msg == WM_INITMENUPOPUP ||
        l.Msg == WM_MENUSELECT || l.Msg == WM_UNINITMENUPOPUP)
      seen.push_back(l);
  const LPARAM menu = reinterpret_cast<LPARAM>(m);
  const std::vector<TLogged> expected = {
      {WM_ENTERMENULOOP, 1, 0},
      {WM_INITMENU, WPARAM(menu), 0},
      {WM_INITMENUPOPUP, WPARAM(menu), 0},
      {WM_MENUSELECT, MAKEWPARAM(7, MF_HILITE), menu},
      {WM_UNINITMENUPOPUP, WPARAM(menu), 0},
      {WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0},
      {WM_EXITMENULOOP, 1, 0},
  };
  ASSERT_EQ(seen.size(), expected.size());
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].Msg, expected[i].Msg) << i;
    EXPECT_EQ(seen[i].W, expected[i].W) << i;
    EXPECT_EQ(seen[i].L, expected[i].L) << i;
  }
}

// ---- Mouse ---------------------------------------------------------------------------------------

using MenuMouseTest = MenuTest;

TEST_F(MenuMouseTest, ClickChoosesAndPostsCommand) {
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_STRING, 1, "One");
  AppendMenu(m, MF_STRING, 2, "Two");
  FDisplay.Schedule([&] {
    const TPoint p = Centre(m, 1);
    FDisplay.Click(p.X, p.Y);
  });
  EXPECT_NE(Track(m, 0), 0);
  TMsg msg;
  ASSERT_TRUE(PeekMessage(&msg, FOwner, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 2u);
}

TEST_F(MenuMouseTest, DisabledItemCannotBeChosen) {
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_GRAYED, 1, "Off");
  FDisplay.Schedule([&] {
    const TPoint p = Centre(m, 0);
    FDisplay.Click(p.X, p.Y);
  });
  FDisplay.Schedule([&] {
    EXPECT_NE(GetMenuWindow(m), nullptr);  // still open
    FDisplay.Key(VK_ESCAPE);
  });
  EXPECT_EQ(Track(m, 0), 0);
  EXPECT_FALSE(QuitPending());
  TMsg msg;
  EXPECT_FALSE(PeekMessage(&msg, FOwner, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
}

TEST_F(MenuMouseTest, ClickOutsideDismissesAndIsConsumed) {
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_STRING, 1, "One");
  FDisplay.Schedule([&] { FDisplay.Click(450, 350); });  // inside the owner's client area
  EXPECT_EQ(Track(m), 0);
  EXPECT_FALSE(QuitPending());
  EXPECT_EQ(GetMenuWindow(m), nullptr);
  FDisplay.Pump();
  EXPECT_TRUE(Logged(WM_LBUTTONDOWN).empty());
  EXPECT_TRUE(Logged(WM_LBUTTONUP).empty());
}

TEST_F(MenuMouseTest, HoverOpensSubmenuAfterDelay) {
  HMENU file;
  HMENU m = MenuWithSubmenu(&file);
  FDisplay.Schedule([&] {
    const TPoint p = Centre(m, 0);
    FDisplay.MoveMouse(p.X, p.Y);
  });
  FDisplay.ScheduleWait(300);
  FDisplay.Schedule([&] { EXPECT_EQ(GetMenuWindow(file), nullptr); });
  FDisplay.ScheduleWait(150);
  FDisplay.Schedule([&] {
    ASSERT_NE(GetMenuWindow(file), nullptr);
    const TPoint p = Centre(file, 1);
    FDisplay.Click(p.X, p.Y);
  });
  EXPECT_EQ(Track(m), 12);
}

// ---- Owner-drawn items and painting --------------------------------------------------------------

using MenuPaintTest = MenuTest;

TEST_F(MenuPaintTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner) {
  HMENU m = Keep(CreatePopupMenu());
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STATE;
  info.fType = MFT_OWNERDRAW;
  for (UINT i = 0; i < 3; ++i) {
    info.wID = 101 + i;
    info.dwItemData = i + 1;
    info.fState = i == 2 ? (MFS_GRAYED | MFS_CHECKED) : 0;
    ASSERT_TRUE(InsertMenuItem(m, i, true, &info));
  }
  auto lastDraw = [&](UINT id) {
    for (auto it = FDrawn.rbegin(); it != FDrawn.rend(); ++it)
      if (it->itemID == id) return *it;
    ADD_FAILURE() << "item " << id << " not drawn";
    return DRAWITEMSTRUCT{};
  };
  auto pixelAt = [&](UINT pos) {
    const TPoint p = Centre(m, pos);
    return FDisplay.ScreenPixel(p.X, p.Y);
  };
  FDisplay.Schedule([&] {
    const DRAWITEMSTRUCT first = lastDraw(101), second = lastDraw(102), third = lastDraw(103);
    EXPECT_EQ(first.CtlType, ODT_MENU);
    EXPECT_EQ(first.hwndItem, m);
    EXPECT_EQ(first.itemAction, ODA_DRAWENTIRE);
    EXPECT_EQ(first.itemState, 0u);
    EXPECT_EQ(first.itemData, 1u);
    EXPECT_EQ(first.rcItem.Left, 0);
    EXPECT_EQ(first.rcItem.Top, 0);
    EXPECT_EQ(first.rcItem.Bottom, 24);
    EXPECT_GE(first.rcItem.Width(), 80);
    EXPECT_EQ(second.rcItem, (TRect{0, 24, first.rcItem.Right, 54}));
    EXPECT_EQ(third.itemState, ODS_GRAYED | ODS_DISABLED | ODS_CHECKED);  // MFS_GRAYED has both bits
    EXPECT_EQ(pixelAt(0), kItemColor);
    // The owner's pixels fill the item up to the popup's border.
    TRect r;
    GetMenuItemRect(FOwner, m, 0, &r);
    EXPECT_EQ(FDisplay.ScreenPixel(r.Right - 1, r.Top), kItemColor);
    TRect wr;
    GetWindowRect(GetMenuWindow(m), &wr);
    EXPECT_EQ(r.Right, wr.Right - 3);
    FDrawn.clear();
    FDisplay.Key(VK_DOWN);
  });
  FDisplay.Schedule([&] {
    const DRAWITEMSTRUCT selected = lastDraw(101);
    EXPECT_EQ(selected.itemState, ODS_SELECTED);
    EXPECT_EQ(selected.itemAction, ODA_SELECT);
    EXPECT_EQ(pixelAt(0), kSelectedColor);
    EXPECT_EQ(pixelAt(1), kItemColor);
    FDisplay.Key(VK_ESCAPE);
  });
  EXPECT_EQ(Track(m), 0);
  ASSERT_EQ(FMeasured.size(), 3u);
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(FMeasured[i].CtlType, ODT_MENU);
    EXPECT_EQ(FMeasured[i].itemID, 101 + i);
    EXPECT_EQ(FMeasured[i].itemData, i + 1);
  }
}

TEST_F(MenuPaintTest, PlainItemsShowSelectionAndCheckMark) {
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_CHECKED, 1, "Checked");
  AppendMenu(m, MF_STRING, 2, "Plain");
  // Pixels of the text colour in the check-mark gutter of an item.
  auto gutterInk = [&](UINT pos, COLORREF ink) {
    TRect r;
    GetMenuItemRect(FOwner, m, pos, &r);
    int count = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Left + 16; ++x) count += FDisplay.ScreenPixel(x, y) == ink;
    return count;
  };
  auto rightEdge = [&](UINT pos) {
    TRect r;
    GetMenuItemRect(FOwner, m, pos, &r);
    return FDisplay.ScreenPixel(r.Right - 2, (r.Top + r.Bottom) / 2);
  };
  FDisplay.Schedule([&] {
    EXPECT_GT(gutterInk(0, GetSysColor(COLOR_MENUTEXT)), 10);
    EXPECT_EQ(gutterInk(1, GetSysColor(COLOR_MENUTEXT)), 0);
    EXPECT_EQ(rightEdge(0), GetSysColor(COLOR_MENU));
    FDisplay.Key(VK_DOWN);
  });
  FDisplay.Schedule([&] {
    EXPECT_EQ(rightEdge(0), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(gutterInk(0, GetSysColor(COLOR_HIGHLIGHTTEXT)), 10);
    EXPECT_EQ(rightEdge(1), GetSysColor(COLOR_MENU));
    FDisplay.Key(VK_ESCAPE);
  });
  EXPECT_EQ(Track(m), 0);
}

TEST_F(MenuPaintTest, PopupStaysOnScreenAndFollowsAlignment) {
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_STRING, 1, "Something long enough");
  AppendMenu(m, MF_STRING, 2, "Two");
  TRect wr;
  auto capture = [&] {
    GetWindowRect(GetMenuWindow(m), &wr);
    FDisplay.Key(VK_ESCAPE);
  };
  FDisplay.Schedule(capture);
  Track(m, TPM_RETURNCMD, 1275, 1020);
  EXPECT_LE(wr.Right, 1280);
  EXPECT_LE(wr.Bottom, 1024);
  EXPECT_GE(wr.Left, 0);
  FDisplay.Schedule(capture);
  Track(m, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 600, 500);
  EXPECT_EQ(wr.Right, 600);
  EXPECT_EQ(wr.Bottom, 500);
  FDisplay.Schedule(capture);
  Track(m, TPM_RETURNCMD, 600, 500);
  EXPECT_EQ(wr.Left, 600);
  EXPECT_EQ(wr.Top, 500);
}

// ---- Ending the loop -----------------------------------------------------------------------------

using MenuLoopTest = MenuTest;

TEST_F(MenuLoopTest, QuitEndsTrackingAndIsPostedAgain) {
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_STRING, 1, "One");
  EXPECT_EQ(Track(m), 0);  // no input at all: the headless display asks to quit
  EXPECT_TRUE(QuitPending());
}

TEST_F(MenuLoopTest, FocusLossCancelModeAndEndMenuDismiss) {
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_STRING, 1, "One");
  HWND other = CreateWindowEx(0, "MenuTestOwner", "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100, 200, 200, nullptr);
  SetActiveWindow(FOwner);
  FDisplay.Schedule([&] { SetActiveWindow(other); });
  FDisplay.Schedule([&] { Keys({VK_DOWN, VK_RETURN}); });
  EXPECT_EQ(Track(m), 0);
  EXPECT_FALSE(QuitPending());

  SetActiveWindow(FOwner);
  FDisplay.Pump();
  FDisplay.Schedule([&] { EXPECT_TRUE(EndMenu()); });
  EXPECT_EQ(Track(m), 0);
  EXPECT_FALSE(QuitPending());
  EXPECT_FALSE(EndMenu());

  FDisplay.Schedule([&] { SendMessage(GetMenuWindow(m), WM_CANCELMODE); });
  EXPECT_EQ(Track(m), 0);
  EXPECT_FALSE(QuitPending());
}

// ---- Menu bars -----------------------------------------------------------------------------------

class MenuBarTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    FFile = CreatePopupMenu();
    AppendMenu(FFile, MF_STRING, 11, "&New");
    FEdit = CreatePopupMenu();
    AppendMenu(FEdit, MF_STRING, 21, "Cu&t");
    AppendMenu(FEdit, MF_STRING, 22, "&Copy");
    FBar = Keep(CreateMenu());
    AppendMenu(FBar, MF_POPUP, reinterpret_cast<uintptr_t>(FFile), "&File");
    AppendMenu(FBar, MF_POPUP, reinterpret_cast<uintptr_t>(FEdit), "&Edit");
    AppendMenu(FBar, MF_STRING, 5, "&Help");
  }
  std::vector<WPARAM> Commands() const {
    std::vector<WPARAM> ids;
    for (const TLogged& l : Logged(WM_COMMAND)) ids.push_back(l.W);
    return ids;
  }
  HMENU FFile = nullptr, FEdit = nullptr, FBar = nullptr;
};

TEST_F(MenuBarTest, BarTakesRowsFromTheClientArea) {
  TRect before, after;
  GetClientRect(FOwner, &before);
  ASSERT_TRUE(SetMenu(FOwner, FBar));
  EXPECT_EQ(GetMenu(FOwner), FBar);
  GetClientRect(FOwner, &after);
  EXPECT_EQ(before.Height() - after.Height(), 19);
  EXPECT_EQ(before.Width(), after.Width());

  // Items sit side by side on the band between the caption and the client area.
  TRect first, second;
  ASSERT_TRUE(GetMenuItemRect(FOwner, FBar, 0, &first));
  ASSERT_TRUE(GetMenuItemRect(FOwner, FBar, 1, &second));
  EXPECT_EQ(first.Left, 100 + 4);
  EXPECT_EQ(first.Top, 100 + 4 + 19);
  EXPECT_EQ(first.Height(), 19);
  EXPECT_EQ(second.Left, first.Right);
  EXPECT_EQ(second.Top, first.Top);
  TPoint client{0, 0};
  ClientToScreen(FOwner, &client);
  EXPECT_EQ(client.Y, first.Bottom);
  EXPECT_FALSE(GetMenuItemRect(FOwner, FBar, 3, &first));

  // A window narrower than its items wraps them onto a second row.
  AppendMenu(FBar, MF_STRING, 6, "&Window");
  DrawMenuBar(FOwner);
  MoveWindow(FOwner, 100, 100, 112, 300, true);
  TRect last;
  GetMenuItemRect(FOwner, FBar, 0, &first);
  GetMenuItemRect(FOwner, FBar, 3, &last);
  EXPECT_EQ(last.Top, first.Top + 19);
  GetClientRect(FOwner, &after);
  SetMenu(FOwner, nullptr);
  GetClientRect(FOwner, &before);
  EXPECT_EQ(before.Height() - after.Height(), 38);
}

TEST_F(MenuBarTest, ClickOpensItemAndArrowsMoveAlongTheBar) {
  SetMenu(FOwner, FBar);
  FDisplay.Pump();
  FDisplay.Schedule([&] {
    EXPECT_NE(GetMenuWindow(FFile), nullptr);
    TRect item, popup;
    GetMenuItemRect(FOwner, FBar, 0, &item);
    GetWindowRect(GetMenuWindow(FFile), &popup);
    EXPECT_EQ(popup.Left, item.Left);
    EXPECT_EQ(popup.Top, item.Bottom);
    FDisplay.Key(VK_RIGHT);
  });
  FDisplay.Schedule([&] {
    EXPECT_EQ(GetMenuWindow(FFile), nullptr);
    EXPECT_NE(GetMenuWindow(FEdit), nullptr);
    Keys({VK_DOWN, VK_RETURN});
  });
  const TPoint p = Centre(FBar, 0);
  FDisplay.Click(p.X, p.Y);
  FDisplay.Pump();
  EXPECT_EQ(Commands(), std::vector<WPARAM>{22});
  EXPECT_FALSE(QuitPending());

  // An item without a popup sends its command on a click.
  const TPoint help = Centre(FBar, 2);
  FDisplay.Click(help.X, help.Y);
  FDisplay.Pump();
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{22, 5}));
}

TEST_F(MenuBarTest, F10AndAltLetterEnterTheBar) {
  SetMenu(FOwner, FBar);
  FDisplay.Pump();
  // F10 only highlights File; Right moves to Edit without opening it, Down opens it.
  FDisplay.Schedule([&] {
    EXPECT_EQ(GetMenuWindow(FFile), nullptr);
    FDisplay.Key(VK_RIGHT);
  });
  FDisplay.Schedule([&] {
    EXPECT_EQ(GetMenuWindow(FEdit), nullptr);
    FDisplay.Key(VK_DOWN);
  });
  FDisplay.Schedule([&] {
    EXPECT_NE(GetMenuWindow(FEdit), nullptr);
    FDisplay.Key(VK_RETURN);
  });
  FDisplay.Key(VK_F10);
  FDisplay.Pump();
  EXPECT_EQ(Commands(), std::vector<WPARAM>{21});

  FDisplay.Schedule([&] { Keys({'C'}); });
  FDisplay.KeyDown(VK_LMENU);
  FDisplay.Key('E');
  FDisplay.KeyUp(VK_LMENU);
  FDisplay.Pump();
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{21, 22}));
}

// ---- System menu ---------------------------------------------------------------------------------

using MenuSystemTest = MenuTest;

TEST_F(MenuSystemTest, StatesFollowTheWindowAndCloseSendsSysCommand) {
  HMENU sys = GetSystemMenu(FOwner, false);
  ASSERT_TRUE(IsMenu(sys));
  EXPECT_EQ(GetSystemMenu(FOwner, false), sys);
  EXPECT_EQ(GetMenuDefaultItem(sys, false), UINT(SC_CLOSE));
  auto grayed = [&](WPARAM id) { return (GetMenuState(sys, UINT(id), MF_BYCOMMAND) & MF_GRAYED) != 0; };

  FDisplay.Key(VK_ESCAPE);
  TrackSystemMenu(FOwner, {150, 150});
  EXPECT_TRUE(grayed(SC_RESTORE));
  EXPECT_FALSE(grayed(SC_SIZE));
  EXPECT_FALSE(grayed(SC_MAXIMIZE));
  auto inits = Logged(WM_INITMENUPOPUP);
  ASSERT_EQ(inits.size(), 1u);
  EXPECT_EQ(HIWORD(uintptr_t(inits[0].L)), 1u);  // the system menu says so

  ShowWindow(FOwner, SW_MAXIMIZE);
  FDisplay.Pump();
  FLog.clear();
  FDisplay.Key('C');
  TrackSystemMenu(FOwner, {150, 150});
  EXPECT_FALSE(grayed(SC_RESTORE));
  EXPECT_TRUE(grayed(SC_MAXIMIZE));
  EXPECT_TRUE(grayed(SC_SIZE));
  EXPECT_TRUE(grayed(SC_MOVE));
  EXPECT_FALSE(grayed(SC_MINIMIZE));
  auto sysCommands = Logged(WM_SYSCOMMAND);
  ASSERT_EQ(sysCommands.size(), 1u);
  EXPECT_EQ(sysCommands[0].W, SC_CLOSE);
  EXPECT_TRUE(Logged(WM_COMMAND).empty());
}

// ---- Menu objects --------------------------------------------------------------------------------

using MenuObjectTest = MenuTest;

TEST_F(MenuObjectTest, DestroyedMenusAreRejectedNotCrashedOn) {
  HMENU sub = CreatePopupMenu();
  HMENU m = CreatePopupMenu();
  AppendMenu(m, MF_POPUP, reinterpret_cast<uintptr_t>(sub), "Sub");
  ASSERT_TRUE(DestroyMenu(m));
  EXPECT_FALSE(IsMenu(m));
  EXPECT_FALSE(IsMenu(sub));  // submenus go with their menu
  EXPECT_EQ(GetMenuItemCount(m), -1);
  EXPECT_FALSE(AppendMenu(m, MF_STRING, 1, "x"));
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 10, 10, 0, FOwner, nullptr), 0);
  EXPECT_FALSE(SetMenu(FOwner, m));
  EXPECT_FALSE(DestroyMenu(m));

  // RemoveMenu keeps the submenu, DeleteMenu destroys it.
  HMENU a = Keep(CreatePopupMenu()), b = CreatePopupMenu(), c = CreatePopupMenu();
  AppendMenu(a, MF_POPUP, reinterpret_cast<uintptr_t>(b), "B");
  AppendMenu(a, MF_POPUP, reinterpret_cast<uintptr_t>(c), "C");
  EXPECT_TRUE(RemoveMenu(a, 0, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(b));
  EXPECT_TRUE(DeleteMenu(a, 0, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(c));
  EXPECT_EQ(GetMenuItemCount(a), 0);
  // A menu cannot become its own submenu, directly or further down.
  EXPECT_FALSE(AppendMenu(a, MF_POPUP, reinterpret_cast<uintptr_t>(a), "Self"));
  AppendMenu(a, MF_POPUP, reinterpret_cast<uintptr_t>(b), "B");
  EXPECT_FALSE(AppendMenu(b, MF_POPUP, reinterpret_cast<uintptr_t>(a), "Loop"));
}

TEST_F(MenuObjectTest, MenuDestroyedWhileShownEndsTracking) {
  HMENU m = CreatePopupMenu();
  AppendMenu(m, MF_STRING, 1, "One");
  FOnInitPopup = [](HMENU shown) { DestroyMenu(shown); };
  Keys({VK_DOWN, VK_RETURN});
  EXPECT_EQ(Track(m), 0);
  EXPECT_FALSE(IsMenu(m));

  // A destroyed menu bar leaves its window, which gets its client area back.
  TRect before, after;
  GetClientRect(FOwner, &before);
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_STRING, 1, "One");
  SetMenu(FOwner, bar);
  DestroyMenu(bar);
  EXPECT_EQ(GetMenu(FOwner), nullptr);
  GetClientRect(FOwner, &after);
  EXPECT_EQ(after, before);
}

TEST_F(MenuObjectTest, ItemStatesAndInfo) {
  HMENU sub = CreatePopupMenu();
  AppendMenu(sub, MF_STRING, 31, "Deep");
  HMENU m = Keep(CreatePopupMenu());
  AppendMenu(m, MF_STRING, 1, "One");
  AppendMenu(m, MF_STRING, 2, "Two");
  AppendMenu(m, MF_STRING, 3, "Three");
  AppendMenu(m, MF_POPUP, reinterpret_cast<uintptr_t>(sub), "Sub");

  EXPECT_TRUE(CheckMenuRadioItem(m, 1, 3, 2, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuState(m, 2, MF_BYCOMMAND) & (MF_CHECKED | MFT_RADIOCHECK), MF_CHECKED | MFT_RADIOCHECK);
  EXPECT_TRUE(CheckMenuRadioItem(m, 0, 2, 2, MF_BYPOSITION));
  EXPECT_EQ(GetMenuState(m, 2, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(GetMenuState(m, 3, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(GetMenuState(m, 3, MF_BYPOSITION), MF_POPUP | (1u << 8));
  EXPECT_EQ(GetMenuItemID(m, 3), UINT(-1));
  EXPECT_EQ(GetSubMenu(m, 3), sub);

  EXPECT_EQ(EnableMenuItem(m, 1, MF_BYCOMMAND | MF_GRAYED), int(MF_ENABLED));
  EXPECT_EQ(EnableMenuItem(m, 1, MF_BYCOMMAND | MF_ENABLED), int(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(m, 99, MF_BYCOMMAND), -1);
  EXPECT_EQ(CheckMenuItem(m, 31, MF_BYCOMMAND | MF_CHECKED), int(MF_UNCHECKED));  // found in the submenu
  EXPECT_EQ(CheckMenuItem(m, 31, MF_BYCOMMAND), int(MF_CHECKED));

  ASSERT_TRUE(SetMenuDefaultItem(m, 1, false));
  ASSERT_TRUE(SetMenuDefaultItem(m, 2, true));
  EXPECT_EQ(GetMenuDefaultItem(m, false), 3u);
  EXPECT_EQ(GetMenuState(m, 1, MF_BYCOMMAND) & MF_DEFAULT, 0u);

  // Inserting by command lands before that item, in the submenu that holds it.
  MENUITEMINFO info;
  info.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA;
  info.wID = 30;
  info.dwTypeData = "Deeper\tF3";
  info.dwItemData = 77;
  ASSERT_TRUE(InsertMenuItem(m, 31, false, &info));
  EXPECT_EQ(GetMenuItemID(sub, 0), 30u);
  MENUITEMINFO back;
  back.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA | MIIM_SUBMENU;
  ASSERT_TRUE(GetMenuItemInfo(m, 30, false, &back));
  EXPECT_EQ(back.dwTypeData, "Deeper\tF3");
  EXPECT_EQ(back.dwItemData, 77u);
  EXPECT_EQ(back.hSubMenu, nullptr);
  EXPECT_EQ(GetMenuString(sub, 1, MF_BYPOSITION), "Deep");
}

}  // namespace
