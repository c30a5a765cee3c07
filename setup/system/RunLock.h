// CRunLock: the product's named mutex, held by every run of the setup
// program, installing or removing, from its start to its end, so that two
// runs never work on one machine (its files, its install log, its registry
// entries) at the same time. Deployment tools and scripts can wait for it
// by its name.
#pragma once

#include <string>

#include "framework/ScopedHandle.h"

class CRunLock {
public:
  enum class Result {
    acquired,     // this run holds the lock until the object goes
    heldElsewhere,  // another run holds it (or one that this user may not open)
    unavailable,  // the system made no mutex: the run goes on without one
  };

  CRunLock() = default;
  CRunLock(const CRunLock&) = delete;
  CRunLock& operator=(const CRunLock&) = delete;
  // Releases the lock when it is held.
  ~CRunLock();

  // "Global\<product> Setup" where the system has a global namespace of
  // objects (Windows 2000 and later: one mutex for every session of a
  // terminal server or of fast user switching); plainly "<product> Setup"
  // on the systems before, which refuse a backslash in the name.
  static std::string MutexName(const std::string& productName, bool globalNamespace);
  // MutexName for the system the program runs on.
  static std::string MutexNameHere(const std::string& productName);

  // Takes the lock named name. Only one holder at a time gets acquired;
  // every other gets heldElsewhere at once, without waiting.
  Result Acquire(const std::string& name);
  bool IsHeld() const noexcept { return mutex_.valid(); }

private:
  CHandle mutex_;
};
