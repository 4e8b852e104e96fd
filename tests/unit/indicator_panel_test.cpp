#include "indicator/indicator_panel.h"

#include <gtest/gtest.h>

#include "colours.h"
#include "fake.h"

namespace {

class IndicatorPanelTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }
};

TEST_F(IndicatorPanelTest, CreatedWithItsCaptionsOliveLampsAndArmedTimer) {
  IndicatorPanel panel;
  const fake::FormState& form = fake::form(panel.hwnd());
  EXPECT_EQ(form.caption, "Tovix");
  EXPECT_EQ(form.clientWidth, 4680);
  EXPECT_EQ(form.clientHeight, 1455);

  const struct {
    const char* name;
    const char* caption;
    tk::TwipsRect bounds;
  } labels[] = {{"numCaption", "Num", {1080, 240, 615, 375}},
                {"capsCaption", "Caps", {2040, 240, 615, 375}},
                {"scrollCaption", "Scroll", {2880, 240, 735, 375}}};
  for (const auto& expected : labels) {
    const auto& label = form.labels.at(expected.name);
    EXPECT_EQ(label.caption, expected.caption);
    EXPECT_EQ(label.bounds.left, expected.bounds.left);
    EXPECT_EQ(label.bounds.top, expected.bounds.top);
    EXPECT_EQ(label.bounds.width, expected.bounds.width);
    EXPECT_EQ(label.bounds.height, expected.bounds.height);
    EXPECT_STREQ(label.font.face, "MS Sans Serif");
    EXPECT_EQ(label.font.points, 12.0f);
    EXPECT_TRUE(label.font.bold);
  }
  for (const char* shape : {"numLamp", "capsLamp", "scrollLamp"}) EXPECT_EQ(form.shapes.at(shape), kOlive);
  EXPECT_EQ(form.timerIntervals.at("hideTimer"), 1000u);
  EXPECT_TRUE(panel.hideTimerArmed());
  EXPECT_FALSE(panel.visible());
}

// Each lamp lights under its own caption, in the column its label heads.
TEST_F(IndicatorPanelTest, EachLampLightsUnderItsCaption) {
  IndicatorPanel panel;
  const fake::FormState& form = fake::form(panel.hwnd());
  const struct {
    Lamp lamp;
    const char* caption;
  } lamps[] = {{Lamp::Num, "Num"}, {Lamp::Caps, "Caps"}, {Lamp::Scroll, "Scroll"}};
  for (const auto& lit : lamps) {
    for (const auto& other : lamps) panel.setLamp(other.lamp, kOlive);
    panel.setLamp(lit.lamp, kGreen);
    tk::TwipsRect label{};
    for (const auto& [name, l] : form.labels) {
      if (l.caption == lit.caption) label = l.bounds;
    }
    int green = 0;
    for (const auto& [name, colour] : form.shapes) {
      if (colour != kGreen) continue;
      ++green;
      const tk::TwipsRect& lamp = form.shapeBounds.at(name);
      const int centre = lamp.left + lamp.width / 2;
      EXPECT_TRUE(centre > label.left && centre < label.left + label.width) << lit.caption;
      EXPECT_GE(lamp.top, label.top + label.height) << lit.caption;
    }
    EXPECT_EQ(green, 1) << lit.caption;
  }
}

TEST_F(IndicatorPanelTest, TickHidesAndDisarmsWhetherShownOrNot) {
  IndicatorPanel panel;
  panel.show();
  fake::tick(panel.hwnd(), "hideTimer");
  EXPECT_FALSE(panel.visible());
  EXPECT_FALSE(panel.hideTimerArmed());

  // Shown without arming: stays up until something arms the timer.
  panel.show();
  fake::tick(panel.hwnd(), "hideTimer");
  EXPECT_TRUE(panel.visible());
  panel.armHideTimer();
  panel.onHideTimer();
  panel.onHideTimer();
  EXPECT_FALSE(panel.visible());
  EXPECT_FALSE(panel.hideTimerArmed());
}

TEST_F(IndicatorPanelTest, PlacedOnTheRightEdge500TwipsAboveTheBottom) {
  const struct {
    float width;
    float height;
    float twipsPerPixel;
  } screens[] = {{640, 480, 15}, {1024, 768, 15}, {1920, 1080, 15}, {1366, 768, 12}, {3840, 2160, 10}};
  for (const auto& s : screens) {
    fake::reset();
    fake::screen() = {s.width * s.twipsPerPixel, s.height * s.twipsPerPixel, s.twipsPerPixel};
    IndicatorPanel panel;
    panel.place();
    const fake::FormState& form = fake::form(panel.hwnd());
    EXPECT_FLOAT_EQ(form.left + form.width, fake::screen().widthTwips) << s.width << "x" << s.height;
    EXPECT_FLOAT_EQ(form.top + form.height, fake::screen().heightTwips - 500) << s.width << "x" << s.height;
  }
}

}  // namespace
