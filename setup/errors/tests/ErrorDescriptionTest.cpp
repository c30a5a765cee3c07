#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "setup/errors/ErrorDescription.h"
#include "setup/errors/MakeXException.h"
#include "setup/resources/ResourceIds.h"

namespace {

class CUnrelatedException : public CException {
public:
  const char* GetRuntimeClassName() const noexcept override { return "CUnrelatedException"; }
};

// A member of the family as other subsystems make them.
class CMemberException : public CXException {
public:
  explicit CMemberException(int code) : CXException(code) {}
  const char* GetRuntimeClassName() const noexcept override { return "CMemberException"; }
  bool LookupErrorInfo(ErrorInfo& info) const override {
    static constexpr ErrorInfoEntry table[] = {{-1, IDS_ERR_USER, 0, 0}};
    return ScanErrorTable(table, info) || CXException::LookupErrorInfo(info);
  }
};

TEST(MakeXException, EachFrameworkKindBecomesItsFamilyMemberWithItsCode) {
  struct Row {
    std::shared_ptr<CException> from;
    const char* className;
    int code;
  } const rows[] = {
      {std::make_shared<CMemoryException>(), "CXMemoryException", 0},
      {std::make_shared<CFileException>(CFileException::sharingViolation, ERROR_SHARING_VIOLATION, "a.dll"),
       "CXFileException", 11},
      {std::make_shared<CArchiveException>(CArchiveException::badSchema), "CXArchiveException", 7},
      {std::make_shared<CNotSupportedException>(), "CXNotSupportedException", 0},
      {std::make_shared<CResourceException>(), "CXResourceException", 0},
      {std::make_shared<CUserException>(), "CXUserException", 0},
      {std::make_shared<CException>(), "CXException", 1},
      {std::make_shared<CUnrelatedException>(), "CXException", 1},
      // The family is reported as it is; converting one of its members gives "unknown".
      {std::make_shared<CXFileException>(CFileException(2)), "CXException", 1},
  };
  for (const Row& row : rows) {
    const std::unique_ptr<CXException> x = MakeXException(*row.from);
    ASSERT_NE(nullptr, x) << row.from->GetRuntimeClassName();
    EXPECT_STREQ(row.className, x->GetRuntimeClassName()) << row.from->GetRuntimeClassName();
    EXPECT_EQ(row.code, x->GetErrorCode()) << row.from->GetRuntimeClassName();
    EXPECT_TRUE(x->IsKindOf<CXException>());
  }
}

TEST(MakeXException, LeavesTheFrameworkExceptionAsItWas) {
  const CFileException e(CFileException::accessDenied, ERROR_ACCESS_DENIED, "C:\\x\\y.dat");
  const std::unique_ptr<CXException> x = MakeXException(e);
  EXPECT_EQ(CFileException::accessDenied, e.m_cause);
  EXPECT_EQ(ERROR_ACCESS_DENIED, e.m_lOsError);
  EXPECT_EQ("C:\\x\\y.dat", e.m_strFileName);
}

// The texts an error report shows for exceptions caught the way the setup
// program catches them.
TEST(ReportedExceptions, ShowTheirExactTextsClassNameAndCode) {
  struct Row {
    const char* what;
    void (*raise)();
    UINT messageId;
    const char* shortText;
    const char* longText;
    const char* className;
    int code;
    const char* errorInformation;
  } const rows[] = {
      {"missing source file", [] { CFileException::ThrowOsError(ERROR_FILE_NOT_FOUND, "D:\\veltapp.exe"); }, 9,
       "File not found.",
       "A file required for this operation was not found. This could be because the wrong location for the file "
       "was specified, or because the file has been deleted.",
       "CXFileException", 2, "9.2 (CXFileException)"},
      {"generic file error", [] { CFileException::Throw(CFileException::genericException); }, 17, "File Error.",
       "An error occurred with one of the files used in this operation.", "CXFileException", 1,
       "17.1 (CXFileException)"},
      {"archive read past its end", [] { AfxThrowArchiveException(CArchiveException::endOfFile); }, 17,
       "Archive Error", "An error occurred in saving or loading this application's data to or from disk.",
       "CXArchiveException", 3, "17.3 (CXArchiveException)"},
      {"out of memory", [] { AfxThrowMemoryException(); }, 9, "Not enough memory available.",
       "There is insufficient memory available to complete this operation. Exit other running applications or "
       "close additional documents and try the operation again.",
       "CXMemoryException", 0, "9.0 (CXMemoryException)"},
      {"unknown framework exception", [] { throw CException(); }, 9, "An unkown error occured.",
       "The requested operation cannot be completed because an error occurred. There is no more information "
       "available about this error. Please record the error information shown at the bottom of this message "
       "(click on More>>).",
       "CXException", 1, "9.1 (CXException)"},
      {"member of the family", [] { throw CMemberException(4); }, 9, "Operation cancelled.",
       "The requested operation cannot be completed because an error occurred. There is no more information "
       "available about this error. Please record the error information shown at the bottom of this message "
       "(click on More>>).",
       "CMemberException", 4, "9.4 (CMemberException)"},
  };
  for (const Row& row : rows) {
    try {
      row.raise();
      ADD_FAILURE() << row.what << ": nothing thrown";
    } catch (CException& e) {
      const ErrorDescription d = DescribeException(row.messageId, e);
      EXPECT_EQ(row.shortText, d.info.shortText) << row.what;
      EXPECT_EQ(row.longText, d.info.longText) << row.what;
      EXPECT_EQ(0, d.info.helpContext) << row.what;
      EXPECT_EQ(row.className, d.className) << row.what;
      EXPECT_EQ(row.code, d.errorCode) << row.what;
      EXPECT_EQ(row.errorInformation, d.errorInformation) << row.what;
    }
  }
}

}  // namespace

namespace {

// The details of a report name what the error concerns, when the thrower
// or a catcher on the way up knew it.
TEST(ReportedExceptions, DetailsNameTheFileTheyConcern) {
  const CFileException file(CFileException::diskFull, ERROR_DISK_FULL, "C:\\Velt\\big.bin");
  ErrorDescription d = DescribeException(IDS_SETUP_CANNOT_CONTINUE, file);
  EXPECT_EQ("C:\\Velt\\big.bin", d.subject);
  EXPECT_EQ(d.info.longText + "\r\n\r\nConcerns: C:\\Velt\\big.bin", d.Details());

  CXException profile(0);
  d = DescribeException(IDS_SETUP_CANNOT_CONTINUE, profile);
  EXPECT_EQ(d.info.longText, d.Details()) << "nothing to name";
  profile.SetSubject("D:\\kit\\_setupx.ini (the file does not exist)");
  d = DescribeException(IDS_SETUP_CANNOT_CONTINUE, profile);
  EXPECT_NE(std::string::npos, d.Details().find("Concerns: D:\\kit\\_setupx.ini (the file does not exist)"));
}

}  // namespace
