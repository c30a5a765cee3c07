#include "setup/wizard/BillboardSequence.h"

#include <algorithm>

#include "framework/Wnd.h"

CBillboardSequence::CBillboardSequence(UINT templateId) : templateId_(templateId) {}

CBillboardSequence::~CBillboardSequence() { CloseBillboard(); }

int CBillboardSequence::IndexFor(std::uint32_t done, std::uint32_t total) {
  if (total == 0) return 0;
  // In 64 bits: 3 x done does not fit 32 bits beyond 1 431 655 765 bytes,
  // and a wrapped product would step the sequence backwards.
  const std::uint64_t index = std::uint64_t{kCount} * done / total;
  return static_cast<int>(std::min<std::uint64_t>(index, kCount - 1));
}

void CBillboardSequence::StartBillboards(std::uint32_t total, bool outOfSight) {
  total_ = total;
  outOfSight_ = outOfSight;
  UpdateBillboard(0);
}

void CBillboardSequence::UpdateBillboard(std::uint32_t done) {
  const int index = IndexFor(done, total_);
  if (index != index_) ShowBillboard(index);
}

void CBillboardSequence::ShowBillboard(int index) {
  auto next = std::make_unique<CBitmapDialog>(templateId_, IDB_BILLBOARD_FIRST + index, nullptr, outOfSight_);
  if (!next->Create()) {
    next->DestroyWindow();
    return;
  }
  CloseBillboard();
  window_ = std::move(next);
  index_ = index;
  window_->UpdateWindow();
  if (CWnd* main = AfxGetMainWnd()) main->UpdateWindow();
}

void CBillboardSequence::CloseBillboard() {
  if (!window_) return;
  window_->DestroyWindow();
  window_.reset();
}
