// CCodec: moves bytes from a source file to a destination file, transforming
// them on the way. Transfer produces the stored form of a whole source (the
// direction in which archives are built); TransferSized turns a member's
// stored data of a known size back into the file (the direction in which
// they are installed). Neither file is owned; both are bound only for the
// duration of one transfer.
#pragma once

#include <windows.h>

#include <cstdint>

class CFile;

class CCodec {
public:
  CCodec() = default;
  CCodec(const CCodec&) = delete;
  CCodec& operator=(const CCodec&) = delete;
  virtual ~CCodec() = default;

  // Asks the running transfer to stop. It still runs to the end of the
  // member; the caller sees IsCancelled afterwards and acts on it.
  virtual void Cancel() { cancelled_ = true; }
  // One byte from the source, or -1 at its end.
  virtual int ReadByte();
  // Up to count bytes from the source; fewer only at its end.
  virtual UINT ReadBlock(void* buffer, UINT count);
  virtual void WriteByte(int value);
  virtual void WriteBlock(const void* buffer, UINT count);

  // Reads source to its end and writes the transformed bytes; returns the
  // number of bytes written.
  virtual std::uint64_t Run() = 0;
  std::uint64_t Transfer(CFile& source, CFile& destination);

  // Turns compressedSize stored bytes of source into the size bytes of the
  // file; returns the number of bytes written.
  virtual std::uint64_t RunSized(std::uint32_t compressedSize, std::uint32_t size) = 0;
  std::uint64_t TransferSized(CFile& source, CFile& destination, std::uint32_t compressedSize,
                              std::uint32_t size);

  bool IsCancelled() const noexcept { return cancelled_; }
  bool IsBusy() const noexcept { return busy_ || sizedBusy_; }

protected:
  CFile* source_ = nullptr;
  CFile* destination_ = nullptr;

private:
  class Binding;

  bool cancelled_ = false;
  bool busy_ = false;
  bool sizedBusy_ = false;
  std::uint64_t written_ = 0;
};
