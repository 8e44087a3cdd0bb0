#include "tests/windowing/WindowingTestSupport.h"

namespace {

using Procedures = HeadlessTest;
using Timers = HeadlessTest;
using ModalLoops = HeadlessTest;
using Keyboard = HeadlessTest;

TEST_F(Procedures, SubclassingChainsAndRestores) {
  HWND w = CreateRecorded(WS_POPUP, 0, 0, 10, 10);
  std::vector<std::string> calls;
  WNDPROC old = GetWindowProc(w);
  SetWindowProc(w, [&calls, old](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_USER) {
      calls.push_back("subclass");
      return 7 + CallWindowProc(old, h, m, wp, lp);
    }
    return CallWindowProc(old, h, m, wp, lp);
  });
  TRecorder::Get().Clear();
  EXPECT_EQ(SendMessage(w, WM_USER, 1, 2), 7);
  EXPECT_EQ(calls, std::vector<std::string>{"subclass"});
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_USER);  // the original still saw it
  WNDPROC replaced = SetWindowProc(w, old);
  EXPECT_TRUE(bool(replaced));
  EXPECT_EQ(SendMessage(w, WM_USER, 1, 2), 0);
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(Procedures, SendMessageIsReentrantAndSurvivesDestructionInAHandler) {
  HWND w = CreateRecorded(WS_POPUP, 0, 0, 10, 10);
  int depth = 0, maxDepth = 0;
  TRecorder::Get().Hook = [&](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT& result) {
    if (m != WM_USER) return false;
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    result = wp == 0 ? 1 : 1 + SendMessage(h, WM_USER, wp - 1, 0);
    --depth;
    return true;
  };
  EXPECT_EQ(SendMessage(w, WM_USER, 4, 0), 5);
  EXPECT_EQ(maxDepth, 5);
  // A handler that destroys its own window: the caller gets its answer, the handle dies.
  TRecorder::Get().Hook = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT& result) {
    if (m != WM_USER + 1) return false;
    DestroyWindow(h);
    result = 42;
    return true;
  };
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 0, 0), 42);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 0, 0), 0);
  EXPECT_FALSE(PostMessage(w, WM_USER, 0, 0));
}

TEST_F(Procedures, PostedMessagesArriveInOrderAndQuitEndsTheLoop) {
  HWND w = CreateRecorded(WS_POPUP, 0, 0, 10, 10);
  PostMessage(w, WM_USER + 1);
  PostMessage(w, WM_USER + 2);
  PostQuitMessage(3);
  TRecorder::Get().Clear();
  TMsg msg;
  int dispatched = 0;
  while (GetMessage(&msg)) {
    DispatchMessage(&msg);
    ++dispatched;
  }
  EXPECT_EQ(dispatched, 2);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_MESSAGES(TRecorder::Get().Messages(w), WM_USER + 1, WM_USER + 2);
  EXPECT_EQ(RegisterWindowMessage("SM_TEST"), RegisterWindowMessage("SM_TEST"));
  EXPECT_GE(RegisterWindowMessage("SM_TEST"), 0xC000u);
  EXPECT_NE(RegisterWindowMessage("SM_OTHER"), RegisterWindowMessage("SM_TEST"));
}

TEST_F(Timers, FireAtTheirVirtualTimesWithoutDrift) {
  HWND w = CreateRecorded(WS_POPUP, 0, 0, 10, 10);
  std::vector<std::pair<uintptr_t, uint64_t>> ticks;
  TRecorder::Get().Hook = [&](HWND, UINT m, WPARAM id, LPARAM, LRESULT&) {
    if (m == WM_TIMER) ticks.push_back({id, GetTickCount64()});
    return false;
  };
  SetTimer(w, 1, 10);
  SetTimer(w, 2, 25);
  Display.Advance(9);
  EXPECT_TRUE(ticks.empty());
  Display.Advance(51);  // up to 60 ms
  // Timers due at the same moment fire in the order they were set.
  std::vector<std::pair<uintptr_t, uint64_t>> expected = {{1, 10}, {1, 20}, {2, 25}, {1, 30}, {1, 40},
                                                          {1, 50}, {2, 50}, {1, 60}};
  EXPECT_EQ(ticks, expected);
  KillTimer(w, 1);
  ticks.clear();
  Display.Advance(40);
  EXPECT_EQ(ticks, (std::vector<std::pair<uintptr_t, uint64_t>>{{2, 75}, {2, 100}}));
  EXPECT_FALSE(KillTimer(w, 1));
  // Setting an existing timer again restarts it.
  SetTimer(w, 2, 30);
  ticks.clear();
  Display.Advance(29);
  EXPECT_TRUE(ticks.empty());
  Display.Advance(1);
  EXPECT_EQ(ticks.size(), 1u);
}

TEST_F(Timers, DestroyingTheWindowStopsItsTimers) {
  HWND w = CreateRecorded(WS_POPUP, 0, 0, 10, 10);
  SetTimer(w, 1, 10);
  DestroyWindow(w);
  EXPECT_EQ(NextTimerDue(), UINT64_MAX);
}

TEST_F(ModalLoops, NestedLoopsRunInsideHandlersAndUnwindInOrder) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  std::vector<std::string> trace;
  // WM_USER runs a nested loop until WM_USER + 9 arrives; WM_USER + 1 nests a second one.
  std::function<void(const std::string&, UINT)> runLoop = [&](const std::string& name, UINT endMsg) {
    trace.push_back("enter " + name);
    TMsg m;
    while (GetMessage(&m)) {
      if (m.message == endMsg) break;
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
    trace.push_back("leave " + name);
  };
  TRecorder::Get().Hook = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_USER) runLoop("outer", WM_USER + 9);
    if (m == WM_USER + 1) runLoop("inner", WM_USER + 8);
    if (m == WM_USER + 2) trace.push_back("work");
    return false;
  };
  Display.Schedule([&] { PostMessage(w, WM_USER + 1); });
  Display.Schedule([&] { PostMessage(w, WM_USER + 2); });
  Display.Schedule([&] { PostMessage(w, WM_USER + 8); });
  Display.Schedule([&] { PostMessage(w, WM_USER + 2); });
  Display.Schedule([&] { PostMessage(w, WM_USER + 9); });
  SendMessage(w, WM_USER);
  EXPECT_EQ(trace, (std::vector<std::string>{"enter outer", "enter inner", "work", "leave inner", "work", "leave outer"}));
  EXPECT_TRUE(Display.ScriptDone());
}

TEST_F(ModalLoops, DisabledOwnerRefusesClicksAndBringsItsDialogForward) {
  HWND owner = CreateRecorded(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
  HWND dialog = CreateRecorded(WS_POPUP | WS_CAPTION | WS_VISIBLE, 400, 0, 200, 100, owner);
  EnableWindow(owner, false);
  SetActiveWindow(owner);
  EXPECT_EQ(GetActiveWindow(), dialog);  // a disabled window cannot be activated
  Display.Pump();
  TRecorder::Get().Clear();
  Display.Click(100, 100);
  Display.Pump();
  EXPECT_MESSAGES(TRecorder::Get().Messages(owner));
  EXPECT_EQ(Display.BeepCount(), 1);
  EXPECT_EQ(GetActiveWindow(), dialog);
}

TEST_F(Keyboard, KeysGoToTheFocusAndAreTranslatedToCharacters) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND child = CreateRecorded(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, w);
  SetFocus(child);
  Display.Pump();
  TRecorder::Get().Clear();
  Display.TypeText("a!");
  Display.Pump();
  std::vector<WPARAM> chars;
  for (const TRecorded& r : TRecorder::Get().Log)
    if (r.Message == WM_CHAR) chars.push_back(r.WParam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{'a', '!'}));
  EXPECT_MESSAGES(TRecorder::Get().Messages(w));
  EXPECT_EQ(TRecorder::Get().Messages(child).front(), UINT(WM_KEYDOWN));
  // Alt+F4 closes the window through the system command.
  TRecorder::Get().Clear();
  Display.KeyDown(VK_LMENU);
  Display.Key(VK_F4);
  Display.KeyUp(VK_LMENU);
  Display.Pump();
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(Keyboard, FocusMessagesAndDisabledWindowsRefuseFocus) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND a = CreateRecorded(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, w);
  HWND b = CreateRecorded(WS_CHILD | WS_VISIBLE | WS_DISABLED, 20, 0, 10, 10, w);
  SetFocus(a);
  TRecorder::Get().Clear();
  EXPECT_EQ(SetFocus(b), nullptr);
  EXPECT_EQ(GetFocus(), a);
  EnableWindow(b, true);
  SetFocus(b);
  EXPECT_MESSAGES(TRecorder::Get().Messages(), WM_ENABLE, WM_KILLFOCUS, WM_SETFOCUS);
  EXPECT_EQ(TRecorder::Get().Log[1].Window, a);
  EXPECT_EQ(TRecorder::Get().Log[2].Window, b);
}

using Drops = HeadlessTest;

// Records the drops each window receives: its paths, in order.
struct TDropLog {
  std::vector<std::pair<HWND, std::vector<std::string>>> Drops;
  TDropLog() {
    TRecorder::Get().Hook = [this](HWND h, UINT m, WPARAM wp, LPARAM, LRESULT&) {
      if (m != WM_DROPFILES) return false;
      std::vector<std::string> paths;
      for (UINT i = 0; i < DragQueryFileCount(wp); ++i) paths.push_back(DragQueryFile(wp, i));
      DragFinish(wp);
      Drops.push_back({h, paths});
      return true;
    };
  }
};

TEST_F(Drops, ADroppedFileArrivesAsAMessageWithItsPath) {
  HWND w = CreateRecorded(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, WS_EX_ACCEPTFILES);
  TDropLog log;
  Display.DropFile("/tmp/some rom.bin", 50, 50);
  Display.Pump();
  ASSERT_EQ(log.Drops.size(), 1u);
  EXPECT_EQ(log.Drops[0].first, w);
  EXPECT_EQ(log.Drops[0].second, std::vector<std::string>{"/tmp/some rom.bin"});
}

TEST_F(Drops, SeveralFilesOfOneDropComeInOneMessageInTheirOrder) {
  CreateRecorded(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, WS_EX_ACCEPTFILES);
  TDropLog log;
  Display.DropFiles({"/a/first.rom", "/b/second.bin", "/c/third"}, 10, 10);
  Display.Pump();
  ASSERT_EQ(log.Drops.size(), 1u);
  EXPECT_EQ(log.Drops[0].second, (std::vector<std::string>{"/a/first.rom", "/b/second.bin", "/c/third"}));
}

TEST_F(Drops, GoToTheNearestAncestorThatAcceptsFiles) {
  HWND top = CreateRecorded(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, WS_EX_ACCEPTFILES);
  HWND box = CreateRecorded(WS_CHILD | WS_VISIBLE, 10, 10, 150, 150, top);
  HWND button = CreateRecorded(WS_CHILD | WS_VISIBLE, 20, 20, 50, 30, box);
  TDropLog log;
  Display.DropFile("/x.rom", 40, 40);  // over the button, inside the box
  Display.Pump();
  ASSERT_EQ(log.Drops.size(), 1u);
  EXPECT_EQ(log.Drops[0].first, top);
  // Once the box accepts files too, it is the nearer one.
  DragAcceptFiles(box, true);
  Display.DropFile("/y.rom", 40, 40);
  Display.Pump();
  ASSERT_EQ(log.Drops.size(), 2u);
  EXPECT_EQ(log.Drops[1].first, box);
  (void)button;
}

TEST_F(Drops, ADropNobodyAcceptsOrOnADisabledWindowIsDiscarded) {
  HWND plain = CreateRecorded(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND accepting = CreateRecorded(WS_POPUP | WS_VISIBLE, 300, 0, 100, 100, nullptr, WS_EX_ACCEPTFILES);
  TDropLog log;
  Display.DropFile("/nobody.rom", 50, 50);
  EnableWindow(accepting, false);  // as behind a modal dialog
  Display.DropFile("/disabled.rom", 350, 50);
  Display.Pump();
  EXPECT_TRUE(log.Drops.empty());
  DragAcceptFiles(plain, true);
  Display.DropFile("/now.rom", 50, 50);
  Display.Pump();
  ASSERT_EQ(log.Drops.size(), 1u);
  EXPECT_EQ(log.Drops[0].first, plain);
}

TEST(DropStore, QueriesPastTheLastFileOrAfterTheFinishGiveNothing) {
  const WPARAM drop = DragStore({"/one", "/two"});
  EXPECT_EQ(DragQueryFileCount(drop), 2u);
  EXPECT_EQ(DragQueryFile(drop, 1), "/two");
  EXPECT_EQ(DragQueryFile(drop, 2), "");
  DragFinish(drop);
  EXPECT_EQ(DragQueryFileCount(drop), 0u);
  EXPECT_EQ(DragQueryFile(drop, 0), "");
}

}  // namespace
