#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "setup/errors/MakeXException.h"
#include "setup/errors/XException.h"
#include "setup/resources/ResourceIds.h"

namespace {

const char kUnknown[] = "An unkown error occured.";
const char kUnknownInfo[] =
    "The requested operation cannot be completed because an error occurred. There is no more information "
    "available about this error. Please record the error information shown at the bottom of this message "
    "(click on More>>).";
const char kFileInfo[] = "An error occurred with one of the files used in this operation.";

// A member of the family with a table made to exercise the scan rules.
class CScanProbe : public CXException {
public:
  explicit CScanProbe(int code) : CXException(code) {}
  const char* GetRuntimeClassName() const noexcept override { return "CScanProbe"; }
  bool LookupErrorInfo(ErrorInfo& info) const override {
    return ScanErrorTable(kTable, info) || CXException::LookupErrorInfo(info);
  }
  bool ScanOwnTableOnly(ErrorInfo& info) const { return ScanErrorTable(kTable, info); }
  bool ScanEmptyTable(ErrorInfo& info) const { return ScanErrorTable({}, info); }

  static constexpr UINT kMissingString = 30000;
  static constexpr ErrorInfoEntry kTable[] = {
      {5, IDS_ERR_BAD_SEEK, 0, 0},                            // short text only
      {6, 0, IDS_ERR_DISK_FULL_INFO, 0},                      // long text only
      {7, IDS_ERR_DISK_FULL, IDS_ERR_DISK_FULL_INFO, 4711},  // everything
      {8, kMissingString, IDS_ERR_FILE_INFO, 0},              // a string the table lacks
      {9, IDS_ERR_USER, IDS_ERR_USER_INFO, 0},                // first match wins ...
      {-1, IDS_ERR_FILE, 0, 0},                               // ... over any later row
      {9, IDS_ERR_MEMORY, IDS_ERR_MEMORY_INFO, 0},
  };
};

TEST(ErrorTableScan, MemberRowsKeepTheirTextsAndTheBaseRowFillsOnlyWhatIsLeftEmpty) {
  struct Row {
    int code;
    const char* shortText;
    const char* longText;
    int helpContext;
    bool complete;
  } const rows[] = {
      {5, "Bad seek.", kUnknownInfo, 0, false},
      {6, kUnknown,
       "There is not enough space on the specified drive for this operation. Either select a different drive or "
       "remove one or more files.",
       0, false},
      {7, "Disk full",
       "There is not enough space on the specified drive for this operation. Either select a different drive or "
       "remove one or more files.",
       4711, true},
      {8, kUnknown, kFileInfo, 0, false},
      {9, "Operation cancelled.", "You cancelled this operation.", 0, false},
      {10, "File Error.", kUnknownInfo, 0, false},
  };
  for (const Row& row : rows) {
    CScanProbe e(row.code);
    ErrorInfo info;
    EXPECT_EQ(row.complete, e.LookupErrorInfo(info)) << "code " << row.code;
    EXPECT_EQ(row.shortText, info.shortText) << "code " << row.code;
    EXPECT_EQ(row.longText, info.longText) << "code " << row.code;
    EXPECT_EQ(row.helpContext, info.helpContext) << "code " << row.code;

    const ErrorInfo loaded = e.LoadErrorInfo();
    EXPECT_EQ(info.shortText, loaded.shortText) << "code " << row.code;
    EXPECT_EQ(info.longText, loaded.longText) << "code " << row.code;
    EXPECT_EQ(info.helpContext, loaded.helpContext) << "code " << row.code;
  }
}

TEST(ErrorTableScan, FillsOnlyEmptyValuesAndLeavesEverythingAloneWithoutAMatch) {
  const CScanProbe e(7);
  ErrorInfo info{"given title", "", 12};
  EXPECT_FALSE(e.ScanOwnTableOnly(info));
  EXPECT_EQ("given title", info.shortText);
  EXPECT_EQ(
      "There is not enough space on the specified drive for this operation. Either select a different drive or "
      "remove one or more files.",
      info.longText);
  EXPECT_EQ(12, info.helpContext);

  ErrorInfo untouched{"a", "b", 3};
  EXPECT_FALSE(e.ScanEmptyTable(untouched));
  EXPECT_EQ("a", untouched.shortText);
  EXPECT_EQ("b", untouched.longText);
  EXPECT_EQ(3, untouched.helpContext);

  // The base table of CXException matches any code.
  ErrorInfo base;
  EXPECT_FALSE(CXException(42).LookupErrorInfo(base));
  EXPECT_EQ(kUnknown, base.shortText);
  EXPECT_EQ(kUnknownInfo, base.longText);
}

TEST(ErrorTableScan, LoadErrorInfoStartsFromNothingEachTime) {
  const CXFileException notFound(CFileException(CFileException::fileNotFound));
  const CXFileException generic(CFileException(CFileException::genericException));
  EXPECT_EQ("File not found.", notFound.LoadErrorInfo().shortText);
  EXPECT_EQ("File Error.", generic.LoadErrorInfo().shortText);
  EXPECT_EQ("File not found.", notFound.LoadErrorInfo().shortText);
}

// Every message of the family, as the string table must hold it.
TEST(FamilyMessages, EveryClassAndCauseGivesItsExactTexts) {
  using Make = std::function<std::unique_ptr<CXException>()>;
  auto file = [](int cause) -> Make {
    return [cause] { return std::make_unique<CXFileException>(CFileException(cause)); };
  };
  struct Row {
    const char* what;
    Make make;
    const char* shortText;
    const char* longText;
  } const rows[] = {
      {"base", [] { return std::make_unique<CXException>(); }, kUnknown, kUnknownInfo},
      {"memory", [] { return std::make_unique<CXMemoryException>(); }, "Not enough memory available.",
       "There is insufficient memory available to complete this operation. Exit other running applications or "
       "close additional documents and try the operation again."},
      {"archive", [] { return std::make_unique<CXArchiveException>(CArchiveException(5)); }, "Archive Error",
       "An error occurred in saving or loading this application's data to or from disk."},
      {"resource", [] { return std::make_unique<CXResourceException>(); }, "Resource Error.",
       "An error occurred while accessing the resources associated with this application. Possible "
       "causes:\r\n\r\n- A damaged .EXE or .DLL file\r\n- Not enough file handles\r\n- System resources are "
       "exhausted."},
      {"user", [] { return std::make_unique<CXUserException>(); }, "Operation cancelled.",
       "You cancelled this operation."},
      {"not supported", [] { return std::make_unique<CXNotSupportedException>(); },
       "This operation is not supported.",
       "You have requested an operation that is not supported by this application."},
      {"file 0", file(0), "File Error.", kFileInfo},
      {"file 1", file(1), "File Error.", kFileInfo},
      {"file 2", file(2), "File not found.",
       "A file required for this operation was not found. This could be because the wrong location for the file "
       "was specified, or because the file has been deleted."},
      {"file 3", file(3), "Invalid path.", "The path specfied for accessing a file is invalid. "},
      {"file 4", file(4), "Too many files open.",
       "There are too many files open. You can terminate other running applications or close other documents to "
       "close files, then try this operation again."},
      {"file 5", file(5), "Access denied.",
       "You do not have access rights to work with this file. Contact your system administrator if you need "
       "access to this file."},
      {"file 6", file(6), "Invalid file.", kFileInfo},
      {"file 7", file(7), "Cannot remove current directory.", kFileInfo},
      {"file 8", file(8), "Directory full.",
       "The directory used for this operation cannot hold any more files. Please select another directory, or "
       "remove one or more files from this directory."},
      {"file 9", file(9), "Bad seek.", kFileInfo},
      {"file 10", file(10), "Hardware error.",
       "There was a hardware error accessing your file system. Possible causes\r:\n- incompatible driver "
       "versions\n- power surge\r\n- hardware failure\r\n\r\nYou may want to shut down your computer and try "
       "again."},
      {"file 11", file(11), "Sharing violation.",
       "A sharing violation occured accessing a file. Possible causes:\r\n\r\n-- another application has loaded "
       "this file\r\n- another user on the network has loaded this file\r\n- SHARE.EXE is not loaded\r\n- A "
       "previous application didn't release this file"},
      {"file 12", file(12), "Locking violation.",
       "A locking violation occured accessing a file. Possible causes:\r\n\r\n-- another application has loaded "
       "this file\n- another user on the network has loaded this file\r\n- SHARE.EXE is not loaded\r\n- A "
       "previous application didn't release this file"},
      {"file 13", file(13), "Disk full",
       "There is not enough space on the specified drive for this operation. Either select a different drive or "
       "remove one or more files."},
      {"file 14", file(14), "End of file.", kFileInfo},
      {"file 15", file(15), "File Error.", kFileInfo},
      {"file -7", file(-7), "File Error.", kFileInfo},
  };
  for (const Row& row : rows) {
    const std::unique_ptr<CXException> e = row.make();
    const ErrorInfo info = e->LoadErrorInfo();
    EXPECT_EQ(row.shortText, info.shortText) << row.what;
    EXPECT_EQ(row.longText, info.longText) << row.what;
    EXPECT_EQ(0, info.helpContext) << row.what;
  }
}

TEST(FamilyMessages, TheFrameworkReporterSeesTheShortText) {
  const CXFileException e(CFileException(CFileException::diskFull));
  const CException& asFrameworkException = e;
  EXPECT_EQ("Disk full", asFrameworkException.GetErrorMessage());
  EXPECT_STREQ("CXFileException", asFrameworkException.what());
}

}  // namespace
