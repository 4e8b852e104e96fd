#include "launch/launch_keys.h"

#include "running_app.h"

namespace {

using LaunchKeys = RunningApp;
using Started = decltype(fake::desktop.started);

// The hot-key id the program registered for a key, 0 for none.
int idFor(UINT virtualKey) {
  for (const auto& [key, held] : fake::desktop.hotKeys) {
    if (held.second == virtualKey) return key.second;
  }
  return 0;
}
Started& started() { return fake::desktop.started; }

// Windows' own programs, by the full paths Windows reports, started in the
// system folder and off the thread that serves the keyboard hook.
TEST_F(LaunchKeys, EachKeyStartsWindowsOwnProgram) {
  fake::answers.windowsFolder = "D:\\WINNT";
  fake::answers.systemFolder = "D:\\WINNT\\system32";
  fake::answers.programFiles = "D:\\Programme";
  fake::answers.hookRefused = true;
  ASSERT_TRUE(start());
  for (const UINT vk : {0xB6u, 0xB7u, 0xB5u}) hotKey(idFor(vk));
  const std::string system = "D:\\WINNT\\system32";
  EXPECT_EQ(
      started(),
      (Started{{"open D:\\WINNT\\explorer.exe ::{20D04FE0-3AEA-1069-A2D8-08002B30309D} | " + system + " | 1", true},
               {system + "\\calc.exe | " + system + " | 1", true},
               {"D:\\Programme\\Windows Media Player\\wmplayer.exe | " + system + " | 1", true}}));
}

// The ids are the atoms of the keys' names, widened with their sign; held
// keys repeat once from Windows 7 on, where Windows takes the flag.
TEST_F(LaunchKeys, KeysAreHeldUnderTheirAtoms) {
  const struct {
    DWORD major, minor;
    bool refused;
    UINT modifiers;
  } versions[] = {{5, 1, false, 0}, {6, 0, false, 0}, {6, 1, true, 0}, {6, 1, false, 0x4000}, {10, 0, false, 0x4000}};
  for (const auto& v : versions) {
    app.reset();
    fake::reset();
    fake::answers.majorVersion = v.major;
    fake::answers.minorVersion = v.minor;
    fake::answers.noRepeatRefused = v.refused;
    fake::answers.atoms = {{"Bexil", 0xC001}, {"Bexil1", 0x7FFF}, {"Bexil2", 0x8000}};
    ASSERT_TRUE(start());
    using HotKeys = decltype(fake::desktop.hotKeys);
    EXPECT_EQ(fake::desktop.hotKeys, (HotKeys{{{panel(), -16383}, {v.modifiers, 0xB6}},
                                              {{panel(), 0x7FFF}, {v.modifiers, 0xB7}},
                                              {{panel(), -32768}, {v.modifiers, 0xB5}}}))
        << v.major << "." << v.minor;
  }
  // An atom the table refused: that key alone is unclaimed.
  app.reset();
  fake::reset();
  fake::answers.atoms.erase("Bexil1");
  ASSERT_TRUE(start());
  EXPECT_EQ(idFor(0xB7), 0);
  EXPECT_EQ(fake::desktop.hotKeys.size(), 2u);
}

TEST(MediaPlayer, Windows2000GetsMplayer2EveryOtherVersionWmplayer) {
  const struct {
    bool known;
    DWORD major, minor;
    const char* player;
  } cases[] = {{true, 5, 0, "mplayer2.exe"},
               {true, 5, 1, "wmplayer.exe"},
               {true, 6, 1, "wmplayer.exe"},
               {true, 4, 0, "wmplayer.exe"},
               {false, 5, 0, "wmplayer.exe"}};
  for (const auto& c : cases) {
    fake::reset();
    fake::answers.versionKnown = c.known;
    fake::answers.majorVersion = c.major;
    fake::answers.minorVersion = c.minor;
    EXPECT_EQ(mediaPlayerPath(), std::string("C:\\Program Files\\Windows Media Player\\") + c.player);
  }
  fake::answers.programFiles = "E:\\";
  EXPECT_EQ(mediaPlayerPath(), "E:\\Windows Media Player\\wmplayer.exe");
}

// Any hot key sets the panel back from minimized; one of no launch key, or
// any without the folders Windows reports, starts nothing.
TEST_F(LaunchKeys, OtherIdsAndMissingFoldersStartNothing) {
  fake::answers.hookRefused = true;
  fake::answers.windowsFolder = fake::answers.systemFolder = "";
  ASSERT_TRUE(start());
  for (const int id : {idFor(0xB5), idFor(0xB6), idFor(0xB7), 0, 1, -1, 0xC004, 0x7FFFFFFF}) {
    window(panel()).minimized = true;
    hotKey(id);
    EXPECT_FALSE(window(panel()).minimized) << id;
  }
  EXPECT_TRUE(started().empty());
}

TEST_F(LaunchKeys, AKeyHeldDownStartsOneProgramAndPostedHotKeysNone) {
  ASSERT_TRUE(start());
  const int calculator = idFor(VK_LAUNCH_APP2);
  // Held: its hot keys handled once it is released, after all its presses.
  for (int i = 0; i < 15; ++i) key(VK_LAUNCH_APP2, false);
  key(VK_LAUNCH_APP2, true);
  for (int i = 0; i < 15; ++i) hotKey(calculator);
  // Held again: each hot key handled as its press comes, the key down.
  fake::answers.keysDown = {VK_LAUNCH_APP2};
  for (int i = 0; i < 15; ++i) key(VK_LAUNCH_APP2, false), hotKey(calculator);
  EXPECT_EQ(started().size(), 2u);
  // Down, though the hook saw no press: typed into an elevated program, or
  // the hook was dropped. Then up: posted by another program.
  key(VK_LAUNCH_APP2, true);
  hotKey(calculator);
  fake::answers.keysDown.clear();
  for (int i = 0; i < 200; ++i) hotKey(calculator);
  EXPECT_EQ(started().size(), 3u);
}

// Until its program has been started a key starts no second one, even from
// a hot key that comes while the start is under way.
TEST_F(LaunchKeys, OneStartOfAKeyAtATime) {
  fake::answers.hookRefused = true;
  ASSERT_TRUE(start());
  const int calculator = idFor(VK_LAUNCH_APP2);
  fake::answers.holdJobs = true;
  for (int i = 0; i < 20; ++i) hotKey(calculator);
  hotKey(idFor(VK_LAUNCH_MEDIA_SELECT));
  EXPECT_EQ(fake::desktop.heldJobs.size(), 2u);  // one per key
  fake::runHeldJobs();
  hotKey(calculator);
  EXPECT_EQ(fake::desktop.heldJobs.size(), 1u);  // free again once its start is done
  fake::answers.whileStarting = [&] { hotKey(calculator); };
  fake::runHeldJobs();
  EXPECT_EQ(fake::desktop.heldJobs.size(), 0u);
  fake::answers.whileStarting = nullptr;
  // A thread that could not start leaves the key free too.
  fake::runHeldJobs();
  fake::answers.threadsStart = false;
  hotKey(calculator);
  fake::answers.threadsStart = true;
  hotKey(calculator);
  EXPECT_EQ(fake::desktop.heldJobs.size(), 1u);
  fake::runHeldJobs();
}

}  // namespace
