// Binary files over Win32 file handles. Failures throw CFileException with
// the cause mapped from the Win32 error and the file's path.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Exception.h"
#include "framework/ScopedHandle.h"

// What GetStatus reports of a file.
struct CFileStatus {
  FILETIME m_ctime{};   // creation time
  FILETIME m_mtime{};   // last write time
  FILETIME m_atime{};   // last access time
  std::uint64_t m_size = 0;
  DWORD m_attribute = 0;
  std::string m_szFullName;
};

class CFile {
public:
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,    // CStdioFile only
    typeBinary = 0x8000,  // CStdioFile only
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile() = default;
  // Opens or throws.
  CFile(const std::string& path, unsigned openFlags);
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;
  virtual ~CFile();

  // Opens the file; on failure returns false and fills *error when given.
  virtual bool Open(const std::string& path, unsigned openFlags, CFileException* error = nullptr);
  virtual bool IsOpen() const { return handle_.valid(); }
  // Reads up to count bytes; returns the number read (0 at the end).
  virtual UINT Read(void* buffer, UINT count);
  // Writes all count bytes or throws (diskFull when the volume is full).
  virtual void Write(const void* buffer, UINT count);
  virtual std::uint64_t Seek(std::int64_t offset, SeekPosition from);
  std::uint64_t SeekToBegin() { return Seek(0, begin); }
  std::uint64_t SeekToEnd() { return Seek(0, end); }
  virtual std::uint64_t GetPosition() const;
  virtual std::uint64_t GetLength() const;
  virtual void SetLength(std::uint64_t length);
  virtual void Flush();
  // Closes the file; throws when the close fails.
  virtual void Close();
  // Closes the file quietly, whatever its state.
  virtual void Abort();

  const std::string& GetFilePath() const { return path_; }
  std::string GetFileName() const;
  // The open file's status: its times and size asked of its handle (what
  // the system holds: a stream's output still buffered is not counted),
  // its attributes of its path; no directory is searched. False when the
  // file is not open or the system gives none.
  bool GetStatus(CFileStatus& status) const;
  // The system's handle of the open file; null when none is open.
  virtual HANDLE GetHandle() const { return handle_.get(); }

  // The same of a file open as handle at path.
  static bool GetStatus(HANDLE handle, const std::string& path, CFileStatus& status);
  // Fills status from the directory entry of path; false when there is none
  // (wildcards find none). A root directory gives its attributes, no times.
  static bool GetStatus(const std::string& path, CFileStatus& status);
  // Gives the file at path the times of status that are not zero and its
  // attributes (a plain file when they are 0); size and name are ignored.
  // Works on read-only files. Throws CFileException on failure.
  static void SetStatus(const std::string& path, const CFileStatus& status);
  static void Rename(const std::string& oldName, const std::string& newName);
  static void Remove(const std::string& path);

protected:
  [[noreturn]] void ThrowLastError() const;
  std::string path_;

private:
  CHandle handle_;
};
