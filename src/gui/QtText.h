#pragma once
// Core strings are bytes: file names in the system's encoding (UTF-8) and source texts in
// a single-byte code page. Text that is not valid UTF-8 is shown as Latin-1 rather than as
// replacement characters.
#include <QString>
#include <QStringDecoder>

#include <string>

namespace ut::gui {

inline QString ToQt(const std::string& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!decoder.hasError())
        return text;
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

inline std::string FromQt(const QString& text) {
    return text.toStdString();
}

} // namespace ut::gui
