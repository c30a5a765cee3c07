// CNamedFile: a binary stdio file that keeps its full path as a CPathName
// and gives subclasses a say when the disk fills up.
#pragma once

#include "framework/StdioFile.h"
#include "setup/paths/PathName.h"

class CNamedFile : public CStdioFile {
public:
  static constexpr std::size_t kStreamBuffer = 64 * 1024;

  // Writes all count bytes. When the disk is full, OnDiskFull may make room
  // and have the write retried; otherwise CFileException (diskFull, no
  // system error code) is thrown. Other failures propagate unchanged.
  void Write(const void* buffer, UINT count) override;

  const CPathName& GetPathName() const noexcept { return pathName_; }
  // Reads exactly count bytes or throws CFileException (endOfFile).
  void ReadExact(void* buffer, UINT count);

  // Whether space was made so that the failed write can be retried (the
  // whole block is written again). Nothing here can make space: false.
  virtual bool OnDiskFull(const CFileException& e);

  // Opens path for binary reading (others may read and write it too), or
  // for binary writing (created or truncated, readable as well). Failures
  // throw CFileException for the path. Both keep the path.
  void OpenRead(const CPathName& path);
  void OpenWrite(const CPathName& path);
  // Creates path for binary writing (readable as well) only when nothing of
  // that name exists yet; false, with nothing made, otherwise. Keeps the
  // path when it succeeds. The new file takes attributes.
  bool CreateNew(const CPathName& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);

protected:
  // Takes path as the file's name without opening anything: for a
  // subclass that reads the file's bytes from elsewhere.
  void KeepPathName(const CPathName& path) { pathName_ = path; }
  // The write-with-retry rule of Write, for subclasses that write around
  // their own bookkeeping.
  void WriteWithRetry(const void* buffer, UINT count);

private:
  void OpenOrThrow(const CPathName& path, unsigned flags);
  void UseStreamBuffer();

  CPathName pathName_;
};
