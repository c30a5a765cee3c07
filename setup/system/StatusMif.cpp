#include "setup/system/StatusMif.h"

#include <windows.h>

#include "framework/Resources.h"
#include "framework/SystemLibrary.h"
#include "setup/log/EventTrail.h"
#include "setup/profile/ProductIdentity.h"
#include "setup/resources/ResourceIds.h"

namespace {

// The library's entry point: seven ANSI strings (the serial number may be
// null) and the success flag.
using InstallStatusMifProc = BOOL(WINAPI*)(LPCSTR mifFileName, LPCSTR manufacturer, LPCSTR product,
                                           LPCSTR version, LPCSTR locale, LPCSTR serialNumber,
                                           LPCSTR description, BOOL success);

}  // namespace

std::vector<std::string> StatusLibraryFolders() { return LibraryFolderPaths(LibraryFolders::systemThenWindows); }

bool WriteStatusMif(const std::vector<std::string>& libraryFolders, const char* mifFileName, const char* manufacturer,
                    const char* product, const char* version, const char* description, bool success,
                    const char* locale, const char* serialNumber) {
  const CSystemLibrary library("ismif32.dll", libraryFolders);
  const auto entry = library.Find<InstallStatusMifProc>("InstallStatusMIF");
  if (!entry) return false;
  return entry(mifFileName, manufacturer, product, version, locale, serialNumber, description, success ? TRUE : FALSE) !=
         FALSE;
}

bool SendStatusReport(const CProductIdentity& product, bool installSucceeded, CInstallLog& log,
                      const std::vector<std::string>& libraryFolders) {
  const std::string mifFileName = CPathName(product.program).GetBaseName();
  const std::string name = product.DisplayName();
  const std::string description =
      LoadResourceString(installSucceeded ? IDS_STATUS_SUCCEEDED : IDS_STATUS_FAILED);
  const bool written = WriteStatusMif(libraryFolders, mifFileName.c_str(), product.publisher.c_str(), name.c_str(),
                                      product.version.c_str(),
                                      description.c_str(), installSucceeded, "ENU", nullptr);
  if (!written) LogEvent(log, "Could not write SMS status.");
  return written;
}
