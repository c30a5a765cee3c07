#include "setup/archive/NamedFile.h"

void CNamedFile::Write(const void* buffer, UINT count) { WriteWithRetry(buffer, count); }

void CNamedFile::WriteWithRetry(const void* buffer, UINT count) {
  for (;;) {
    try {
      CStdioFile::Write(buffer, count);
      return;
    } catch (CFileException& e) {
      if (e.m_cause != CFileException::diskFull) throw;
      if (!OnDiskFull(e)) CFileException::Throw(CFileException::diskFull, -1, GetFilePath());
    }
  }
}

bool CNamedFile::OnDiskFull(const CFileException&) { return false; }

void CNamedFile::ReadExact(void* buffer, UINT count) {
  if (Read(buffer, count) != count) CFileException::Throw(CFileException::endOfFile, -1, GetFilePath());
}

void CNamedFile::OpenOrThrow(const CPathName& path, unsigned flags) {
  pathName_ = path;
  CFileException error;
  if (!Open(path.GetPath(), flags, &error)) throw error;
  UseStreamBuffer();
}

void CNamedFile::UseStreamBuffer() {
  // Archive headers, plain-file copies (16 KiB) and the pieces cut at
  // segment boundaries are small; a larger stream buffer keeps them from
  // becoming one system call each.
  SetBufferSize(kStreamBuffer);
}

bool CNamedFile::CreateNew(const CPathName& path, DWORD attributes) {
  if (!CreateNewBinary(path.GetPath(), attributes)) return false;
  pathName_ = path;
  UseStreamBuffer();
  return true;
}

void CNamedFile::OpenRead(const CPathName& path) {
  OpenOrThrow(path, modeRead | shareDenyNone | typeBinary);
}

void CNamedFile::OpenWrite(const CPathName& path) {
  OpenOrThrow(path, modeCreate | modeReadWrite | typeBinary);
}
