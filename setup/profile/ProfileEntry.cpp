#include "setup/profile/ProfileEntry.h"

#include <algorithm>

#include "setup/profile/ProfilePath.h"

CProfileEntry::CProfileEntry(std::string defaultValue, std::string section, std::string key, CPathName file,
                             bool writeBack, bool readNow)
    : writeBack_(writeBack),
      readAtConstruction_(readNow),
      section_(std::move(section)),
      key_(std::move(key)),
      file_(std::move(file)),
      value_(std::move(defaultValue)) {
  if (readAtConstruction_ && !section_.empty() && !key_.empty()) Read();
}

CProfileEntry::~CProfileEntry() {
  try {
    if (writeBack_ && IsChanged()) Write();
  } catch (...) {
    // A destructor reports nothing; the value is simply not written.
  }
}

bool CProfileEntry::IsChanged() const { return value_ != valueAsRead_; }

std::string CProfileEntry::FileName() const {
  return file_.IsEmpty() ? DefaultProfilePath().GetPath() : file_.GetPath();
}

bool CProfileEntry::Read() {
  const std::string file = FileName();
  char buffer[kMaxValueLength + 2] = {};
  const DWORD length = ::GetPrivateProfileStringA(section_.c_str(), key_.c_str(), value_.c_str(), buffer,
                                                  static_cast<DWORD>(kMaxValueLength + 1), file.c_str());
  value_.assign(buffer, std::min<std::size_t>(length, kMaxValueLength));
  valueAsRead_ = value_;
  return length > 0;
}

bool CProfileEntry::Write() {
  const std::string file = FileName();
  if (!::WritePrivateProfileStringA(section_.c_str(), key_.c_str(), value_.c_str(), file.c_str())) return false;
  valueAsRead_ = value_;
  return true;
}
