#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "framework/Exception.h"

TEST(ExceptionKinds, RunTimeClassNamesAndKindTestsSeeDerivedClasses) {
  CFileException file(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "a.txt");
  const CException& asBase = file;
  EXPECT_STREQ("CFileException", asBase.GetRuntimeClassName());
  EXPECT_TRUE(asBase.IsKindOf<CException>());
  EXPECT_TRUE(asBase.IsKindOf<CFileException>());
  EXPECT_FALSE(asBase.IsKindOf<CArchiveException>());

  EXPECT_STREQ("CMemoryException", CMemoryException().GetRuntimeClassName());
  EXPECT_STREQ("CArchiveException", CArchiveException(3).GetRuntimeClassName());
  EXPECT_STREQ("CResourceException", CResourceException().GetRuntimeClassName());
  EXPECT_STREQ("CUserException", CUserException().GetRuntimeClassName());
  EXPECT_STREQ("CNotSupportedException", CNotSupportedException().GetRuntimeClassName());
  EXPECT_STREQ("CException", CException().GetRuntimeClassName());
}

TEST(ExceptionKinds, ThrownByValueAndCaughtByBaseReference) {
  try {
    CFileException::ThrowOsError(ERROR_SHARING_VIOLATION, "locked.dat");
  } catch (CException& e) {
    auto* file = dynamic_cast<CFileException*>(&e);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(CFileException::sharingViolation, file->m_cause);
    EXPECT_EQ(ERROR_SHARING_VIOLATION, file->m_lOsError);
    EXPECT_EQ("locked.dat", file->m_strFileName);
    return;
  }
  FAIL() << "nothing thrown";
}

TEST(ExceptionTranslation, EveryExceptionReachesTheHandlerAsAFrameworkException) {
  const struct {
    const char* name;
    std::function<void()> thrower;
    const char* expected;
  } rows[] = {
      {"file exception", [] { CFileException::Throw(CFileException::diskFull, 0, "a.dat"); }, "CFileException"},
      {"user exception", [] { AfxThrowUserException(); }, "CUserException"},
      {"bad_alloc", [] { throw std::bad_alloc(); }, "CMemoryException"},
      {"runtime_error", [] { throw std::runtime_error("x"); }, "CException"},
      {"int", [] { throw 7; }, "CException"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string seen;
    try {
      row.thrower();
      FAIL() << "nothing thrown";
    } catch (...) {
      const int result = AfxTranslateCurrentException([&seen](CException& e) {
        seen = e.GetRuntimeClassName();
        return 5;
      });
      EXPECT_EQ(5, result) << "the handler's result comes back";
    }
    EXPECT_EQ(row.expected, seen);

    std::exception_ptr kept;
    try {
      row.thrower();
    } catch (...) {
      kept = std::current_exception();
    }
    seen.clear();
    AfxTranslateException(kept, [&seen](CException& e) { seen = e.GetRuntimeClassName(); });
    EXPECT_EQ(row.expected, seen) << "kept for later";
  }
}

TEST(ExceptionTranslation, TheCaughtFrameworkExceptionKeepsItsContext) {
  try {
    CFileException::ThrowOsError(ERROR_ACCESS_DENIED, "locked.dat");
  } catch (...) {
    AfxTranslateCurrentException([](CException& e) {
      auto* file = dynamic_cast<CFileException*>(&e);
      ASSERT_NE(nullptr, file);
      EXPECT_EQ("locked.dat", file->m_strFileName);
      EXPECT_EQ(ERROR_ACCESS_DENIED, file->m_lOsError);
    });
  }
}

TEST(FileExceptionCauses, Win32ErrorsMapToTheFrameworkCauses) {
  struct Row {
    LONG error;
    int cause;
  } const rows[] = {
      {NO_ERROR, CFileException::none},
      {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
      {ERROR_PATH_NOT_FOUND, CFileException::badPath},
      {ERROR_INVALID_NAME, CFileException::badPath},
      {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
      {ERROR_ACCESS_DENIED, CFileException::accessDenied},
      {ERROR_WRITE_PROTECT, CFileException::accessDenied},
      {ERROR_BAD_FORMAT, CFileException::invalidFile},
      {ERROR_INVALID_HANDLE, CFileException::invalidFile},
      {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
      {ERROR_DIR_NOT_EMPTY, CFileException::removeCurrentDir},
      {ERROR_NO_SPOOL_SPACE, CFileException::directoryFull},
      {ERROR_SEEK, CFileException::badSeek},
      {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
      {ERROR_NOT_READY, CFileException::hardIO},
      {ERROR_CRC, CFileException::hardIO},
      {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
      {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
      {ERROR_DISK_FULL, CFileException::diskFull},
      {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
      {ERROR_HANDLE_EOF, CFileException::endOfFile},
      {ERROR_NOT_ENOUGH_MEMORY, CFileException::genericException},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.cause, CFileException::OsErrorToCause(row.error)) << "Win32 error " << row.error;
  }
}

TEST(FileExceptionCauses, ErrnoValuesMapToTheFrameworkCauses) {
  struct Row {
    int value;
    int cause;
  } const rows[] = {
      {0, CFileException::none},
      {ENOENT, CFileException::fileNotFound},
      {EACCES, CFileException::accessDenied},
      {EPERM, CFileException::accessDenied},
      {EBADF, CFileException::invalidFile},
      {EMFILE, CFileException::tooManyOpenFiles},
      {ENOSPC, CFileException::diskFull},
      {EDEADLOCK, CFileException::sharingViolation},
      {EINVAL, CFileException::hardIO},
      {EIO, CFileException::hardIO},
      {EDOM, CFileException::genericException},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.cause, CFileException::ErrnoToCause(row.value)) << "errno " << row.value;
  }
}
