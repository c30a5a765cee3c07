#include "setup/profile/ProfileEntry.h"

#include <algorithm>

#include "setup/profile/IniTextFile.h"
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

bool CProfileEntry::ReadFrom(const CIniText& text) {
  if (const std::optional<std::string_view> found = text.Find(section_, key_)) {
    value_.assign(found->substr(0, kMaxValueLength));
  } else {
    // The default comes back as the answer, cut as any answer is.
    value_.resize(std::min(value_.size(), kMaxValueLength));
  }
  valueAsRead_ = value_;
  return !value_.empty();
}

bool CProfileEntry::Read() { return ReadFrom(ReadIniTextFile(CPathName(FileName()))); }

bool CProfileEntry::Write() {
  const CPathName file(FileName());
  CIniText text = ReadIniTextFile(file);
  text.Set(section_, key_, value_);
  if (!WriteIniTextFile(text, file)) return false;
  valueAsRead_ = value_;
  return true;
}
