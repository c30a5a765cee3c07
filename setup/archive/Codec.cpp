#include "setup/archive/Codec.h"

#include "framework/File.h"

// Binds the files and sets a busy flag for one transfer; undoes both on
// every way out.
class CCodec::Binding {
public:
  Binding(CCodec& codec, CFile& source, CFile& destination, bool& busy) : codec_(codec), busy_(busy) {
    codec_.source_ = &source;
    codec_.destination_ = &destination;
    codec_.cancelled_ = false;
    codec_.written_ = 0;
    busy_ = true;
  }
  ~Binding() {
    busy_ = false;
    codec_.source_ = nullptr;
    codec_.destination_ = nullptr;
  }
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;

private:
  CCodec& codec_;
  bool& busy_;
};

int CCodec::ReadByte() {
  std::uint8_t b = 0;
  return source_->Read(&b, 1) == 1 ? b : -1;
}

UINT CCodec::ReadBlock(void* buffer, UINT count) { return source_->Read(buffer, count); }

void CCodec::WriteByte(int value) {
  const auto b = static_cast<std::uint8_t>(value);
  WriteBlock(&b, 1);
}

void CCodec::WriteBlock(const void* buffer, UINT count) {
  destination_->Write(buffer, count);
  written_ += count;
}

std::uint64_t CCodec::Transfer(CFile& source, CFile& destination) {
  Binding binding(*this, source, destination, busy_);
  Run();
  return written_;
}

std::uint64_t CCodec::TransferSized(CFile& source, CFile& destination, std::uint32_t compressedSize,
                                    std::uint32_t size) {
  Binding binding(*this, source, destination, sizedBusy_);
  RunSized(compressedSize, size);
  return written_;
}
