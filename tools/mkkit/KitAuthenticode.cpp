#include "tools/mkkit/KitAuthenticode.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// WIN_CERTIFICATE (wintrust.h): the certificate table's entries.
constexpr std::uint16_t kCertificateTypePkcsSignedData = 0x0002;  // WIN_CERT_TYPE_PKCS_SIGNED_DATA
constexpr std::size_t kCertificateHeader = 8;                     // dwLength, wRevision, wCertificateType
// The DER of the object identifier 1.2.840.113549.1.7.2, PKCS #7 signedData.
constexpr unsigned char kSignedDataOid[] = {0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02};

std::uint32_t Get16(const std::vector<unsigned char>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t Get32(const std::vector<unsigned char>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Reads count bytes at offset (fewer at the end of the file).
std::vector<unsigned char> ReadAt(std::ifstream& in, std::uint64_t offset, std::size_t count) {
  std::vector<unsigned char> bytes(count);
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  bytes.resize(in ? count : static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return bytes;
}

// Whether bytes begin a DER SEQUENCE whose first element is the signedData
// object identifier: a PKCS #7 ContentInfo of signed data.
bool IsSignedDataContentInfo(const std::vector<unsigned char>& bytes) {
  if (bytes.size() < 2 || bytes[0] != 0x30) return false;
  std::size_t at = 2;
  if (bytes[1] & 0x80) {
    const std::size_t lengthBytes = bytes[1] & 0x7F;
    if (lengthBytes == 0 || lengthBytes > 4) return false;
    at += lengthBytes;
  }
  return bytes.size() >= at + sizeof kSignedDataOid && std::equal(std::begin(kSignedDataOid), std::end(kSignedDataOid),
                                                                  bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

AuthenticodeInfo ReadAuthenticode(const std::string& path) {
  AuthenticodeInfo info;
  std::ifstream in(path, std::ios::binary);
  if (!in) return info;
  in.seekg(0, std::ios::end);
  const auto end = in.tellg();
  if (end < 0) return info;
  const auto fileSize = static_cast<std::uint64_t>(end);
  const std::vector<unsigned char> head = ReadAt(in, 0, 65536);
  if (head.size() < 0x40 || head[0] != 'M' || head[1] != 'Z') return info;
  const std::size_t pe = Get32(head, 0x3C);
  const std::size_t optional = pe + 24;  // after the signature and the file header
  if (pe > head.size() || head.size() - pe < 24 + 2) return info;
  if (head[pe] != 'P' || head[pe + 1] != 'E' || head[pe + 2] != 0 || head[pe + 3] != 0) return info;
  const std::uint32_t optionalSize = Get16(head, pe + 20);
  const std::uint32_t magic = Get16(head, optional);
  std::size_t directories = 0, count = 0;
  if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
    count = optional + 92;
    directories = optional + 96;
  } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    count = optional + 108;
    directories = optional + 112;
  } else {
    return info;
  }
  info.state = AuthenticodeInfo::State::none;
  info.checksumOffset = optional + 64;
  const std::size_t entry = directories + IMAGE_DIRECTORY_ENTRY_SECURITY * 8;
  // An optional header too short to hold the entry, or one that counts no
  // more than four directories, has no security directory.
  if (entry + 8 > optional + optionalSize || entry + 8 > head.size() || Get32(head, count) <= IMAGE_DIRECTORY_ENTRY_SECURITY) {
    return info;
  }
  info.directoryOffset = entry;
  const std::uint64_t offset = Get32(head, entry);  // a file offset, not a virtual address
  const std::uint64_t size = Get32(head, entry + 4);
  if (offset == 0 && size == 0) return info;
  info.state = AuthenticodeInfo::State::damaged;
  if (offset == 0 || size == 0) {
    info.problem = "its security directory is half empty (offset " + std::to_string(offset) + ", " +
                   std::to_string(size) + " bytes)";
    return info;
  }
  if (offset < optional + optionalSize || offset > fileSize || size > fileSize - offset) {
    info.problem = "its security directory points outside the file (" + std::to_string(size) + " bytes at offset " +
                   std::to_string(offset) + "; the file has " + std::to_string(fileSize) + ")";
    return info;
  }
  info.tableOffset = offset;
  info.tableSize = size;
  const std::vector<unsigned char> certificate = ReadAt(in, offset, kCertificateHeader + 32);
  if (size < kCertificateHeader || certificate.size() < kCertificateHeader) {
    info.problem = "its certificate table is too short to hold a certificate";
    return info;
  }
  const std::uint32_t length = Get32(certificate, 0);
  const std::uint32_t type = Get16(certificate, 6);
  if (length < kCertificateHeader || length > size) {
    info.problem = "the length of its first certificate (" + std::to_string(length) +
                   " bytes) does not fit its certificate table (" + std::to_string(size) + " bytes)";
    return info;
  }
  if (type != kCertificateTypePkcsSignedData) {
    info.problem = "its certificate table holds a certificate of type " + std::to_string(type) +
                   ", not PKCS signed data (2)";
    return info;
  }
  if (!IsSignedDataContentInfo(std::vector<unsigned char>(certificate.begin() + kCertificateHeader, certificate.end()))) {
    info.problem = "its PKCS certificate holds no PKCS #7 signed data";
    return info;
  }
  info.state = AuthenticodeInfo::State::present;
  info.signatureSize = length - kCertificateHeader;
  return info;
}

std::string DescribeAuthenticode(const AuthenticodeInfo& info) {
  switch (info.state) {
    case AuthenticodeInfo::State::notImage: return "is not a program image";
    case AuthenticodeInfo::State::none: return "carries no Authenticode signature";
    case AuthenticodeInfo::State::present:
      return "carries an Authenticode signature (PKCS #7 signed data, " + std::to_string(info.signatureSize) + " bytes)";
    default: return "carries no usable Authenticode signature: " + info.problem;
  }
}

namespace {

// The file's bytes without its signature (see FirstDifferenceApartFromSignature);
// cut tells whether a certificate table was cut off.
std::string WithoutSignature(const std::string& path, bool& cut, bool& readable) {
  std::ifstream in(path, std::ios::binary);
  readable = static_cast<bool>(in);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const AuthenticodeInfo info = ReadAuthenticode(path);
  cut = false;
  if (info.state == AuthenticodeInfo::State::notImage) return bytes;
  const auto clear = [&](std::uint64_t at, std::size_t count) {
    if (at != 0 && at + count <= bytes.size()) bytes.replace(static_cast<std::size_t>(at), count, count, '\0');
  };
  clear(info.checksumOffset, 4);
  clear(info.directoryOffset, 8);
  if (info.tableOffset != 0 && info.tableOffset <= bytes.size()) {
    bytes.resize(static_cast<std::size_t>(info.tableOffset));
    cut = true;
  }
  return bytes;
}

}  // namespace

std::int64_t FirstDifferenceApartFromSignature(const std::string& a, const std::string& b) {
  bool cutA = false, cutB = false, readA = false, readB = false;
  const std::string x = WithoutSignature(a, cutA, readA);
  const std::string y = WithoutSignature(b, cutB, readB);
  if (!readA || !readB) return 0;
  const std::size_t common = std::min(x.size(), y.size());
  const auto mismatch = std::mismatch(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(common), y.begin());
  if (mismatch.first != x.begin() + static_cast<std::ptrdiff_t>(common)) return mismatch.first - x.begin();
  if (x.size() == y.size()) return -1;
  // The longer one may go on only by the zero bytes that aligned its
  // certificate table to 8 bytes.
  const std::string& longer = x.size() > y.size() ? x : y;
  const bool longerCut = x.size() > y.size() ? cutA : cutB;
  const std::size_t extra = longer.size() - common;
  if (longerCut && extra < 8 && longer.size() % 8 == 0 &&
      std::all_of(longer.begin() + static_cast<std::ptrdiff_t>(common), longer.end(), [](char c) { return c == 0; })) {
    return -1;
  }
  return static_cast<std::int64_t>(common);
}
