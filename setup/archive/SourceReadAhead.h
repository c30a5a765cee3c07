// CSourceReadAhead: reads the kit's plain files ahead of the copy, on a
// thread of its own. Each file of a kit costs a look-up of its name, an
// open, reads, a close and its SHA-256 besides the file made from it; on
// the second processor these overlap with the making of the files before
// it. The copy asks for the files it will need (Want), in the order it
// will need them, and takes each (Take) when it gets there.
//
// What is read ahead is only ever a copy in memory of a file that exists:
// a file that cannot be opened or read here, one asked for under another
// path than the one it is taken by (the source directory changed in
// between), or one larger than kMaxFileSize is not given, and the copy
// reads it itself as it always did, with its own errors. Nothing is
// written and nothing is shown from the thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/File.h"
#include "framework/ScopedHandle.h"
#include "setup/archive/SealDigest.h"

// A plain file as the read-ahead found it: its bytes, its status (times,
// size, attributes) and the SHA-256 of the bytes.
struct CReadAheadFile {
  std::string path;
  std::vector<std::uint8_t> bytes;
  CFileStatus status;
  CSealDigest sha256;
};

class CSourceReadAhead {
public:
  // Larger files are not asked for: their data, not the calls around it,
  // is what their copy costs.
  static constexpr std::uint64_t kMaxFileSize = 1u << 20;
  // How far the thread may run ahead of the copy: files asked for and not
  // taken, and their bytes.
  static constexpr std::size_t kMaxFiles = 16;
  static constexpr std::uint64_t kMaxBytes = 4u << 20;
  // The buffers of files taken come back (GiveBack) and hold the next
  // files read: a few buffers serve the whole copy. A buffer made for each
  // file on the thread and freed on the copy's, among the run's own
  // allocations, scattered the heap: a copy of 20,000 small plain files
  // held about 1 MB more for it. Larger buffers are freed.
  static constexpr std::size_t kSpareBytes = 64 * 1024;
  static constexpr std::size_t kMaxSpares = kMaxFiles + 2;

  CSourceReadAhead();
  // Stops the thread (after the file it is reading) and waits for it.
  ~CSourceReadAhead();
  CSourceReadAhead(const CSourceReadAhead&) = delete;
  CSourceReadAhead& operator=(const CSourceReadAhead&) = delete;

  // Whether a file of size bytes may be asked for now: not too large, and
  // room left ahead of the copy.
  bool HasRoomFor(std::uint64_t size) const noexcept;
  // Whether the thread is about to run out of files: asked for again only
  // then, and up to the limits, it is woken once for several files.
  bool RunsLow() const noexcept;
  // Asks for the file at path, expected to hold size bytes. The thread is
  // started with the first file; when it cannot be, nothing is read ahead.
  void Want(const std::string& path, std::uint64_t size);
  // Gives up every file asked for and not taken (the source directory
  // changed): the thread finishes the one it reads, and drops it.
  void GiveUp();
  // The file at path as read ahead, once it is read: nothing when it was
  // not asked for, could not be read or was read as another size than
  // asked for. What was asked for before it and not taken is given up.
  std::optional<CReadAheadFile> Take(const std::string& path);
  // The bytes of a file taken, once they are not needed: kept for a file
  // read later when there is room for them, else freed.
  void GiveBack(std::vector<std::uint8_t> bytes) noexcept;

private:
  enum class State : std::uint8_t { waiting, reading, read, failed };
  struct Request {
    std::uint32_t id = 0;
    State state = State::waiting;
    std::uint64_t size = 0;
    CReadAheadFile file;
  };
  class Lock;

  static DWORD WINAPI ThreadMain(void* self) noexcept;
  void Work() noexcept;
  // Reads the file at file.path into file; false when it cannot be had
  // whole as it was asked for. Throws only when memory runs out.
  bool Read(CReadAheadFile& file, std::uint64_t size) const;
  Request* FindRequest(std::uint32_t id) noexcept;
  // The sizes of the requests not taken; lock_ held.
  std::uint64_t BytesAhead() const noexcept;

  mutable CRITICAL_SECTION lock_;
  CHandle wanted_;  // auto-reset: a request came, or the stop
  CHandle done_;    // auto-reset: a request was read (or failed)
  CHandle thread_;
  bool threadFailed_ = false;
  bool stopping_ = false;
  bool threadWaits_ = false;  // for wanted_
  bool copyWaits_ = false;    // for done_
  std::vector<Request> requests_;  // in the order asked for (a few); guarded by lock_
  std::vector<std::vector<std::uint8_t>> spares_;  // buffers given back; guarded by lock_
  std::uint32_t nextId_ = 1;
};
