// What a program image says about its Authenticode signature: the
// certificate table that the PE security directory
// (IMAGE_DIRECTORY_ENTRY_SECURITY) points to, and in it a WIN_CERTIFICATE of
// type PKCS_SIGNED_DATA whose content is a PKCS #7 SignedData. Nothing here
// judges the signature: not whom it names, not whether its digest matches
// the image, not whether Windows trusts its certificate.
#pragma once

#include <cstdint>
#include <string>

struct AuthenticodeInfo {
  enum class State {
    notImage,  // no MZ stub leading to a PE image
    none,      // a program image without a certificate table
    present,   // a PKCS_SIGNED_DATA certificate holding PKCS #7 SignedData
    damaged,   // a certificate table that is not one (problem says why)
  };
  State state = State::notImage;
  std::uint64_t tableOffset = 0;     // the certificate table in the file; 0 when none
  std::uint64_t tableSize = 0;
  std::uint64_t signatureSize = 0;   // the PKCS #7 bytes of the first certificate
  std::uint64_t checksumOffset = 0;  // the optional header's CheckSum, which signing tools set
  std::uint64_t directoryOffset = 0; // the security directory's entry (offset and size)
  std::string problem;
};

// Reads the headers and the certificate table of the file at path (only
// those, not the whole image). A file that cannot be read is notImage.
AuthenticodeInfo ReadAuthenticode(const std::string& path);

// For messages: "carries an Authenticode signature (PKCS #7 signed data,
// N bytes)", "carries no Authenticode signature", "is not a program image",
// or what is wrong with a damaged table.
std::string DescribeAuthenticode(const AuthenticodeInfo& info);

// The first offset at which the two files differ when each is taken
// without its signature: the CheckSum field and the security directory's
// entry count as zero, and a file that has a certificate table ends where
// the table starts, less the zero bytes (at most 7) that align the table
// to 8 bytes. -1 when they are the same apart from their signatures (also
// when neither has one and they are equal). Files that cannot be read
// differ at 0.
std::int64_t FirstDifferenceApartFromSignature(const std::string& a, const std::string& b);
