#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Shared by every fuzz entry point. A broken property aborts, so that libFuzzer
// keeps the input as a crash and the replay test names the input that broke it.

[[noreturn]] void fuzzFailed(const char *condition, const char *file, int line, const QString &detail = {});

#define FUZZ_CHECK(condition, ...)                                                                   \
    do {                                                                                             \
        if (!(condition))                                                                            \
            fuzzFailed(#condition, __FILE__, __LINE__ __VA_OPT__(, ) __VA_ARGS__);                  \
    } while (false)

// The input as bytes, without copying where Qt allows it.
inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A short printable form of a text for failure messages.
QString fuzzShown(const QString &text);

// True when the text holds a surrogate that is not part of a pair.
bool hasLoneSurrogate(const QString &text);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
