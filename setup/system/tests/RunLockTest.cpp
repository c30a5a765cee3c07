// The product's lock on the machine: its name on each kind of system, and
// one holder at a time.
#include <gtest/gtest.h>

#include <windows.h>

#include "setup/system/RunLock.h"

namespace {

TEST(RunLockTest, IsNamedInTheGlobalNamespaceWhereThereIsOne) {
  EXPECT_EQ("Global\\Veltrane Setup", CRunLock::MutexName("Veltrane", true));
  EXPECT_EQ("Veltrane Setup", CRunLock::MutexName("Veltrane", false));
  // Wine answers as Windows 2000 and later do.
  EXPECT_EQ("Global\\Veltrane Setup", CRunLock::MutexNameHere("Veltrane"));
}

TEST(RunLockTest, OnlyOneHolderAtATimeAndTheNextOnceItIsReleased) {
  const std::string name = "Global\\VeltTest Lock " + std::to_string(::GetCurrentProcessId());
  {
    CRunLock first;
    ASSERT_EQ(CRunLock::Result::acquired, first.Acquire(name));
    EXPECT_TRUE(first.IsHeld());
    CRunLock second;
    EXPECT_EQ(CRunLock::Result::heldElsewhere, second.Acquire(name));
    EXPECT_FALSE(second.IsHeld());
    EXPECT_EQ(CRunLock::Result::acquired, first.Acquire(name)) << "taken once, held";
  }
  CRunLock later;
  EXPECT_EQ(CRunLock::Result::acquired, later.Acquire(name));
  // A name another kind of object has: the run goes on without a lock.
  const std::string taken = name + " event";
  const CHandle event(::CreateEventA(nullptr, TRUE, FALSE, taken.c_str()));
  ASSERT_TRUE(event.valid());
  CRunLock squatted;
  EXPECT_EQ(CRunLock::Result::unavailable, squatted.Acquire(taken));
}

}  // namespace
