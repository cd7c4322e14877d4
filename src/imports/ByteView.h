#pragma once
// Bounds-checked access to the bytes of an executable image. Every read names the offset
// and size it needs; anything outside the buffer raises EParserError instead of reading
// past the end, so a truncated or hostile file can never cause an out-of-bounds access.
#include "support/Exceptions.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ut {

class TByteView {
  public:
    TByteView(std::string_view bytes, bool bigEndian = false)
        : FBytes(bytes), FBigEndian(bigEndian) {}

    uint64_t Size() const { return FBytes.size(); }
    void SetBigEndian(bool bigEndian) { FBigEndian = bigEndian; }

    /// True when [offset, offset + size) lies inside the buffer (overflow-safe).
    bool Contains(uint64_t offset, uint64_t size) const {
        return offset <= FBytes.size() && size <= FBytes.size() - offset;
    }
    /// Throws "<what>: out of bounds" unless Contains(offset, size).
    void Require(uint64_t offset, uint64_t size, const char* what) const;

    uint8_t U8(uint64_t offset, const char* what) const { return Unsigned(offset, 1, what); }
    uint16_t U16(uint64_t offset, const char* what) const {
        return static_cast<uint16_t>(Unsigned(offset, 2, what));
    }
    uint32_t U32(uint64_t offset, const char* what) const {
        return static_cast<uint32_t>(Unsigned(offset, 4, what));
    }
    uint64_t U64(uint64_t offset, const char* what) const { return Unsigned(offset, 8, what); }
    /// A 4- or 8-byte field, as the image's word size says.
    uint64_t Word(uint64_t offset, bool wide, const char* what) const {
        return Unsigned(offset, wide ? 8 : 4, what);
    }

    /// The NUL-terminated string that starts at `offset` and ends before `limit` (an
    /// offset, clipped to the buffer); a string without its NUL there is an error.
    std::string CString(uint64_t offset, uint64_t limit, const char* what) const;

  private:
    uint64_t Unsigned(uint64_t offset, unsigned size, const char* what) const;

    std::string_view FBytes;
    bool FBigEndian;
};

} // namespace ut
