// Which programs hold a file open, as far as the system can say: the
// Restart Manager of Windows Vista and later knows them; older systems
// (and Wine) cannot say.
#pragma once

#include <string>
#include <vector>

// The programs holding path, each as "name (process id)"; empty when none
// does or the system cannot say. Never throws.
std::vector<std::string> ProgramsHoldingFile(const std::string& path) noexcept;
