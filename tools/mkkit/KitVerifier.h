// CKitVerifier: reads a whole kit the way the setup program would and
// checks its profile against it: every listed file on its diskette with
// its size, every archive part by part with every member extracted and
// its checksum tested, member counts and sizes as listed, destinations
// resolvable, program items naming installed files, the setup program
// installed into destination 0 (or the product could not be removed).
// When the kit carries mkkit's seal, every file it lists must be there
// with its size and SHA-256. A CD's autorun.inf must name only commands,
// pictures and sounds that are on the CD. With the kit's description it
// also compares every file with its source (a file the description marks
// for signing apart from its signature). It tells whether the setup
// program carries an Authenticode signature. Stops at the first problem.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "tools/mkkit/KitAuthenticode.h"
#include "tools/mkkit/KitDescription.h"
#include "tools/mkkit/KitException.h"

struct KitVerifyOptions {
  std::optional<MediaKind> media;              // found from the kit's folders when not given
  const CKitDescription* description = nullptr;  // compare with the sources when given
  bool allowMissingSetup = false;
  std::function<void(const std::string&)> progress;
};

class CKitVerifier {
public:
  CKitVerifier(std::string kitDir, KitVerifyOptions options)
      : kitDir_(std::move(kitDir)), options_(std::move(options)) {}

  // kExitOk, or kExitIncomplete when only the setup program is missing and
  // that was allowed. Throws CKitException (kExitVerifyFailed) naming the
  // first problem found.
  KitExitCode Verify();

  MediaKind GetMedia() const noexcept { return media_; }
  int GetFilesChecked() const noexcept { return filesChecked_; }
  int GetMembersChecked() const noexcept { return membersChecked_; }
  // Files whose digest matched the kit's seal; 0 for a kit without one.
  int GetFilesSealed() const noexcept { return filesSealed_; }
  // The commands, pictures and sounds of a CD's autorun.inf found on the
  // CD; 0 when the kit has no menu.
  int GetCdMenuNames() const noexcept { return cdMenuNames_; }
  // What the kit's setup program carries of an Authenticode signature
  // (notImage when the program is missing); its trust is not judged.
  const AuthenticodeInfo& GetSetupSignature() const noexcept { return setupSignature_; }

private:
  class Impl;
  std::string kitDir_;
  KitVerifyOptions options_;
  MediaKind media_ = MediaKind::diskettes;
  int filesChecked_ = 0;
  int membersChecked_ = 0;
  int filesSealed_ = 0;
  int cdMenuNames_ = 0;
  AuthenticodeInfo setupSignature_;
};
