// CDeflateCodec: the deflate method in both directions: CInflateCodec's
// extraction, and Run, which packs a whole source into one zlib stream at
// zlib's default compression level and window. The kit builder packs with
// it; the setup program, which only extracts, uses CInflateCodec and links
// none of zlib's deflate.
#pragma once

#include "setup/archive/InflateCodec.h"

class CDeflateCodec : public CInflateCodec {
public:
  // Compresses the whole source into one zlib stream.
  std::uint64_t Run() override;
};
