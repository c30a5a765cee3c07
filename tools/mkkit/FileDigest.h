// The SHA-256 of a whole file, as the kit's seal gives it.
#pragma once

#include <cstdint>
#include <string>

// The digest of the file at path as 64 lower-case hex digits, and its size.
// Throws CKitException (read failure) when the file cannot be read.
std::string Sha256OfFile(const std::string& path, std::uint64_t& size);
