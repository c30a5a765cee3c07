// The run's product as the kit and the install log name it, and the files
// the kit's [Product] brings on its first diskette (the licence text and
// the pictures). The product is read before the run's first window, so
// that everything the run shows and writes names it; the Reading page
// reads it again with the rest of the profile (or the log) and refuses a
// file that names another product, or names it wrongly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "setup/profile/ProductIdentity.h"

class CIniText;
class CKitSeal;
class CPathName;
class CVerboseLog;

// The [Product] of the kit whose setup profile is profile; the built-in
// product when the profile has none, or when there is no profile (the
// Reading page reports that). The profile is checked against the kit's
// seal first, when the kit has one. Throws what reading the seal, the
// profile or [Product] throws.
CProductIdentity ReadKitProduct(const CPathName& profile);
// The product that the install log text records for a removal of key: its
// [Product] when that names key. Otherwise (no log, or a log that names no
// product or another one) a product of that name and key with no program,
// whose removal the Reading page refuses.
CProductIdentity ReadLogProduct(const CIniText& log, const std::string& key);
// Refuses text (the profile or the install log that the Reading page
// loads, read from file) when its [Product] is not the product the run
// started as: throws CInstallProfileException (badProduct), or what
// reading [Product] throws, naming file.
void CheckSameProduct(const CIniText& text, const CProductIdentity& product, const CPathName& file);

// The bytes of the kit's file name beside profile, checked against seal
// when the kit has one. Throws CKitSealException, CFileException (also
// for a file larger than maxBytes).
std::string ReadKitFile(const CPathName& profile, const CKitSeal* seal, const std::string& name,
                        std::uint64_t maxBytes);
// The picture name of the kit (a .bmp file) as a packed DIB that
// CreateBitmapFromDib draws; empty, with the reason in log, when it
// cannot be read, differs from the seal or is no picture the program
// draws.
std::vector<unsigned char> ReadKitPicture(const CPathName& profile, const CKitSeal* seal, const std::string& name,
                                          CVerboseLog& log) noexcept;
