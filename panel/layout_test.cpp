#include "panel/layout.h"

#include <gtest/gtest.h>

#include "tests/support/panel_fixture.h"

namespace ramulet {
namespace {

struct Widths {
  float tree, button, calls, callers;
  bool operator==(const Widths&) const = default;
};

Widths Stretched(const HeadlessPanel& c) {
  return Widths{c.TreeView1.Width(), c.CommandButton1.Width(), c.ListBox1.Width(), c.ListBox2.Width()};
}

TEST(LayoutTest, ResizeGivesFourControlsThePanelsFullWidth) {
  PanelFixture f("");
  EXPECT_EQ(Stretched(f.controls), (Widths{3375, 3375, 3375, 3375}));
  const float widths[] = {3480, 5000, 1200, 3480.5f};
  for (float width : widths) {
    ASSERT_TRUE(f.controls.UserControl.Resize(width, 8250).ok());
    EXPECT_EQ(Stretched(f.controls), (Widths{width, width, width, width})) << width;
  }
  ASSERT_TRUE(f.controls.UserControl.Resize(3480.5f, 12000).ok());  // height only
  EXPECT_EQ(Stretched(f.controls), (Widths{3480.5f, 3480.5f, 3480.5f, 3480.5f}));
}

TEST(LayoutTest, FailingWidthStopsTheRestAndIsReported) {
  PanelFixture f("");
  Status status = f.controls.UserControl.Resize(-10, 8250);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(Stretched(f.controls), (Widths{3375, 3375, 3375, 3375}));
  ASSERT_EQ(f.boxes.shown().size(), 1u);
  EXPECT_EQ(f.boxes.shown()[0].title, std::optional<std::string>("Рамулет"));
}

TEST(LayoutTest, DesignKeepsMethodListOutsideThePanelAndLabelsOverTheirLists) {
  EXPECT_GT(DesignOf("Modul").left, kPanelDesignWidth);
  EXPECT_EQ(DesignOf("Label1").top + DesignOf("Label1").height - DesignOf("ListBox1").top, 30);
  EXPECT_EQ(DesignOf("Label2").top + DesignOf("Label2").height - DesignOf("ListBox2").top, 30);
  std::vector<std::string_view> by_tab(kPanelDesign.size());
  for (const ControlDesign& d : kPanelDesign) by_tab.at(d.tab_index) = d.name;
  EXPECT_EQ(by_tab, (std::vector<std::string_view>{"Modul", "CommandButton1", "Label1", "Label2", "ListBox1",
                                                    "ListBox2", "TreeView1"}));
}

TEST(LayoutTest, TwipsConvertAtTheScreensResolution) {
  EXPECT_EQ(TwipsToPixels(1440, 96), 96);
  EXPECT_EQ(TwipsToPixels(3375, 96), 225);
  EXPECT_EQ(TwipsToPixels(30, 96), 2);
  EXPECT_EQ(TwipsToPixels(3480, 120), 290);
  EXPECT_DOUBLE_EQ(PixelsToTwips(232, 96), 3480);
}

}  // namespace
}  // namespace ramulet
