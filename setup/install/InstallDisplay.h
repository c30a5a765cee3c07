// CInstallDisplay: what the copy engine tells whoever shows its progress.
// The engine knows no window: a page, a console or nothing at all may
// stand behind it. Every call is made on the thread that runs the copy,
// from inside it.
#pragma once

#include <cstdint>

class CInstallJob;

class CInstallDisplay {
public:
  virtual ~CInstallDisplay() = default;

  // The file now being produced, or null once it is done (on every way
  // out, a failed one included). The job gives the bytes written so far,
  // the file's size and its final path.
  virtual void SetCurrentTransfer(const CInstallJob* job) = 0;
  // The job's file is produced: its size counts as done. Called while it
  // is still the current transfer.
  virtual void TransferDone(const CInstallJob& job) = 0;
  // Bytes that count as done without a file being produced (an entry that
  // is not installed).
  virtual void AddBytesDone(std::uint32_t bytes) = 0;
  // Every 4096 bytes read from the media.
  virtual void Tick() = 0;
};

// Nobody watches: an unattended copy, a measurement of the engine alone.
class CQuietInstallDisplay final : public CInstallDisplay {
public:
  void SetCurrentTransfer(const CInstallJob*) override {}
  void TransferDone(const CInstallJob&) override {}
  void AddBytesDone(std::uint32_t) override {}
  void Tick() override {}
};
