// Files over the C run-time's buffered streams, in text or binary mode.
// Failures throw CFileException with the cause mapped from errno.
#pragma once

#include <cstdio>
#include <string>

#include "framework/File.h"

class CStdioFile : public CFile {
public:
  CStdioFile() = default;
  // Opens or throws.
  CStdioFile(const std::string& path, unsigned openFlags);
  ~CStdioFile() override;

  // typeBinary selects binary mode; otherwise the stream is in text mode
  // (CR LF read as LF, LF written as CR LF).
  bool Open(const std::string& path, unsigned openFlags, CFileException* error = nullptr) override;
  // Creates path for binary reading and writing, but only when nothing of
  // that name exists yet (never truncating what another hand wrote).
  // False, with nothing made and nothing open, when the file could not be
  // created that way for any reason (a file or directory of that name, a
  // missing directory, no access): callers that have another way take it.
  // The new file takes attributes (FILE_ATTRIBUTE_NORMAL: none but what
  // the file system gives every new file).
  bool CreateNewBinary(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
  bool IsOpen() const override { return stream_ != nullptr; }
  // The handle under the stream.
  HANDLE GetHandle() const override;
  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  std::uint64_t Seek(std::int64_t offset, SeekPosition from) override;
  std::uint64_t GetPosition() const override;
  std::uint64_t GetLength() const override;
  void SetLength(std::uint64_t length) override;
  void Flush() override;
  void Close() override;
  void Abort() override;

  // Reads one line with its line end, at most maxChars characters of it
  // (the rest of a longer line comes with the next call). False at the end
  // of the file when nothing was read.
  bool ReadString(std::string& line, std::size_t maxChars = 4096);
  void WriteString(const std::string& text);

  // Gives the open stream a buffer of size bytes (the C run-time's own is
  // small): fewer system calls for files read or written in small pieces.
  // Call before the first read or write.
  void SetBufferSize(std::size_t size);

  // Writes out what the stream buffer holds, then sets the file's
  // last-write time through the open file. Nothing written later may move
  // it; a file opened for reading only cannot take it (access denied).
  void SetModificationTime(const FILETIME& time);

  FILE* GetStream() const { return stream_; }

private:
  [[noreturn]] void ThrowErrno() const;
  // After a write, flush or close that failed (a write of wanted more
  // bytes; 0 for a flush): disk full when the system says so or the volume
  // has less room than that (or than a stream's buffer), else as ThrowErrno.
  [[noreturn]] void ThrowWriteError(std::size_t wanted) const;
  FILE* stream_ = nullptr;
};
