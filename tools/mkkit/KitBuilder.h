// CKitBuilder: turns a kit description into a distribution: the media
// folders with the setup program and its profile on the first, plain files
// copied, archive members packed (deflate unless that does not shrink
// them) and split into parts as the layout says, and the profile written
// from what was actually laid out; for a CD with a menu also the CD's root
// (see CKitCdRoot). The same inputs give byte-identical kits.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tools/mkkit/KitCdRoot.h"
#include "tools/mkkit/KitDescription.h"
#include "tools/mkkit/KitException.h"
#include "tools/mkkit/KitLayout.h"
#include "tools/mkkit/KitSigner.h"
#include "tools/mkkit/KitSummary.h"

struct KitBuildOptions {
  std::string outputDir;
  std::string setupProgram;     // overrides the description's when set
  bool allowMissingSetup = false;
  bool clean = false;           // replace the kit an earlier run built in the output folder
  std::function<void(const std::string&)> progress;  // a line for long runs; may be empty
  std::function<void(const std::string&)> warn;      // each warning as it is found; may be empty
  bool warningsAsErrors = false;  // a warning stops the build before anything is written
  std::string cdMenu;             // the menu folder of a CD's root; replaces menu= of [cd]
  std::string defaultLauncher;    // the CD's menu program when [cd] names none
  std::string signCommand;        // signs the setup program and the files marked sign (CKitSigner); may be empty
};

class CKitBuilder {
public:
  // The numbered folders of a CD layout that the setup program steps
  // through: DISK01 to DISK99.
  static constexpr int kMaxCdFolders = 99;

  CKitBuilder(const CKitDescription& description, KitBuildOptions options)
      : description_(description), options_(std::move(options)) {}

  // Builds the kit: the setup program, the files and archive parts, the
  // profile and the seal. kExitOk, or kExitIncomplete when the setup
  // program is missing and that was allowed. Throws CKitException for bad
  // input (naming the description's line), for an output folder that
  // cannot be used (nothing is deleted then) and for failures while
  // writing. Nothing is written before the whole kit is planned.
  KitExitCode Build();

  // The folder of diskette n below root for a kind of media: disk1, disk2
  // ... for diskettes, DISK01, DISK02 ... for a CD, root itself when flat;
  // root itself for 0 (the root of a CD).
  static std::string DisketteFolder(const std::string& root, MediaKind kind, int n);

  // After Build: the layout and how many diskettes the kit took.
  const CKitLayout* GetLayout() const noexcept { return layout_.get(); }
  // After Build: what went where; and the warnings (also after a build
  // they stopped).
  const KitSummary& GetSummary() const noexcept { return summary_; }
  const std::vector<std::string>& GetWarnings() const noexcept { return warnings_; }
  // After Build: the files signed with the sign command, by their names in the kit.
  const std::vector<std::string>& GetSignedFiles() const noexcept { return signedFiles_; }

private:
  struct Member;
  struct Archive;
  // The seal's text for the current plan, with digests not yet known.
  std::string PlannedSeal(const std::vector<LayoutItem>& items, const std::uint64_t* setupSize,
                          std::uint64_t profileSize, const CKitCdRoot* cdRoot) const;
  void Pack(Archive& archive);
  void WritePlainFile(const KitFile& file, int diskette) const;
  void WriteArchive(const Archive& archive, const LayoutPlacement& placement) const;
  void Progress(const std::string& line) const;
  // What is read for source: its signed copy when it was signed, else itself.
  const std::string& Input(const std::string& source) const;

  const CKitDescription& description_;
  KitBuildOptions options_;
  std::unique_ptr<CKitLayout> layout_;
  std::set<const KitFile*> storedForNoGain_;
  std::vector<std::string> warnings_;
  KitSummary summary_;
  const CKitSigner* signer_ = nullptr;  // during Build
  std::vector<std::string> signedFiles_;
};
