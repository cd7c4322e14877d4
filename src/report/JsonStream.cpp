#include "report/JsonStream.h"

namespace ut::report {

JsonStream& JsonStream::String(std::string_view utf8) {
    static const char hex[] = "0123456789abcdef";
    FBuffer += '"';
    size_t plain = 0; // start of the run of bytes that need no escape
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        FBuffer.append(utf8.substr(plain, i - plain));
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
    FBuffer.append(utf8.substr(plain));
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
