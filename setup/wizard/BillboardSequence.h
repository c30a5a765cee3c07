// CBillboardSequence: the three pictures shown while the files are copied.
// The first appears when the copy starts, the second when a third of the
// bytes is done and the third at two thirds; each replaces the one before.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "framework/BitmapDialog.h"
#include "setup/resources/ResourceIds.h"

class CBillboardSequence {
public:
  static constexpr int kCount = 3;

  // templateId: the popup the pictures are shown on.
  explicit CBillboardSequence(UINT templateId = IDD_BITMAP_DIALOG);
  CBillboardSequence(const CBillboardSequence&) = delete;
  CBillboardSequence& operator=(const CBillboardSequence&) = delete;
  // Closes the picture still shown.
  ~CBillboardSequence();

  // Shows the kit's pictures (packed DIBs) instead of the program's own:
  // picture i of the sequence is pictures[i], the last one standing for
  // those missing; no pictures show nothing.
  void UsePictures(std::vector<std::vector<unsigned char>> pictures);
  // Starts a sequence over total bytes and shows the picture for none done;
  // outOfSight pictures have no size (batch mode).
  void StartBillboards(std::uint32_t total, bool outOfSight = false);
  // Shows the picture for done of the total bytes when it is another than
  // the one shown. A picture whose window cannot be created leaves the
  // previous one on screen.
  void UpdateBillboard(std::uint32_t done);
  // Closes the picture shown, if any; the index stays as it was.
  void CloseBillboard();

  // The picture for done of total bytes: 0, 1 or 2 (0 when total is 0).
  static int IndexFor(std::uint32_t done, std::uint32_t total);

  // The index of the picture shown last (-1 before the first), and its
  // window (null when none is open).
  int GetCurrentIndex() const { return index_; }
  CBitmapDialog* GetCurrentWindow() const { return window_.get(); }

private:
  void ShowBillboard(int index);

  UINT templateId_;
  std::uint32_t total_ = 0;
  bool outOfSight_ = false;
  int index_ = -1;
  std::optional<std::vector<std::vector<unsigned char>>> pictures_;  // none: the program's own
  std::unique_ptr<CBitmapDialog> window_;
};
