// CSourceMedia: where the distribution files are read from. It holds the
// source directory (the setup program's own directory, or the one given on
// its command line) and finds a file of a given diskette: in the source
// directory, then in the diskette's folder beside it, named by the kit's
// rule (KitMedia.h: DISK02 beside DISK01 on a CD, disk2 beside disk1 where
// diskettes were copied side by side), then by asking the user for the
// diskette. A directory found that way becomes the source directory
// for every later file.
//
// The application owns the one CSourceMedia of a run, working on the
// application's own source directory; the archive reader and the copy
// engine are handed it. Tools and tests may let a media keep a directory
// of its own.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "setup/archive/KitSeal.h"
#include "setup/paths/PathName.h"

class CSourceMedia {
public:
  // Where LocateSourceFile found a file.
  enum class Found {
    inSourceDirectory,  // where it was looked for first
    inNumberedFolder,   // in the diskette's numbered folder beside it (DISK02 beside DISK01)
    afterPrompt,        // where the user pointed after being asked
  };

  // Keeps a source directory of its own, starting at sourceDir.
  explicit CSourceMedia(CPathName sourceDir = {}) : ownDir_(std::move(sourceDir)), sourceDir_(ownDir_) {}
  // Works on sourceDir, which must outlive the media: every change of the
  // source directory is made there.
  explicit CSourceMedia(std::reference_wrapper<CPathName> sourceDir) : sourceDir_(sourceDir.get()) {}
  CSourceMedia(const CSourceMedia&) = delete;
  CSourceMedia& operator=(const CSourceMedia&) = delete;
  virtual ~CSourceMedia() = default;

  const CPathName& GetSourceDir() const noexcept { return sourceDir_; }
  // dir is a directory (a trailing '\' is added when missing).
  void SetSourceDir(const std::string& dir);
  // The source directory with name as its file name.
  CPathName GetSourcePath(const std::string& name) const;

  // True when the source directory holds name afterwards, false when the
  // user gave up. Looks in the source directory, then in the numbered
  // sibling (SiblingDisketteFolder: the directory's trailing number, other
  // than 0, replaced by disketteNumber), then asks PromptForDiskette.
  bool LocateSourceFile(const std::string& name, int disketteNumber);

  // The kit's seal, which every file read from the media is checked
  // against (see CMediaReader); without one, files are read unchecked.
  void SetSeal(std::optional<CKitSeal> seal) { seal_ = std::move(seal); }
  const CKitSeal* GetSeal() const noexcept { return seal_ ? &*seal_ : nullptr; }

protected:
  // Asks for diskette disketteNumber, on which expectedPath should be; true
  // once the file is reachable (the prompt may change the source directory
  // with SetSourceDir), false when the user cancels. Nobody can be asked
  // here: false.
  virtual bool PromptForDiskette(const CPathName& expectedPath, int disketteNumber);
  // Told of every file found, with its path; the default does nothing.
  virtual void SourceFileFound(const CPathName& /*path*/, Found /*how*/) {}

private:
  CPathName ownDir_;  // unused when the directory is someone else's
  CPathName& sourceDir_;
  std::optional<CKitSeal> seal_;
};
