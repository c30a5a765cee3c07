// CTextFileEditor: rewrites a text file line by line into a temporary file
// beside it, then puts the result in the file's place. A derived class
// decides for every line whether it is copied (ProcessLine) and adds text
// with WriteText.
//
// Lines are handled as bytes: a copied line reaches the output exactly as it
// stood, its line end included, however long it is. Added text is given with
// "\n" line ends and written with the file's own (CR LF unless the first line
// ends in LF alone); it never joins a last line that lacks its line end.
// A Ctrl-Z that ends the file stays at its end.
//
// The file is replaced only when text was added (or a line left out) and the pass was not
// stopped; otherwise it is not touched. Replacing clears the file's
// read-only attribute; when the file cannot be replaced it stays as it was
// and the temporary file with the new text is left beside it.
#pragma once

#include <string>
#include <string_view>

#include "framework/StdioFile.h"
#include "setup/paths/PathName.h"

class CTextFileEditor {
public:
  explicit CTextFileEditor(CPathName file) : filePath_(std::move(file)) {}
  CTextFileEditor(const CTextFileEditor&) = delete;
  CTextFileEditor& operator=(const CTextFileEditor&) = delete;
  virtual ~CTextFileEditor() = default;

  const CPathName& GetFilePath() const { return filePath_; }
  // The temporary output of the last pass.
  const CPathName& GetTemporaryPath() const { return tempPath_; }
  // Text was added in the last pass.
  bool IsModified() const { return modified_; }

protected:
  // Opens the file for reading (a missing file reads as empty) and creates
  // the temporary output beside it as a new file under a temporary name
  // (CreateTemporaryFile). Throws
  // CFileException when the file exists but cannot be read or the output
  // cannot be created.
  void Open();
  // The pass over the opened file: BeginPass; every line is copied once
  // done is set, otherwise when ProcessLine says so, until stop is set;
  // EndPass; then the file is replaced or the output deleted. A failure to
  // write throws CFileException and deletes the output.
  virtual void Run();
  // True when the current line is to be copied.
  virtual bool ProcessLine() = 0;
  // Reads the next line with its line end into the current line; false at
  // the end of the input or when there is none.
  virtual bool ReadLine();
  virtual void CopyLine();
  virtual void WriteText(std::string_view text);
  virtual void BeginPass() {}
  virtual void EndPass() {}
  // Sets the path under which the original is kept. The file's own path
  // (the default) keeps no copy.
  virtual void BackupName() { backupPath_ = filePath_; }

  const std::string& CurrentLine() const { return line_; }
  // A line left out changes the file as added text does.
  void LeaveOutLine() { modified_ = true; }

  CPathName backupPath_;
  bool done_ = false;  // copy the rest of the file unchanged
  bool stop_ = false;  // end the pass and leave the file as it is

private:
  bool AtEndOfInput();
  void WriteBytes(std::string_view bytes);
  bool PutResultInPlace();

  CPathName filePath_;
  CPathName tempPath_;
  CStdioFile input_;
  CStdioFile output_;
  std::string line_;
  std::string lineEnd_;  // the file's line end, once a line showed it
  bool atLineStart_ = true;
  bool modified_ = false;
};
