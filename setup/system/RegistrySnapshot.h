// Registry keys and values as they were, written as text that one line of
// the rollback journal can carry, and put back from it. A snapshot is "-"
// for a key or value that was not there, or "+" followed by hexadecimal
// digits: for a value its type and data; for a key its values and, depth
// first, its sub-keys with theirs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// "HKLM", "HKCU", "HKCR" or "HKU"; empty for any other key.
std::string RegistryRootName(HKEY root);
// The root of such a name; none for any other text.
std::optional<HKEY> RegistryRootOf(const std::string& name);

// The key root\path with everything below it.
std::string SnapshotKeyTree(HKEY root, const std::string& path);
// Makes root\path what snapshot says it was: deleted with everything below
// it when it was not there; else made again as it was, whole (values and
// sub-keys that came since go). False when that could not be done fully or
// snapshot is no snapshot.
bool RestoreKeyTree(HKEY root, const std::string& path, const std::string& snapshot);

// The value name of root\path (empty: the key's default value).
std::string SnapshotValue(HKEY root, const std::string& path, const std::string& name);
// Makes the value what snapshot says it was (deleted when it was not
// there). False when that could not be done or snapshot is no snapshot.
bool RestoreValue(HKEY root, const std::string& path, const std::string& name, const std::string& snapshot);
