#include "setup/profile/TextFileEditor.h"

#include <cstdio>

#include "setup/paths/TemporaryFile.h"

namespace {
constexpr char kEndOfFile = '\x1A';  // Ctrl-Z
}  // namespace

void CTextFileEditor::Open() {
  input_.Abort();
  output_.Abort();
  done_ = stop_ = modified_ = false;
  atLineStart_ = true;
  lineEnd_.clear();
  if (filePath_.IsTooLong()) {
    CFileException::ThrowOsError(ERROR_FILENAME_EXCED_RANGE, filePath_.GetPath());
  }

  CFileException error;
  if (!input_.Open(filePath_.GetPath(), CFile::modeRead | CFile::typeBinary, &error) &&
      error.m_cause != CFileException::fileNotFound) {
    throw error;
  }
  tempPath_ = filePath_;
  try {
    if (!CreateTemporaryFile(tempPath_, [this](const CPathName& name) { return output_.CreateNewBinary(name.GetPath()); })) {
      CFileException::ThrowOsError(ERROR_FILE_EXISTS, tempPath_.GetPath());
    }
  } catch (...) {
    input_.Abort();
    throw;
  }
}

bool CTextFileEditor::ReadLine() {
  if (!input_.IsOpen() || !input_.ReadString(line_, std::string::npos)) return false;
  if (lineEnd_.empty() && line_.back() == '\n') {
    lineEnd_ = line_.size() >= 2 && line_[line_.size() - 2] == '\r' ? "\r\n" : "\n";
  }
  return true;
}

bool CTextFileEditor::AtEndOfInput() {
  FILE* stream = input_.GetStream();
  const int c = std::fgetc(stream);
  if (c == EOF) return true;
  std::ungetc(c, stream);
  return false;
}

void CTextFileEditor::WriteBytes(std::string_view bytes) {
  if (bytes.empty()) return;
  output_.Write(bytes.data(), static_cast<UINT>(bytes.size()));
  atLineStart_ = bytes.back() == '\n';
}

void CTextFileEditor::CopyLine() { WriteBytes(line_); }

void CTextFileEditor::WriteText(std::string_view text) {
  const std::string_view lineEnd = lineEnd_.empty() ? std::string_view("\r\n") : std::string_view(lineEnd_);
  std::string bytes;
  if (!atLineStart_) bytes += lineEnd;
  for (char c : text) {
    if (c == '\n') {
      bytes += lineEnd;
    } else {
      bytes += c;
    }
  }
  WriteBytes(bytes);
  modified_ = true;
}

void CTextFileEditor::Run() {
  try {
    BeginPass();
    std::string endOfFile;
    while (ReadLine()) {
      if (!done_ && line_[0] == kEndOfFile && AtEndOfInput()) {
        endOfFile = line_;  // EndPass's text goes before it
        break;
      }
      if (done_ || ProcessLine()) CopyLine();
      if (stop_) break;
    }
    EndPass();
    WriteBytes(endOfFile);
    input_.Abort();
    output_.Close();
  } catch (...) {
    input_.Abort();
    output_.Abort();
    tempPath_.Delete();
    throw;
  }
  if (!modified_ || stop_) {
    tempPath_.Delete();
  } else {
    PutResultInPlace();  // when that fails, the output stays beside the file
  }
}

bool CTextFileEditor::PutResultInPlace() {
  BackupName();
  const bool keepBackup = ::lstrcmpiA(backupPath_.c_str(), filePath_.c_str()) != 0;
  const DWORD attributes = ::GetFileAttributesA(filePath_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return tempPath_.MoveTo(filePath_);
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    ::SetFileAttributesA(filePath_.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }

  bool replaced =
      !keepBackup && ::MoveFileExA(tempPath_.c_str(), filePath_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
  if (!replaced) {
    // Where MoveFileEx is missing (Windows 95) or a backup is kept: move
    // the original aside, the new file in, and the original back should
    // that fail.
    CPathName aside = keepBackup ? backupPath_ : filePath_;
    const bool asideFree = keepBackup ? (!aside.Exists() || aside.Delete(true)) : aside.MakeTempName(true, 1000);
    if (asideFree && filePath_.MoveTo(aside)) {
      replaced = tempPath_.MoveTo(filePath_);
      if (!replaced) {
        aside.MoveTo(filePath_);
      } else if (!keepBackup) {
        aside.Delete(true);
      }
    }
  }
  if (!replaced && (attributes & FILE_ATTRIBUTE_READONLY)) ::SetFileAttributesA(filePath_.c_str(), attributes);
  return replaced;
}
