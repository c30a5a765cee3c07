#include "setup/install/InstallSelectedFiles.h"

#include <optional>
#include <string>

#include "setup/archive/SourceMedia.h"
#include "setup/archive/SourceReadAhead.h"
#include "setup/install/InstallFileEntry.h"
#include "setup/profile/FileList.h"

namespace {

const char* StopReason(CopyStop stop) noexcept {
  switch (stop) {
    case CopyStop::userCancelled: return "the source file or diskette was not given";
    case CopyStop::requested: return "the run was ended";
    default: return "Cancel Operation after an error";
  }
}

// Keeps the read-ahead asked for the plain files the copy will read next.
class CReadAheadPlan {
public:
  CReadAheadPlan(const CFileList& files, const CSourceMedia& media, CSourceReadAhead& readAhead)
      : end_(files.end()), next_(files.begin()), media_(media), readAhead_(readAhead) {}

  // Before the entry at is installed: asks for the plain files from it on
  // that lie on its diskette, in the source directory as it is now, when
  // the read-ahead runs low. A file of another diskette ends the asking
  // until the copy gets there: its folder may not be known yet. When the
  // source directory has changed, what was asked for in the old one is
  // given up.
  // Whether files has enough plain files that the read-ahead can take for
  // its thread to pay: a kit of a few is copied as it always was.
  static bool IsWorthIt(const CFileList& files) noexcept {
    std::size_t count = 0;
    for (const auto& entry : files) {
      if (IsCopiedPlainFile(*entry) && static_cast<std::uint64_t>(entry->size) <= CSourceReadAhead::kMaxFileSize) {
        if (++count >= kWorthFiles) return true;
      }
    }
    return false;
  }

  void Before(CFileList::Records::const_iterator at) {
    if (next_ < at) next_ = at;
    if (directory_ != media_.GetSourceDir().GetPath()) {
      readAhead_.GiveUp();
      next_ = at;
      directory_ = media_.GetSourceDir().GetPath();
    }
    if (!readAhead_.RunsLow()) return;
    const int diskette = (*at)->GetDisketteNumber();
    for (; next_ != end_; ++next_) {
      const CFileEntry& entry = **next_;
      if (entry.GetDisketteNumber() != diskette) return;
      if (!IsCopiedPlainFile(entry)) continue;
      const auto size = static_cast<std::uint64_t>(entry.size);
      if (size > CSourceReadAhead::kMaxFileSize) continue;
      if (!readAhead_.HasRoomFor(size)) return;
      readAhead_.Want(media_.GetSourcePath(entry.GetFileName()).GetPath(), size);
    }
  }

private:
  static constexpr std::size_t kWorthFiles = 32;

  static bool IsCopiedPlainFile(const CFileEntry& entry) noexcept {
    return entry.IsSelected() && entry.kind == CFileEntry::plainFile && entry.destinationId != -1 && entry.size >= 0;
  }

  const CFileList::Records::const_iterator end_;
  CFileList::Records::const_iterator next_;  // the first entry not asked for
  const CSourceMedia& media_;
  CSourceReadAhead& readAhead_;
  std::string directory_;  // where the files asked for lie
};

}  // namespace

CInstallOutcome InstallSelectedFiles(CFileList& files, CInstallContext& context) noexcept {
  CInstallOutcome copy;
  // The plain files are read ahead for this loop: its thread ends with it.
  // Without a read-ahead (a kit of a few plain files, or no memory for
  // it) every file is read as it is copied, as it is when the read-ahead
  // has not got it.
  std::optional<CSourceReadAhead> readAhead;
  std::optional<CReadAheadPlan> plan;
  try {
    if (CReadAheadPlan::IsWorthIt(files)) {
      plan.emplace(files, context.media, readAhead.emplace());
      context.readAhead = &*readAhead;
    }
  } catch (...) {
    plan.reset();
  }
  for (auto at = files.begin(); at != files.end(); ++at) {
    const auto& entry = *at;
    if (!entry->IsSelected()) continue;
    try {
      if (plan) plan->Before(at);
    } catch (...) {
      // Out of memory: what is not asked for is read when it is copied.
    }
    const CInstallOutcome outcome = InstallFileEntry(*entry, context);
    if (outcome.restartNeeded) copy.restartNeeded = true;
    if (outcome.Stopped()) {
      copy.stop = outcome.stop;
      context.verboseLog.Write("The copy stopped at %s: %s.", entry->GetFileName().c_str(), StopReason(outcome.stop));
      break;
    }
  }
  context.readAhead = nullptr;
  return copy;
}
