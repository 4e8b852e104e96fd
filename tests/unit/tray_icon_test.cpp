#include "tray/tray_icon.h"

#include <gtest/gtest.h>


#include "fake.h"
#include "platform/win_records.h"

namespace {

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
  }

  static std::vector<std::uint8_t> record(std::uint32_t hWnd, std::uint32_t id, std::uint32_t callback,
                                          std::uint32_t icon, const std::string& tip) {
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t field : {88u, hWnd, id, 7u, callback, icon}) {
      for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(field >> shift));
    }
    bytes.insert(bytes.end(), tip.begin(), tip.end());
    bytes.resize(88, tip.empty() ? 0 : ' ');
    return bytes;
  }

  using Tray = decltype(fake::Desktop::tray);
  static Tray& tray() { return fake::desktop().tray; }

  TrayIconRegistry icons;
};

TEST_F(TrayIconTest, AddRecordIsTheTipThenNulThenSpaces) {
  EXPECT_EQ(icons.AddTrayIcon(0x1234, 0x200, 0x7700, "Tovix"), 1);
  EXPECT_EQ(tray(), (Tray{{{0x1234, 1}, record(0x1234, 1, 0x200, 0x7700, std::string("Tovix") + '\0')}}));
}

TEST_F(TrayIconTest, IdsCountUpAndRemoveFindsEachOwnerAgain) {
  EXPECT_EQ(icons.AddTrayIcon(0x1111, 0x200, 0x7700, "Tovix"), 1);
  EXPECT_EQ(icons.AddTrayIcon(0x2222, 0x200, 0x7700, "Tovix"), 2);
  EXPECT_EQ(tray().size(), 2u);

  EXPECT_TRUE(icons.RemoveTrayIcon(1));
  EXPECT_EQ(tray().count({0x1111, 1}), 0u);
  EXPECT_TRUE(icons.RemoveTrayIcon(2));
  EXPECT_TRUE(tray().empty());
  // The owner stays known after removal: the icon can be put back.
  EXPECT_TRUE(icons.RestoreTrayIcon(1, 0x200, 0x7700, "Tovix"));
  EXPECT_EQ(tray(), (Tray{{{0x1111, 1}, record(0x1111, 1, 0x200, 0x7700, std::string("Tovix") + '\0')}}));
}

TEST_F(TrayIconTest, UnknownIdsRemoveAndRestoreNothing) {
  EXPECT_FALSE(icons.RemoveTrayIcon(1));  // before any add
  EXPECT_FALSE(icons.RestoreTrayIcon(1, 0x200, 0x7700, "Tovix"));
  icons.AddTrayIcon(0x1111, 0x200, 0x7700, "Tovix");
  const Tray added = tray();
  for (const std::int32_t id : {0, 2, -1, 2147483647}) {
    EXPECT_FALSE(icons.RemoveTrayIcon(id)) << id;
    EXPECT_FALSE(icons.RestoreTrayIcon(id, 0x200, 0x7700, "Tovix")) << id;
  }
  EXPECT_EQ(tray(), added);
}

TEST_F(TrayIconTest, LongTipsKeepTheirNulInsideTheField) {
  const std::string tip(70, 'x');
  icons.AddTrayIcon(0x1111, 0x200, 0x7700, tip);
  const std::vector<std::uint8_t>& bytes = tray().at({0x1111, 1});
  EXPECT_EQ(std::string(bytes.begin() + 24, bytes.begin() + 87), std::string(63, 'x'));
  EXPECT_EQ(bytes[87], 0);
}

TEST_F(TrayIconTest, OnceIdsRunOutNothingIsAdded) {
  TrayIconRegistry nearlyFull(2147483646);
  EXPECT_EQ(nearlyFull.AddTrayIcon(0x1111, 0x200, 0x7700, "Tovix"), 2147483647);
  EXPECT_EQ(nearlyFull.AddTrayIcon(0x1111, 0x200, 0x7700, "Tovix"), 0);
  EXPECT_EQ(tray().size(), 1u);
}

TEST_F(TrayIconTest, TheIconLivesAsLongAsItsObject) {
  {
    TrayIcon icon(icons, 0x3333, 0x200, 0x7700, "Tovix");
    EXPECT_EQ(tray().size(), 1u);
  }
  EXPECT_TRUE(tray().empty());
}

}  // namespace
