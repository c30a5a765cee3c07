// CKitException: why mkkit cannot go on, in words for the person running it,
// with the exit code that tells a build script what kind of failure it was.
#pragma once

#include <string>

#include "framework/Exception.h"

// mkkit's exit codes.
enum KitExitCode {
  kExitOk = 0,
  kExitUsage = 1,       // the command line is wrong
  kExitBadInput = 2,    // the description or a source file is wrong or missing
  kExitIoError = 3,     // reading or writing failed while building or verifying
  kExitVerifyFailed = 4,  // the kit is not what its profile says
  kExitIncomplete = 5,  // done, but without the setup program (--allow-missing-setup)
};

class CKitException : public CException {
public:
  CKitException(KitExitCode code, std::string message) : code_(code), message_(std::move(message)) {}

  const char* GetRuntimeClassName() const noexcept override { return "CKitException"; }
  std::string GetErrorMessage() const override { return message_; }
  KitExitCode GetExitCode() const noexcept { return code_; }

private:
  KitExitCode code_;
  std::string message_;
};

// Throws CKitException(kExitBadInput) with "where: message".
[[noreturn]] inline void ThrowBadInput(const std::string& where, const std::string& message) {
  throw CKitException(kExitBadInput, where.empty() ? message : where + ": " + message);
}
