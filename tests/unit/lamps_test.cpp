#include "indicator/lamps.h"

#include <gtest/gtest.h>

#include "colours.h"
#include "fake.h"
#include "indicator/indicator_panel.h"

namespace {

TEST(ReleaseRule, OnlyDownWithToggleOnLightsTheLamp) {
  EXPECT_EQ(releaseColor(static_cast<std::int16_t>(0xFF81)), kGreen);
  EXPECT_EQ(releaseColor(-127), kGreen);
  for (const std::uint16_t state : {0xFF80, 0x0001, 0x0000, 0x8001, 0xFF83, 0x7F81}) {
    EXPECT_EQ(releaseColor(static_cast<std::int16_t>(state)), kOlive) << std::hex << state;
  }
}

class StartupRule : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }

  // The lamp colours left by the start-up rule on a freshly created panel.
  static std::map<std::string, tk::Colour> lampsAfterStartup() {
    IndicatorPanel panel;
    lightLampsFromKeyboard(panel);
    return fake::form(panel.hwnd()).shapes;
  }
};

TEST_F(StartupRule, ZeroBytesLeaveEveryLampOlive) {
  fake::answers().keyboard[0x41] = 0x81;  // some other key down and toggled
  const auto lamps = lampsAfterStartup();
  EXPECT_EQ(lamps.at("numLamp"), kOlive);
  EXPECT_EQ(lamps.at("capsLamp"), kOlive);
  EXPECT_EQ(lamps.at("scrollLamp"), kOlive);
}

TEST_F(StartupRule, AnyNonZeroCapsByteLightsOnlyTheCapsLamp) {
  for (const std::uint8_t byte : {0x01, 0x80, 0x81}) {
    fake::answers().keyboard[0x14] = byte;
    const auto lamps = lampsAfterStartup();
    EXPECT_EQ(lamps.at("numLamp"), kOlive) << int(byte);
    EXPECT_EQ(lamps.at("capsLamp"), kGreen) << int(byte);
    EXPECT_EQ(lamps.at("scrollLamp"), kOlive) << int(byte);
  }
}

TEST_F(StartupRule, EachLockKeyOnLightsItsOwnLamp) {
  fake::answers().keyboard[0x90] = 1;
  fake::answers().keyboard[0x91] = 1;
  const auto lamps = lampsAfterStartup();
  EXPECT_EQ(lamps.at("numLamp"), kGreen);
  EXPECT_EQ(lamps.at("capsLamp"), kOlive);
  EXPECT_EQ(lamps.at("scrollLamp"), kGreen);
}

}  // namespace
