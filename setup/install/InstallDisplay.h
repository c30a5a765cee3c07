// CInstallDisplay: what the copy engine tells whoever shows its progress.
// The engine knows no window: a page, a console or nothing at all may
// stand behind it. Every call is made on the thread that runs the copy,
// from inside it, and carries all the display needs: the display never
// asks the engine for more.
#pragma once

#include <cstdint>

class CFileEntry;
class CPathName;

// How far the copy has got while a file is produced. The paths are the
// engine's and valid only for the call.
struct CCopyProgress {
  const CPathName& path;       // where the file goes
  const CPathName& writtenTo;  // where its data is written: path itself, or a temporary name beside it
  std::uint32_t fileBytesDone;
  std::uint32_t fileSize;
  // Of the whole copy: the files produced before, the entries that are not
  // installed and this file's bytes done.
  std::uint32_t copyBytesDone;
};

class CInstallDisplay {
public:
  virtual ~CInstallDisplay() = default;

  // The next entry of the distribution is installed now; copyBytesDone
  // counts everything before it. A diskette may be asked for next.
  virtual void EntryStarting(const CFileEntry& entry, std::uint32_t copyBytesDone) = 0;
  // Every 4096 bytes read from the media while a file is produced.
  virtual void Tick(const CCopyProgress& progress) = 0;
  // The file is produced (placed, kept or waiting for the restart): its
  // bytes are all done and counted in the copy's.
  virtual void FileDone(const CCopyProgress& progress) = 0;
};

// Nobody watches: a silent copy, a measurement of the engine alone.
class CQuietInstallDisplay final : public CInstallDisplay {
public:
  void EntryStarting(const CFileEntry&, std::uint32_t) override {}
  void Tick(const CCopyProgress&) override {}
  void FileDone(const CCopyProgress&) override {}
};
