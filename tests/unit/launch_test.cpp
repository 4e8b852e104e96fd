#include "launch/launch_keys.h"

#include "running_app.h"

namespace {

using LaunchKeys = RunningApp;

// The hot-key id the program holds a key under, 0 for none.
int idFor(UINT virtualKey) {
  return fake::desktop.hotKeys.count(virtualKey) ? std::get<1>(fake::desktop.hotKeys.at(virtualKey)) : 0;
}

// Windows' own programs, by the full paths Windows reports, shown as usual,
// started in the system folder and off the thread that serves the keyboard
// hook; the media player is Windows 2000's at 5.0 only, XP's at 5.1. A hot
// key of no launch key, or any without the folders Windows reports, starts
// nothing.
TEST_F(LaunchKeys, EachKeyStartsWindowsOwnProgramAndNothingElseDoes) {
  fake::answers.windowsFolder = "D:\\WINNT";
  fake::answers.systemFolder = "D:\\WINNT\\system32";
  fake::answers.programFiles = "D:\\Programme";
  fake::answers.hookRefused = true;
  ASSERT_TRUE(start());
  for (const int id : {0, 1, -1, 0xC004, 0x7FFFFFFF}) hotKey(id);
  for (const UINT vk : {0xB6u, 0xB7u, 0xB5u}) hotKey(idFor(vk));
  for (const DWORD minor : {0u, 1u})
    fake::answers.majorVersion = 5, fake::answers.minorVersion = minor, hotKey(idFor(0xB5));
  fake::answers.versionKnown = false;  // counts as a later version
  fake::answers.programFiles = "E:\\";
  hotKey(idFor(0xB5));
  const std::string system = " | D:\\WINNT\\system32 | 1";
  const decltype(fake::desktop.started) expected = {
      {"D:\\WINNT\\explorer.exe ::{20D04FE0-3AEA-1069-A2D8-08002B30309D}" + system, true},
      {"D:\\WINNT\\system32\\calc.exe" + system, true},
      {"D:\\Programme\\Windows Media Player\\wmplayer.exe" + system, true},
      {"D:\\Programme\\Windows Media Player\\mplayer2.exe" + system, true},
      {"D:\\Programme\\Windows Media Player\\wmplayer.exe" + system, true},
      {"E:\\Windows Media Player\\wmplayer.exe" + system, true}};
  EXPECT_EQ(fake::desktop.started, expected);
  fake::answers.windowsFolder = fake::answers.systemFolder = "";
  for (const UINT vk : {0xB6u, 0xB7u, 0xB5u}) hotKey(idFor(vk));
  EXPECT_EQ(fake::desktop.started, expected);
}

// The ids are the atoms of the keys' names, widened with their sign; held
// keys repeat once from Windows 7 on, where Windows takes the flag. A key
// whose atom the table refused is left unclaimed.
TEST_F(LaunchKeys, KeysAreHeldUnderTheirAtoms) {
  for (const auto& [major, minor, noRepeatRefused, atomRefused, modifiers] : {std::tuple(5u, 1u, false, false, 0u),
                                                                              {6u, 0u, false, false, 0u},
                                                                              {6u, 1u, true, false, 0u},
                                                                              {6u, 1u, false, false, 0x4000u},
                                                                              {10u, 0u, false, true, 0x4000u}}) {
    fresh();
    fake::answers.majorVersion = major, fake::answers.minorVersion = minor;
    fake::answers.noRepeatRefused = noRepeatRefused;
    fake::answers.atoms = {{"Bexil", 0xC001}, {"Bexil2", 0x8000}};
    if (!atomRefused) fake::answers.atoms["Bexil1"] = 0x7FFF;
    ASSERT_TRUE(start());
    decltype(fake::desktop.hotKeys) expected = {{0xB6, {panel(), -16383, modifiers}},
                                                {0xB7, {panel(), 0x7FFF, modifiers}},
                                                {0xB5, {panel(), -32768, modifiers}}};
    if (atomRefused) expected.erase(0xB7);
    EXPECT_EQ(fake::desktop.hotKeys, expected) << major << "." << minor;
  }
}

// Held, a key starts one program. Down though the hook saw no press (typed
// into an elevated program, or the hook was dropped), each of its hot keys
// starts one, but none while the last is still being started, even one that
// comes meanwhile. Up, a hot key posted by another program starts none.
TEST_F(LaunchKeys, AKeyStartsOneProgramPerPressAndOneAtATime) {
  ASSERT_TRUE(start());
  const int calculator = idFor(VK_LAUNCH_APP2), media = idFor(VK_LAUNCH_MEDIA_SELECT);
  // Held: its hot keys handled once it is released, after all its presses.
  for (int i = 0; i < 15; ++i) key(VK_LAUNCH_APP2, false);
  key(VK_LAUNCH_APP2, true);
  for (int i = 0; i < 15; ++i) hotKey(calculator);
  // Held again: each hot key handled as its press comes, the key down.
  fake::answers.keysDown = {VK_LAUNCH_APP2, VK_LAUNCH_MEDIA_SELECT};
  for (int i = 0; i < 15; ++i) key(VK_LAUNCH_APP2, false), hotKey(calculator);
  key(VK_LAUNCH_APP2, true);
  EXPECT_EQ(fake::desktop.started.size(), 2u);
  fake::answers.holdJobs = true;
  for (int i = 0; i < 20; ++i) hotKey(calculator);
  hotKey(media);
  EXPECT_EQ(fake::desktop.heldJobs.size(), 2u);  // one per key
  fake::runHeldJobs();
  hotKey(calculator);
  EXPECT_EQ(fake::desktop.heldJobs.size(), 1u);  // free again once its start is done
  fake::answers.whileStarting = [&] { hotKey(calculator); };
  fake::runHeldJobs();
  EXPECT_EQ(fake::desktop.heldJobs.size(), 0u);
  fake::answers.whileStarting = nullptr;
  fake::answers.threadsStart = false;  // a thread that could not start leaves the key free too
  hotKey(calculator);
  fake::answers.threadsStart = true;
  hotKey(calculator);
  EXPECT_EQ(fake::desktop.heldJobs.size(), 1u);
  fake::runHeldJobs();
  fake::answers.keysDown.clear();
  for (int i = 0; i < 200; ++i) hotKey(calculator), hotKey(media);
  EXPECT_EQ(fake::desktop.started.size(), 6u);
}

}  // namespace
