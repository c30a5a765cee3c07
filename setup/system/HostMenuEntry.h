// The product's entry in the menu of the host statistics product ("Tarvo for
// Windows" 8.0, or 7.0 when 8.0 is missing), below
// root\"Software\Tarvo\Tarvo for Windows\<version>\OtherApps\<entry name>",
// the product's key ("Veltrane").
#pragma once

#include <windows.h>

#include <string>

#include "setup/profile/TargetTable.h"
#include "setup/paths/PathName.h"

// Writes the menu entry that starts programPath, titled with the
// description of the program item of programPath's file name in targets.
// False, with nothing written, when there is no such item or neither host
// version is installed under root; false also when a key or value could not
// be written. Callers ignore the result.
bool RegisterHostMenuEntry(HKEY root, const CPathName& programPath, const CTargetTable& targets,
                           const std::string& entryName);
// The key RegisterHostMenuEntry writes under root for entryName, with
// everything below it: the product's entry, or the host's list of entries
// when the host has none yet; empty when neither host version is installed
// under root.
std::string HostMenuEntryKey(HKEY root, const std::string& entryName);
// Deletes the menu entry entryName under each host version under root that
// has one.
void UnregisterHostMenuEntry(HKEY root, const std::string& entryName);

// The texts of the entry: the launch command "\"<programPath>\" -delete"
// and the menu text "$STAT>" + description, both cut to their limits.
std::string HostLaunchCommand(const CPathName& programPath);
std::string HostMenuText(const std::string& description);
