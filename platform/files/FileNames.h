#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

// A file name as text, byte for byte. The system stores names as UTF-8 bytes; a name
// that begins with the bytes of a byte-order mark names another file than the name
// without them, so the mark is kept as a character (the decoders' default drops it).
// Returns false for bytes that are not UTF-8: no text names such a file.
inline bool decodeFileName(QByteArrayView bytes, QString &out)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    out = decoder(bytes);
    return !decoder.hasError();
}
