// The billboards: which picture belongs to how much of the copy, and the
// windows that show them one after the other.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "WizardTestSupport.h"
#include "setup/resources/ResourceIds.h"
#include "setup/wizard/BillboardSequence.h"

TEST(BillboardIndexTest, AThirdOfTheBytesPerPicture) {
  struct Row {
    std::uint32_t done, total;
    int expected;
  } const rows[] = {
      {0, 0, 0},          {5000, 0, 0},  // nothing to copy: the first picture throughout
      {0, 900, 0},        {299, 900, 0},   {300, 900, 1}, {599, 900, 1},
      {600, 900, 2},      {900, 900, 2},   {5000, 900, 2},  // done beyond the total
      {1, 1, 2},
      // 3 x done beyond 32 bits: the sequence must not step backwards.
      {1500000000u, 2000000000u, 2},
      {1431655766u, 4294967295u, 1},
      {0xffffffffu, 0xffffffffu, 2},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.expected, CBillboardSequence::IndexFor(r.done, r.total)) << r.done << " of " << r.total;
  }
}

namespace {

// The application and background window of the wizard's tests, and their
// orderly end (the background window's end leaves a WM_QUIT to drain).
class BillboardSequenceTest : public WizardTest {
protected:
  // The bitmap the picture shown now was made from; 0 when none is shown.
  static int ShownBitmap(const CBillboardSequence& billboards) {
    const CBitmapDialog* window = billboards.GetCurrentWindow();
    if (!window || !::IsWindowVisible(window->m_hWnd)) return 0;
    return window->GetBitmapId();
  }
};

}  // namespace

TEST_F(BillboardSequenceTest, ShowsEachPictureInTurnAndClosesTheLast) {
  CBillboardSequence billboards;
  EXPECT_EQ(-1, billboards.GetCurrentIndex());
  billboards.StartBillboards(900);
  EXPECT_EQ(0, billboards.GetCurrentIndex());
  EXPECT_EQ(IDB_BILLBOARD_FIRST, ShownBitmap(billboards));
  const HWND first = billboards.GetCurrentWindow()->m_hWnd;

  billboards.UpdateBillboard(299);
  EXPECT_EQ(first, billboards.GetCurrentWindow()->m_hWnd) << "the same picture stays";
  billboards.UpdateBillboard(300);
  EXPECT_EQ(1, billboards.GetCurrentIndex());
  EXPECT_EQ(IDB_BILLBOARD_FIRST + 1, ShownBitmap(billboards));
  EXPECT_FALSE(::IsWindow(first)) << "the previous picture is closed";

  billboards.UpdateBillboard(600);
  EXPECT_EQ(IDB_BILLBOARD_LAST, ShownBitmap(billboards));
  const HWND last = billboards.GetCurrentWindow()->m_hWnd;
  billboards.UpdateBillboard(900);
  EXPECT_EQ(last, billboards.GetCurrentWindow()->m_hWnd);

  billboards.CloseBillboard();
  EXPECT_EQ(nullptr, billboards.GetCurrentWindow());
  EXPECT_FALSE(::IsWindow(last));
  EXPECT_EQ(2, billboards.GetCurrentIndex());
  billboards.CloseBillboard();  // nothing left to close
}

TEST_F(BillboardSequenceTest, NothingToCopyKeepsTheFirstPicture) {
  CBillboardSequence billboards;
  billboards.StartBillboards(0);
  const HWND first = billboards.GetCurrentWindow()->m_hWnd;
  for (std::uint32_t done : {0u, 1u, 1000000u}) billboards.UpdateBillboard(done);
  EXPECT_EQ(0, billboards.GetCurrentIndex());
  EXPECT_EQ(first, billboards.GetCurrentWindow()->m_hWnd);
  EXPECT_EQ(IDB_BILLBOARD_FIRST, ShownBitmap(billboards));
}

TEST_F(BillboardSequenceTest, APictureThatCannotBeShownLeavesNoWindow) {
  CBillboardSequence billboards(/*templateId=*/9999);  // no such popup
  billboards.StartBillboards(900);
  billboards.UpdateBillboard(600);
  EXPECT_EQ(nullptr, billboards.GetCurrentWindow());
  EXPECT_EQ(-1, billboards.GetCurrentIndex());
}
