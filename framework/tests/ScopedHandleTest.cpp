// The handle owners: closing keeps the thread's last error, so that the
// error of a failed call survives the clean-up after it.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/ScopedHandle.h"

namespace {

// A value no handle table holds: closing it fails and would set an error.
HANDLE BogusHandle() { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7ff0)); }

}  // namespace

TEST(ScopedHandle, ClosingKeepsTheLastErrorOfTheFailedCall) {
  {
    CHandle failing(BogusHandle());
    ::SetLastError(ERROR_DISK_FULL);
    failing.reset();
    EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), ::GetLastError()) << "reset";
    ::SetLastError(ERROR_SHARING_VIOLATION);
    failing.reset(BogusHandle());  // closed (and failing again) by the destructor
  }
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), ::GetLastError()) << "destructor";

  CHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event.valid());
  ::SetLastError(0xdeadbeef);
  event.reset();
  EXPECT_EQ(0xdeadbeefu, ::GetLastError()) << "a close that succeeds";
}
