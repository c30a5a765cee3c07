// The gauge: its painting read back from a picture, the clamping of its
// position, and its window's updates without erasing.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "setup/wizard/Gauge.h"
#include "tests/support/Canvas.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr int kWidth = 200;
constexpr int kHeight = 24;

}  // namespace

TEST(GaugeTest, PaintsTheShareDoneAndThePercentageInSwappedColours) {
  const COLORREF fill = CGauge::FillColour();
  const COLORREF plain = CGauge::PlainColour();
  ASSERT_NE(fill, plain) << "the bar is visible whatever the colour scheme";
  if (::GetSysColor(COLOR_ACTIVEBORDER) != plain) {
    EXPECT_EQ(::GetSysColor(COLOR_ACTIVEBORDER), fill);
  }
  struct Row {
    const char* name;
    std::uint32_t minimum, maximum, position;
    int boundary;  // the first column of the rest; -1: nothing painted
  } const rows[] = {
      {"0 %", 0, 100, 0, 0},
      {"half", 0, 100, 50, kWidth / 2},
      {"100 %", 0, 100, 100, kWidth},
      {"a total of 0", 1, 0, 0, 0},
      {"a total of 1", 1, 1, 1, -1},
      {"a quarter of 4 000 000 000", 1, 4000000000u, 1000000001u, kWidth / 4},
      {"two thirds of 3 000 000", 1, 3000000, 2000001, kWidth * 66 / 100},
      {"all of the largest total", 0, 0xffffffffu, 0xffffffffu, kWidth},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    CGauge gauge(r.minimum, r.maximum);
    gauge.SetPos(r.position, false);
    Canvas canvas(kWidth, kHeight, kMagenta);
    gauge.Draw(canvas.dc(), RECT{0, 0, kWidth, kHeight});
    const RECT all{0, 0, kWidth, kHeight};
    if (r.boundary < 0) {
      EXPECT_EQ(kWidth * kHeight, canvas.Count(all, kMagenta));
      continue;
    }
    EXPECT_EQ(0, canvas.Count(all, kMagenta)) << "the whole bar is painted";
    // The top and bottom rows are clear of the text.
    for (int y : {0, kHeight - 1}) {
      EXPECT_EQ(r.boundary, canvas.Count(RECT{0, y, r.boundary, y + 1}, fill)) << "row " << y;
      EXPECT_EQ(kWidth - r.boundary, canvas.Count(RECT{r.boundary, y, kWidth, y + 1}, plain)) << "row " << y;
    }
    // The text: plain on the filled part, filled colour on the rest.
    const int textInDone = canvas.Count(RECT{0, 0, r.boundary, kHeight}, plain);
    const int textInRest = canvas.Count(RECT{r.boundary, 0, kWidth, kHeight}, fill);
    EXPECT_GT(textInDone + textInRest, 0) << "the percentage is written";
    if (r.boundary == kWidth / 2) {
      EXPECT_GT(textInDone, 0) << "the left of the centred text is over the filled part";
      EXPECT_GT(textInRest, 0) << "the right of the centred text is over the rest";
    }
  }
}

TEST(GaugeTest, KeepsThePositionWithinTheRange) {
  struct Row {
    std::uint32_t minimum, maximum, position, expected;
  } const rows[] = {
      {10, 20, 5, 10},  {10, 20, 15, 15}, {10, 20, 25, 20},
      {10, 20, 0xffffffffu, 20},
      {1, 0, 0, 1},  // a total of 0: the minimum wins
  };
  for (const Row& r : rows) {
    CGauge gauge(r.minimum, r.maximum);
    gauge.SetPos(r.position, false);
    EXPECT_EQ(r.expected, gauge.GetPos()) << r.position << " in " << r.minimum << ".." << r.maximum;
  }
  CGauge gauge(0, 99);
  gauge.SetPos(80, false);
  gauge.SetRange(1, 50);
  EXPECT_EQ(50u, gauge.GetPos()) << "a narrower range takes the position along";
}

namespace {

class CountingGauge : public CGauge {
public:
  CountingGauge() : CGauge(0, 100) {}
  int paints = 0;
  int erases = 0;

protected:
  void OnPaint() override {
    ++paints;
    CGauge::OnPaint();
  }
  BOOL OnEraseBkgnd(HDC dc) override {
    ++erases;
    return CGauge::OnEraseBkgnd(dc);
  }
};

}  // namespace

TEST(GaugeTest, UpdatesRepaintWithoutErasing) {
  CWnd parent;
  const std::string cls = CWnd::RegisterWndClass(0);
  ASSERT_TRUE(parent.CreateEx(0, cls.c_str(), "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100, nullptr, nullptr));
  CountingGauge gauge;
  ASSERT_TRUE(gauge.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{10, 10, 210, 35}, &parent, 1010));
  char className[16] = {};
  ::GetClassNameA(gauge.m_hWnd, className, sizeof className);
  EXPECT_STREQ("Gauge", className);
  EXPECT_EQ(gauge.m_hWnd, ::GetDlgItem(parent.m_hWnd, 1010));
  gauge.UpdateWindow();
  gauge.paints = gauge.erases = 0;

  gauge.SetPos(40, false);
  EXPECT_EQ(0, gauge.paints) << "without redraw the paint waits";
  RECT update{};
  EXPECT_TRUE(::GetUpdateRect(gauge.m_hWnd, &update, FALSE));
  gauge.SetPos(60, true);
  EXPECT_EQ(1, gauge.paints);
  EXPECT_EQ(0, gauge.erases);
  EXPECT_EQ(60u, gauge.GetPos());

  // Within the same whole percent nothing changes on screen: no paint.
  gauge.SetRange(0, 1000000);
  gauge.SetPos(500000, true);
  EXPECT_EQ(2, gauge.paints) << "a new range paints its first position";
  gauge.SetPos(505000, true);
  EXPECT_EQ(2, gauge.paints);
  EXPECT_FALSE(::GetUpdateRect(gauge.m_hWnd, &update, FALSE));
  gauge.SetPos(510000, true);
  EXPECT_EQ(3, gauge.paints) << "51 %";
}
