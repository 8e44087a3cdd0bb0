#pragma once
// Shared pieces of the window-system tests: a headless screen per test and a window class
// that records the messages its windows receive.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/windowing/WinApi.h"

struct TRecorded {
  HWND Window;
  UINT Message;
  WPARAM WParam;
  LPARAM LParam;
};

// Records messages of windows of the class "Recorder"; messages in `Ignored` are not kept.
class TRecorder {
 public:
  static TRecorder& Get();
  std::vector<TRecorded> Log;
  std::vector<UINT> Ignored = {WM_NCHITTEST, WM_GETTEXT, WM_GETTEXTLENGTH, WM_SETCURSOR, WM_GETMINMAXINFO};
  // Extra behaviour of the test at hand, run before DefWindowProc; return true to stop there.
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> Hook;

  void Clear() { Log.clear(); }
  std::vector<UINT> Messages(HWND only = nullptr) const;
  std::vector<UINT> MessagesFor(HWND only) const { return Messages(only); }
  static void RegisterClasses();
};

// Message names for readable failures.
std::string MessageName(UINT msg);
std::string Describe(const std::vector<UINT>& msgs);

class HeadlessTest : public ::testing::Test {
 protected:
  THeadlessDisplay Display;
  void SetUp() override;
  void TearDown() override;
  HWND CreateRecorded(uint32_t style, int x, int y, int w, int h, HWND parent = nullptr, uint32_t exStyle = 0);
};

#define EXPECT_MESSAGES(actual, ...) \
  EXPECT_EQ(Describe(actual), Describe(std::vector<UINT>{__VA_ARGS__}))
