#include "imports/ByteView.h"

#include <algorithm>

namespace ut {

void TByteView::Require(uint64_t offset, uint64_t size, const char* what) const {
    if (!Contains(offset, size))
        throw EParserError(Format("%s: out of bounds", what));
}

uint64_t TByteView::Unsigned(uint64_t offset, unsigned size, const char* what) const {
    Require(offset, size, what);
    uint64_t v = 0;
    for (unsigned i = 0; i < size; ++i) {
        const auto b = static_cast<uint8_t>(FBytes[offset + (FBigEndian ? i : size - 1 - i)]);
        v = (v << 8) | b;
    }
    return v;
}

std::string TByteView::CString(uint64_t offset, uint64_t limit, const char* what) const {
    limit = std::min<uint64_t>(limit, FBytes.size());
    if (offset >= limit)
        throw EParserError(Format("%s: out of bounds", what));
    const std::string_view rest = FBytes.substr(offset, limit - offset);
    const size_t end = rest.find('\0');
    if (end == std::string_view::npos)
        throw EParserError(Format("%s: unterminated string", what));
    return std::string(rest.substr(0, end));
}

} // namespace ut
