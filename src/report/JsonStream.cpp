#include "report/JsonStream.h"

#include "support/Utf8.h"

namespace ut::report {

JsonStream& JsonStream::String(std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    FBuffer += '"';
    size_t plain = 0; // start of the run of bytes that need no escape
    // Escapes are ASCII, which no multi-byte sequence holds: the runs between them are
    // whole sequences and stray bytes, made well-formed as they are appended.
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        AppendUtf8(FBuffer, text.substr(plain, i - plain));
        plain = i + 1;
        FBuffer += '\\';
        switch (c) {
        case '"':
        case '\\':
            FBuffer += static_cast<char>(c);
            break;
        case '\b':
            FBuffer += 'b';
            break;
        case '\f':
            FBuffer += 'f';
            break;
        case '\n':
            FBuffer += 'n';
            break;
        case '\r':
            FBuffer += 'r';
            break;
        case '\t':
            FBuffer += 't';
            break;
        default:
            FBuffer += "u00";
            FBuffer += hex[c >> 4];
            FBuffer += hex[c & 15];
        }
    }
    AppendUtf8(FBuffer, text.substr(plain));
    FBuffer += '"';
    return Spill();
}

JsonStream& JsonStream::Number(long long value) {
    FBuffer += std::to_string(value);
    return Spill();
}

void JsonStream::Flush() {
    if (!FBuffer.empty())
        FSink(FBuffer);
    FBuffer.clear();
}

} // namespace ut::report
