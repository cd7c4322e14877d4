#pragma once
// JSON text written in pieces as its values come, so that a large document is never held
// whole: the pieces go to a sink (a file, or a string that collects them).
#include <functional>
#include <string>
#include <string_view>

namespace ut::report {

class JsonStream {
  public:
    using Sink = std::function<void(std::string_view)>;
    explicit JsonStream(Sink sink) : FSink(std::move(sink)) {}
    JsonStream(const JsonStream&) = delete;
    JsonStream& operator=(const JsonStream&) = delete;

    /// Text already in JSON form: punctuation, a key with its colon, a dumped value.
    JsonStream& Raw(std::string_view text) {
        FBuffer.append(text);
        return Spill();
    }
    /// A string value: `text` is UTF-8 or in the sources' code page, and is written as
    /// ToUtf8 gives it, escaped as nlohmann::json's dump() does.
    JsonStream& String(std::string_view text);
    JsonStream& Number(long long value);
    JsonStream& Bool(bool value) { return Raw(value ? "true" : "false"); }
    JsonStream& Null() { return Raw("null"); }
    /// Hands what is buffered to the sink.
    void Flush();

  private:
    JsonStream& Spill() {
        if (FBuffer.size() >= 64 * 1024)
            Flush();
        return *this;
    }

    Sink FSink;
    std::string FBuffer;
};

} // namespace ut::report
