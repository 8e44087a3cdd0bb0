#include <gtest/gtest.h>

#include "tools/UiScript.h"

namespace {

TEST(UiScript, ParsesEveryCommand) {
  const auto cmds = ParseUiScript(
      "# a comment\n\nmove 10 20\nclick 30 40 right\npress\nrelease left\nkey Shift+Tab\nkey F4\n"
      "type some text here\nopen /tmp/a rom.bin\nwait 250\nshot out.png\n");
  ASSERT_EQ(cmds.size(), 10u);
  EXPECT_EQ(cmds[0].Numbers, (std::vector<int>{10, 20}));
  EXPECT_EQ(cmds[1].Button, 1);
  EXPECT_EQ(cmds[4].Key, WPARAM(VK_TAB));
  EXPECT_EQ(cmds[4].Modifiers, (std::vector<WPARAM>{VK_LSHIFT}));
  EXPECT_EQ(cmds[5].Key, WPARAM(VK_F4));
  EXPECT_EQ(cmds[6].Text, "some text here");
  EXPECT_EQ(cmds[7].Text, "/tmp/a rom.bin");
  EXPECT_EQ(cmds[8].Numbers, (std::vector<int>{250}));
  EXPECT_EQ(cmds[2].Line, 5);
}

TEST(UiScript, BadScriptsNameTheLine) {
  const std::pair<const char*, const char*> bad[] = {
      {"jump 1 2", "line 1: unknown command 'jump'"},
      {"move 1", "line 1: move needs X and Y"},
      {"\nclick a b", "line 2: 'a' is not a number"},
      {"key Hyper+A", "line 1: unknown modifier 'Hyper'"},
      {"key Nope", "line 1: unknown key 'Nope'"},
      {"wait", "line 1: wait needs milliseconds"},
      {"type", "line 1: type needs text"},
      {"click 1 2 sideways", "line 1: unknown button 'sideways'"},
  };
  for (const auto& [script, message] : bad) {
    try {
      ParseUiScript(script);
      ADD_FAILURE() << script;
    } catch (const EUiScriptError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

}  // namespace
