#include "setup/wizard/BillboardSequence.h"

#include <algorithm>

#include "framework/PackedBitmap.h"
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

void CBillboardSequence::UsePictures(std::vector<std::vector<unsigned char>> pictures) {
  pictures_ = std::move(pictures);
}

void CBillboardSequence::ShowBillboard(int index) {
  CBitmap picture;
  if (pictures_) {
    if (pictures_->empty()) return;
    const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(index), pictures_->size() - 1);
    // The same picture as the one shown stays.
    if (window_ && std::min<std::size_t>(static_cast<std::size_t>(index_), pictures_->size() - 1) == at) {
      index_ = index;
      return;
    }
    const std::vector<unsigned char>& dib = (*pictures_)[at];
    picture.Attach(CreateBitmapFromDib(dib.data(), dib.size()));
    if (!picture) return;
  }
  auto next = std::make_unique<CBitmapDialog>(templateId_, std::move(picture), IDB_BILLBOARD_FIRST + index, nullptr,
                                              outOfSight_);
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
