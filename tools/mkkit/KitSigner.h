// CKitSigner: signs the programs a kit ships with the vendor's own signing
// command (mkkit --sign=COMMAND), before the builder plans, packs or writes
// anything: the setup program and the files the description marks with
// sign. Each file is copied to a new file under an unguessable name in the
// temporary folder (CreateTemporaryFile, CREATE_NEW), COMMAND runs with %1
// replaced by that copy's path, and the builder then takes the signed copy
// in place of the source, so that the kit's seal and the archive checksums
// cover the signed bytes. The sources are never changed. The copies are
// deleted when the signer goes away, however the build ends.
//
// COMMAND is a Windows command line (signtool sign ... %1), or under Wine a
// line of the host's /bin/sh when it begins with a Unix path
// (/usr/bin/osslsigncode ... %1); see KitCommand.h.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/mkkit/KitDescription.h"

class CKitSigner {
public:
  CKitSigner(std::string command, std::function<void(const std::string&)> progress = {});
  ~CKitSigner();
  CKitSigner(const CKitSigner&) = delete;
  CKitSigner& operator=(const CKitSigner&) = delete;

  // Whether there is a command: without one nothing is signed.
  bool Active() const noexcept { return !command_.empty(); }

  // Signs a copy of source, the file installed as name (where: the
  // description's line, or the option, for messages), and returns the
  // copy's path; a source signed before is not signed again. The command
  // fails when it cannot be started, when it ends with an exit code other
  // than 0, or when the copy is gone afterwards or carries no Authenticode
  // signature (a command that did not sign the file in place). Throws
  // CKitException (kExitIoError) naming name, its source and why.
  const std::string& Sign(const std::string& source, const std::string& name, const std::string& where);
  // The signed copy of source, or source itself when it was not signed.
  const std::string& Input(const std::string& source) const;
  // The names of the files signed, in the order they were signed.
  const std::vector<std::string>& GetSignedNames() const noexcept { return signedNames_; }

  // Why command cannot be a --sign command (empty, no %1), or empty.
  static std::string CheckCommand(const std::string& command);
  // Whether command is a line of the host's shell: under Wine, one that
  // begins with a Unix path.
  static bool IsHostCommand(const std::string& command);
  // command with every %1 replaced by path, quoted: in double quotes for a
  // Windows command line, in single quotes for the host's shell. A %1 that
  // the command put in quotes itself ("%1", or '%1' for the shell) is not
  // quoted twice.
  static std::string Substitute(const std::string& command, const std::string& path, bool host);
  // The warning of a build without a command whose description marks
  // files for signing; none otherwise.
  static std::vector<std::string> Warnings(const CKitDescription& description, bool signing);

private:
  std::string command_;
  std::function<void(const std::string&)> progress_;
  std::map<std::string, std::string> copies_;  // lower-case full path of a source -> its signed copy
  std::vector<std::string> made_;              // every copy made, to be deleted
  std::vector<std::string> signedNames_;
};
