// CInstallModel: the five collections that describe an installation and
// the program group name, as the application holds them for a run. Filled
// from the setup profile (or, in remove mode, from the install log, which
// holds the same sections); CInstallLogWriter writes it into the log.
#pragma once

#include "framework/FunctionRef.h"
#include <string>

#include "setup/profile/DestinationTable.h"
#include "setup/profile/DisketteTable.h"
#include "setup/profile/FileList.h"
#include "setup/profile/GroupTable.h"
#include "setup/profile/TargetTable.h"
#include "setup/paths/PathName.h"

class CIniText;


class CInstallModel {
public:
  // programFolder: the program group name until the profile names one.
  explicit CInstallModel(std::string defaultProgramFolder = {}) : programFolder(std::move(defaultProgramFolder)) {}
  CInstallModel(const CInstallModel&) = delete;
  CInstallModel& operator=(const CInstallModel&) = delete;

  // Loads, in this order: destinations, groups, targets with the program
  // group name, the file lists of the groups, diskettes; afterEachStep (for
  // example a message pump) runs after each of the five. Throws
  // CInstallProfileException code 0 when the file has no destinations.
  // Paths are not resolved here: the caller resolves them once destination
  // 0 is known.
  void Load(const CIniText& profile, CFunctionRef<void()> afterEachStep = {});
  // The same from the file, read once.
  void Load(const CPathName& profile, CFunctionRef<void()> afterEachStep = {});

  CDestinationTable destinations;
  CGroupTable groups;
  CTargetTable targets;
  CFileList files;
  CDisketteTable diskettes;
  std::string programFolder;
};
