#include "launch/launch_keys.h"

#include <gtest/gtest.h>

#include <optional>

#include "fake.h"
#include "indicator/indicator_panel.h"
#include "indicator/keyboard_hook.h"
#include "platform/win_records.h"

namespace {

const char kWmplayer[] = "C:\\Program Files\\Windows Media Player\\wmplayer.exe";

class LaunchKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    hotKeys.emplace(panel);
  }
  void TearDown() override { hotKeys.reset(); }

  // A hot key of the panel, as its form hands it on.
  void hotKey(std::int32_t id) { panel.form().onHotKey(id); }
  static std::vector<fake::Desktop::Started>& started() { return fake::desktop().started; }

  IndicatorPanel panel;
  std::optional<LaunchHotKeys> hotKeys;
};

// Windows' own programs, by the full paths Windows reports, started in the
// system folder and off the thread that serves the keyboard hook.
TEST_F(LaunchKeyTest, EachKeyStartsWindowsOwnProgram) {
  fake::answers().windowsFolder = "D:\\WINNT";
  fake::answers().systemFolder = "D:\\WINNT\\system32";
  hotKey(hotKeys->hotKeyId(0xB6));
  hotKey(hotKeys->hotKeyId(0xB7));
  hotKey(hotKeys->hotKeyId(0xB5));
  const std::string system = "D:\\WINNT\\system32";
  EXPECT_EQ(started(), (std::vector<fake::Desktop::Started>{
                           {"open", "D:\\WINNT\\explorer.exe", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", system, 1,
                            true},
                           {"", system + "\\calc.exe", "", system, 1, true},
                           {"", kWmplayer, "", system, 1, true},
                       }));
}

TEST_F(LaunchKeyTest, NothingStartsWithoutAFolderOrForAnotherId) {
  fake::answers().windowsFolder = "";
  fake::answers().systemFolder = "";
  for (const std::uint32_t key : {0xB5, 0xB6, 0xB7}) hotKey(hotKeys->hotKeyId(key));
  fake::answers() = fake::Answers();
  for (const std::int32_t id : {0, 1, -1, 0xC004, -16380, 0x7FFFFFFF}) {
    fake::form(panel.hwnd()).minimized = true;
    hotKey(id);
    EXPECT_FALSE(fake::form(panel.hwnd()).minimized) << "any hot key brings the panel back";
  }
  EXPECT_TRUE(started().empty());
}

TEST_F(LaunchKeyTest, AtomsBelow0x8000StayPositive) {
  hotKeys.reset();
  fake::answers().atoms = {{"Bexil", 0x7FFF}, {"Bexil1", 0x8000}, {"Bexil2", 0x0001}};
  hotKeys.emplace(panel);
  EXPECT_EQ(hotKeys->hotKeyId(0xB6), 0x7FFF);
  EXPECT_EQ(hotKeys->hotKeyId(0xB7), -32768);
  EXPECT_EQ(hotKeys->hotKeyId(0xB5), 1);
  hotKey(-32768);
  ASSERT_EQ(started().size(), 1u);
  EXPECT_EQ(started()[0].program, "C:\\WINDOWS\\system32\\calc.exe");
}

TEST(LaunchHotKeyRegistration, KeysAreTakenWithoutTheNoRepeatFlagWhereWindowsLacksIt) {
  const struct {
    std::uint32_t major, minor;
    bool refused;
    std::uint32_t modifiers;
  } cases[] = {{6, 0, false, 0}, {5, 1, false, 0}, {6, 1, true, 0}, {6, 1, false, 0x4000}, {10, 0, false, 0x4000}};
  for (const auto& c : cases) {
    fake::reset();
    fake::answers().majorVersion = c.major;
    fake::answers().minorVersion = c.minor;
    fake::answers().noRepeatRefused = c.refused;
    IndicatorPanel panel;
    const win::Handle hwnd = panel.hwnd();
    {
      const LaunchHotKeys keys(panel);
      using HotKeys = decltype(fake::desktop().hotKeys);
      EXPECT_EQ(fake::desktop().hotKeys, (HotKeys{{{hwnd, -16383}, {c.modifiers, 0xB6}},
                                                  {{hwnd, -16382}, {c.modifiers, 0xB7}},
                                                  {{hwnd, -16381}, {c.modifiers, 0xB5}}}))
          << c.major << "." << c.minor;
    }
    EXPECT_TRUE(fake::desktop().hotKeys.empty());
    EXPECT_EQ(fake::desktop().faults, std::vector<std::string>{});
  }
}

TEST(MediaPlayer, Windows2000GetsMplayer2EveryOtherVersionWmplayer) {
  const struct {
    bool known;
    std::uint32_t major;
    std::uint32_t minor;
    const char* player;
  } cases[] = {{true, 5, 0, "mplayer2.exe"}, {true, 5, 1, "wmplayer.exe"}, {true, 6, 0, "wmplayer.exe"},
               {true, 6, 1, "wmplayer.exe"}, {true, 4, 0, "wmplayer.exe"}, {false, 5, 0, "wmplayer.exe"}};
  for (const auto& c : cases) {
    fake::reset();
    fake::answers().versionKnown = c.known;
    fake::answers().majorVersion = c.major;
    fake::answers().minorVersion = c.minor;
    EXPECT_EQ(mediaPlayerPath(), std::string("C:\\Program Files\\Windows Media Player\\") + c.player)
        << c.known << " " << c.major << "." << c.minor;
  }
}

TEST(MediaPlayer, ProgramsFolderComesFromWindows) {
  fake::reset();
  fake::answers().programFiles = "D:\\Programme";
  EXPECT_EQ(mediaPlayerPath(), "D:\\Programme\\Windows Media Player\\wmplayer.exe");
  fake::answers().programFiles = "E:\\";
  EXPECT_EQ(mediaPlayerPath(), "E:\\Windows Media Player\\wmplayer.exe");
  fake::answers().programFiles = "";
  EXPECT_EQ(mediaPlayerPath(), kWmplayer);
}

}  // namespace

namespace {

// The keyboard hook and the launch keys together, as Windows drives them.
class LaunchPressTest : public ::testing::Test {
 protected:

  void key(std::uint32_t flags) {
    win::KBDLLHOOKSTRUCT event = {0xB7, 0x21, flags, 0, 0};
    KeyboardHookProc(0, flags == 0 ? 0x100 : 0x101, reinterpret_cast<win::LParam>(&event));
  }
  void hotKey() { panel.form().onHotKey(keys.hotKeyId(0xB7)); }
  static std::size_t started() { return fake::desktop().started.size(); }

  const bool fresh = (fake::reset(), true);
  IndicatorPanel panel;
  LaunchHotKeys keys{panel};
  std::optional<KeyboardHook> hook;
};

TEST_F(LaunchPressTest, AKeyHeldDownStartsOneProgramAndHotKeysWithoutAPressNone) {
  hook.emplace(panel, keys);
  // Held: its hot keys handled once it is released, after all its presses.
  for (int i = 0; i < 15; ++i) key(0);
  key(0x80);
  for (int i = 0; i < 15; ++i) hotKey();
  // Held again: each hot key handled as its press comes, the key down.
  fake::answers().keysDown = {0xB7};
  for (int i = 0; i < 15; ++i) key(0), hotKey();
  EXPECT_EQ(started(), 2u);
  // Down, though the hook saw no press: typed into an elevated program, or
  // the hook was dropped. Then up: posted by another program.
  key(0x80);
  hotKey();
  fake::answers().keysDown.clear();
  for (int i = 0; i < 200; ++i) hotKey();
  EXPECT_EQ(started(), 3u);
}

TEST_F(LaunchPressTest, WithoutTheHookEveryHotKeyCountsButOnlyOneStartsAtATime) {
  fake::answers().hookHandle = 0;
  hook.emplace(panel, keys);
  fake::answers().holdJobs = true;
  for (int i = 0; i < 200; ++i) hotKey();
  panel.form().onHotKey(keys.hotKeyId(0xB5));
  EXPECT_EQ(fake::heldJobs().size(), 2u);  // one per key
  fake::runHeldJobs();
  hotKey();
  EXPECT_EQ(fake::heldJobs().size(), 1u);  // the key is free again once its start is done
  // A thread that could not start leaves the key free too.
  fake::runHeldJobs();
  fake::answers().threadsStart = false;
  hotKey();
  fake::answers().threadsStart = true;
  hotKey();
  EXPECT_EQ(fake::heldJobs().size(), 1u);
}

}  // namespace
