// The installation status report for software-distribution systems. It is
// written through "ismif32.dll", the status-MIF library of a
// systems-management client, when that library is installed; everything
// behind the library's "InstallStatusMIF" belongs to the client.
//
// The report is best effort: callers ignore the result apart from leaving
// an event in the install log.
#pragma once

#include <string>
#include <vector>

#include "setup/paths/PathName.h"


class CInstallLog;
class CProductIdentity;
// Where the status library is looked for: the system directory, then the
// Windows directory. Never the program's own directory, the current
// directory or PATH: the program runs elevated, often from a folder that
// others can write to.
std::vector<std::string> StatusLibraryFolders();

// Loads "ismif32.dll" from the first of libraryFolders that holds it and
// calls its "InstallStatusMIF" with the values in the library's own order (MIF file name, manufacturer, product, version,
// locale, serial number, description, success). serialNumber may be null.
// False when the library or its entry point is missing, or when the
// library reports a failure.
bool WriteStatusMif(const std::vector<std::string>& libraryFolders, const char* mifFileName, const char* manufacturer,
                    const char* product, const char* version, const char* description, bool success,
                    const char* locale, const char* serialNumber);

// The status report at the end of an install-mode run: the MIF file is the
// base name of the product's program ("veltapp"), then its publisher
// ("Tarvo Inc."), its display name ("Veltrane") and its version ("2.0"),
// the description the string "Successful installation." or "Install
// failed.", the locale "ENU", no serial number. When the report cannot be
// written, "Could not write SMS status." goes into the [Events] section of
// the install log. Returns whether the report was written.
bool SendStatusReport(const CProductIdentity& product, bool installSucceeded, CInstallLog& log,
                      const std::vector<std::string>& libraryFolders = StatusLibraryFolders());
