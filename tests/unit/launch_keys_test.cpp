#include "launch/launch_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "fake.h"
#include "indicator/indicator_panel.h"
#include "indicator/keyboard_hook.h"
#include "platform/win_records.h"
#include "recorder.h"

namespace {

const char kWmplayer[] = "C:\\Program Files\\Windows Media Player\\wmplayer.exe";

class LaunchKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    hotKeys.emplace(panel);
    fake::calls().clear();
  }
  void TearDown() override { hotKeys.reset(); }

  // A hot key of the panel, as its form hands it on.
  void hotKey(std::int32_t id) { panel.form().onHotKey(id); }

  IndicatorPanel panel;
  std::optional<LaunchHotKeys> hotKeys;
};

// Windows' own programs, by the full paths Windows reports, and started off
// the thread that serves the keyboard hook.
TEST_F(LaunchKeyTest, MyComputerKeyOpensTheFolderThroughWindowsOwnExplorer) {
  fake::answers().windowsFolder = "D:\\WINNT";
  hotKey(hotKeys->hotKeyId(0xB6));
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                               "Tovix.WindowState(0)",
                               "worker: " + fake::call("ShellExecuteA", panel.hwnd(), "open", "D:\\WINNT\\explorer.exe",
                                                       "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
                                                       fake::answers().systemFolder, 1),
                           }));
}

TEST_F(LaunchKeyTest, CalculatorKeyStartsTheSystemFoldersCalc) {
  fake::answers().systemFolder = "D:\\WINNT\\system32";
  hotKey(hotKeys->hotKeyId(0xB7));
  const std::string started = fake::call("StartProgram", "D:\\WINNT\\system32\\calc.exe", "D:\\WINNT\\system32", 1);
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{"Tovix.WindowState(0)", "worker: " + started}));
}

TEST_F(LaunchKeyTest, MediaKeyStartsThePlayerByItsPath) {
  hotKey(hotKeys->hotKeyId(0xB5));
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                               "Tovix.WindowState(0)",
                               "worker: GetVersionExA(148)",
                               "worker: SHGetFolderPathA(38)",
                               "worker: " + fake::call("StartProgram", kWmplayer, fake::answers().systemFolder, 1),
                           }));
}

TEST_F(LaunchKeyTest, NoProgramStartsWhenWindowsReportsNoFolder) {
  fake::answers().windowsFolder = "";
  fake::answers().systemFolder = "";
  hotKey(hotKeys->hotKeyId(0xB6));
  hotKey(hotKeys->hotKeyId(0xB7));
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{"Tovix.WindowState(0)", "Tovix.WindowState(0)"}));
}

TEST_F(LaunchKeyTest, UnknownIdOnlyRestoresTheWindowState) {
  for (const std::int32_t id : {0, 1, -1, 0xC004, -16380, 0x7FFFFFFF}) {
    fake::calls().clear();
    hotKey(id);
    EXPECT_EQ(fake::calls(), std::vector<std::string>{"Tovix.WindowState(0)"}) << id;
  }
}

TEST_F(LaunchKeyTest, AtomsBelow0x8000StayPositive) {
  hotKeys.reset();
  fake::answers().atoms = {{"Bexil", 0x7FFF}, {"Bexil1", 0x8000}, {"Bexil2", 0x0001}};
  hotKeys.emplace(panel);
  EXPECT_EQ(hotKeys->hotKeyId(0xB6), 0x7FFF);
  EXPECT_EQ(hotKeys->hotKeyId(0xB7), -32768);
  EXPECT_EQ(hotKeys->hotKeyId(0xB5), 1);
  fake::calls().clear();
  hotKey(-32768);
  EXPECT_EQ(fake::calls().back(), "worker: StartProgram(C:\\WINDOWS\\system32\\calc.exe,C:\\WINDOWS\\system32,1)");
}

TEST(LaunchHotKeyRegistration, KeysAreTakenWithoutTheNoRepeatFlagWhereWindowsLacksIt) {
  const struct {
    std::uint32_t major, minor;
    bool refused;
  } cases[] = {{6, 0, false}, {5, 1, false}, {6, 1, true}};
  for (const auto& c : cases) {
    fake::reset();
    fake::answers().majorVersion = c.major;
    fake::answers().minorVersion = c.minor;
    fake::answers().noRepeatRefused = c.refused;
    IndicatorPanel panel;
    const LaunchHotKeys keys(panel);
    for (const char* key : {"-16383,0,182", "-16382,0,183", "-16381,0,181"}) {
      const std::string taken = "RegisterHotKey(" + std::to_string(panel.hwnd()) + "," + key + ")";
      EXPECT_EQ(std::count(fake::calls().begin(), fake::calls().end(), taken), 1) << taken << " " << c.major;
    }
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
  static int started() {
    int count = 0;
    for (const std::string& call : fake::calls()) count += call.find("StartProgram") != std::string::npos ? 1 : 0;
    return count;
  }

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
  EXPECT_EQ(started(), 2);
  // Down, though the hook saw no press: typed into an elevated program, or
  // the hook was dropped. Then up: posted by another program.
  key(0x80);
  hotKey();
  fake::answers().keysDown.clear();
  for (int i = 0; i < 200; ++i) hotKey();
  EXPECT_EQ(started(), 3);
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
