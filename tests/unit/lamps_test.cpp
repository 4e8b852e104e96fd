#include "indicator/lamps.h"

#include <gtest/gtest.h>

#include "colours.h"
#include "fake.h"
#include "indicator/form1.h"
#include "recorder.h"

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

  // The lamp colours left by the start-up rule on a freshly created panel;
  // the calls it made are left in `log`.
  std::map<std::string, tk::Colour> lampsAfterStartup() {
    Form1 panel;
    fake::calls().clear();
    lightLampsFromKeyboard(panel);
    log = fake::calls();
    return fake::form(panel.hwnd()).shapes;
  }

  std::vector<std::string> log;
};

TEST_F(StartupRule, ZeroBytesLeaveEveryLampOlive) {
  fake::answers().keyboard[0x41] = 0x81;  // some other key down and toggled
  const auto lamps = lampsAfterStartup();
  EXPECT_EQ(lamps.at("Shape1"), kOlive);
  EXPECT_EQ(lamps.at("Shape2"), kOlive);
  EXPECT_EQ(lamps.at("Shape3"), kOlive);
  EXPECT_EQ(log, std::vector<std::string>{"GetKeyboardState()"});
}

TEST_F(StartupRule, AnyNonZeroCapsByteLightsOnlyTheCapsLamp) {
  for (const std::uint8_t byte : {0x01, 0x80, 0x81}) {
    fake::answers().keyboard[0x14] = byte;
    const auto lamps = lampsAfterStartup();
    EXPECT_EQ(lamps.at("Shape1"), kOlive) << int(byte);
    EXPECT_EQ(lamps.at("Shape2"), kGreen) << int(byte);
    EXPECT_EQ(lamps.at("Shape3"), kOlive) << int(byte);
  }
}

TEST_F(StartupRule, LampsAreLitInNumCapsScrollOrder) {
  fake::answers().keyboard[0x90] = 1;
  fake::answers().keyboard[0x14] = 1;
  fake::answers().keyboard[0x91] = 1;
  lampsAfterStartup();
  EXPECT_EQ(log, (std::vector<std::string>{
                               "GetKeyboardState()",
                               fake::call("Shape1.FillColor", kGreen),
                               fake::call("Shape2.FillColor", kGreen),
                               fake::call("Shape3.FillColor", kGreen),
                           }));
}

}  // namespace
