#pragma once
// The zip constants the reader and the writer share.

#include <cstdint>

namespace tavelo::zipformat {

inline constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
inline constexpr uint32_t kCentralRecordSignature = 0x02014b50;
inline constexpr uint32_t kEndOfCentralDirSignature = 0x06054b50;
// Members are raw deflate streams: no zlib header, a 32 KiB window.
inline constexpr int kRawDeflateWindowBits = -15;

}  // namespace tavelo::zipformat
