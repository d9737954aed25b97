#include "files/ContentMatcher.h"

#include "platform/files/WalkFolder.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// UTF-8 as the standard's table of well-formed sequences has it: no overlong forms,
// no surrogates, nothing above U+10FFFF. Fed in pieces.
class Utf8Validator
{
public:
    bool feed(QByteArrayView bytes)
    {
        const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
        const auto *end = p + bytes.size();
        while (p < end) {
            if (m_need == 0) {
                // Runs of ASCII, the bulk of most content, eight bytes at a time.
                while (end - p >= 8) {
                    quint64 word;
                    std::memcpy(&word, p, 8);
                    if (word & 0x8080808080808080ULL)
                        break;
                    p += 8;
                }
                if (p == end)
                    break;
                const unsigned char c = *p++;
                if (c < 0x80)
                    continue;
                m_low = 0x80;
                m_high = 0xBF;
                if (c >= 0xC2 && c <= 0xDF) {
                    m_need = 1;
                } else if (c >= 0xE0 && c <= 0xEF) {
                    m_need = 2;
                    if (c == 0xE0)
                        m_low = 0xA0;
                    else if (c == 0xED)
                        m_high = 0x9F;
                } else if (c >= 0xF0 && c <= 0xF4) {
                    m_need = 3;
                    if (c == 0xF0)
                        m_low = 0x90;
                    else if (c == 0xF4)
                        m_high = 0x8F;
                } else {
                    return m_valid = false;
                }
                continue;
            }
            const unsigned char c = *p++;
            if (c < m_low || c > m_high)
                return m_valid = false;
            m_low = 0x80;
            m_high = 0xBF;
            --m_need;
        }
        return true;
    }
    bool valid() const { return m_valid; }
    bool complete() const { return m_valid && m_need == 0; }

private:
    int m_need = 0;
    unsigned char m_low = 0x80;
    unsigned char m_high = 0xBF;
    bool m_valid = true;
};

// The Windows-1250 byte of a character; empty when the code page lacks it.
QByteArray windows1250Of(const QString &character)
{
    QStringEncoder encoder("windows-1250");
    if (!encoder.isValid())
        return {};
    const QByteArray bytes = encoder(character);
    QStringDecoder decoder("windows-1250");
    if (encoder.hasError() || bytes.size() != 1 || QString(decoder(bytes)) != character)
        return {};
    return bytes;
}

void addUnique(QByteArray &set, char byte)
{
    if (!set.contains(byte))
        set.append(byte);
}

// The first position at or after from whose byte is in the set.
qsizetype findByte(const QByteArray &set, const char *data, qsizetype size, qsizetype from)
{
    if (set.size() == 1) {
        const void *hit = std::memchr(data + from, set[0], size_t(size - from));
        return hit ? static_cast<const char *>(hit) - data : -1;
    }
    for (qsizetype i = from; i < size; ++i) {
        if (set.contains(data[i]))
            return i;
    }
    return -1;
}

} // namespace

ContentMatcher::ContentMatcher(const QString &text)
{
    if (text.isEmpty())
        return;
    std::vector<std::vector<QByteArray>> utf8;
    std::vector<std::vector<QByteArray>> windows1250;
    bool ascii = true;
    bool windows1250Possible = true;
    for (const char32_t code : text.toUcs4()) {
        std::vector<char32_t> cases{code};
        for (const char32_t other : {QChar::toLower(code), QChar::toUpper(code)}) {
            if (std::find(cases.begin(), cases.end(), other) == cases.end())
                cases.push_back(other);
        }
        std::vector<QByteArray> utf8Cases;
        std::vector<QByteArray> windowsCases;
        for (const char32_t c : cases) {
            const QString character = QString::fromUcs4(&c, 1);
            utf8Cases.push_back(character.toUtf8());
            if (c >= 0x80)
                ascii = false;
            const QByteArray single = c < 0x80 ? utf8Cases.back() : windows1250Of(character);
            if (!single.isEmpty())
                windowsCases.push_back(single);
        }
        if (windowsCases.empty())
            windows1250Possible = false;
        utf8.push_back(std::move(utf8Cases));
        windows1250.push_back(std::move(windowsCases));
    }
    // ASCII reads alike in both encodings: one form stands for both.
    if (ascii) {
        m_forms.push_back(buildForm(utf8, Utf8 | Windows1250));
    } else {
        m_forms.push_back(buildForm(utf8, Utf8));
        if (windows1250Possible)
            m_forms.push_back(buildForm(windows1250, Windows1250));
    }
    for (const Form &form : m_forms) {
        qsizetype longest = 0;
        for (const Unit &unit : form.units) {
            qsizetype widest = 0;
            for (const QByteArray &alternative : unit.alternatives)
                widest = std::max(widest, alternative.size());
            longest += widest;
        }
        m_longest = std::max(m_longest, longest);
    }
}

ContentMatcher::Form ContentMatcher::buildForm(const std::vector<std::vector<QByteArray>> &characters, int encodings)
{
    Form form;
    form.encodings = encodings;
    for (const std::vector<QByteArray> &alternatives : characters) {
        const qsizetype length = alternatives.front().size();
        for (const QByteArray &alternative : alternatives) {
            if (alternative.size() != length)
                form.fixedLength = false;
        }
        form.length += length;
        form.units.push_back({alternatives});
    }
    for (const QByteArray &alternative : form.units.front().alternatives)
        addUnique(form.firstBytes, alternative.front());
    if (form.fixedLength) {
        for (const QByteArray &alternative : form.units.back().alternatives)
            addUnique(form.lastBytes, alternative.back());
    }
    return form;
}

bool ContentMatcher::matchesAt(const Form &form, size_t unit, const char *data, qsizetype size)
{
    if (unit == form.units.size())
        return true;
    for (const QByteArray &alternative : form.units[unit].alternatives) {
        if (alternative.size() <= size && std::memcmp(data, alternative.constData(), size_t(alternative.size())) == 0
            && matchesAt(form, unit + 1, data + alternative.size(), size - alternative.size()))
            return true;
    }
    return false;
}

qsizetype ContentMatcher::find(const Form &form, const char *data, qsizetype size)
{
    qsizetype from = 0;
#ifdef __SSE2__
    // A place is worth a full comparison only where both its first and its last byte
    // fit; sixteen places are tested at once.
    if (form.fixedLength && form.firstBytes.size() <= 3 && form.lastBytes.size() <= 3) {
        const qsizetype last = form.length - 1;
        const auto broadcast = [](const QByteArray &set, int i) {
            return _mm_set1_epi8(set[std::min<int>(i, int(set.size()) - 1)]);
        };
        const __m128i f0 = broadcast(form.firstBytes, 0), f1 = broadcast(form.firstBytes, 1),
                      f2 = broadcast(form.firstBytes, 2);
        const __m128i l0 = broadcast(form.lastBytes, 0), l1 = broadcast(form.lastBytes, 1),
                      l2 = broadcast(form.lastBytes, 2);
        for (; from + last + 16 <= size; from += 16) {
            const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + from));
            const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + from + last));
            const __m128i firstFits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(head, f0), _mm_cmpeq_epi8(head, f1)),
                                                   _mm_cmpeq_epi8(head, f2));
            const __m128i lastFits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(tail, l0), _mm_cmpeq_epi8(tail, l1)),
                                                  _mm_cmpeq_epi8(tail, l2));
            unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(firstFits, lastFits)));
            while (mask) {
                const qsizetype at = from + __builtin_ctz(mask);
                if (matchesAt(form, 0, data + at, size - at))
                    return at;
                mask &= mask - 1;
            }
        }
    }
#endif
    for (;;) {
        const qsizetype at = findByte(form.firstBytes, data, size, from);
        if (at < 0)
            return -1;
        if (matchesAt(form, 0, data + at, size - at))
            return at;
        from = at + 1;
    }
}

template<typename Validate>
bool ContentMatcher::confirmed(const Form &form, int &encodings, Validate validate) const
{
    if (form.encodings == (Utf8 | Windows1250))
        return true;
    if (encodings == (Utf8 | Windows1250))
        encodings = validate() ? Utf8 : Windows1250;
    return (form.encodings & encodings) != 0;
}

bool ContentMatcher::matches(QByteArrayView content) const
{
    int encodings = Utf8 | Windows1250;
    for (const Form &form : m_forms) {
        if ((form.encodings & encodings) && find(form, content.data(), content.size()) >= 0
            && confirmed(form, encodings, [&] { return isValidUtf8(content); }))
            return true;
    }
    return false;
}

bool ContentMatcher::matches(WalkFile &file, QByteArray &buffer, const std::atomic<bool> *going, bool *cut) const
{
    if (cut)
        *cut = false;
    if (m_forms.empty())
        return false;
    const auto stopped = [&] {
        if (!going || going->load(std::memory_order_relaxed))
            return false;
        if (cut)
            *cut = true;
        return true;
    };
    const qsizetype overlap = m_longest - 1;
    if (buffer.size() < ChunkSize + overlap)
        buffer.resize(ChunkSize + overlap);
    char *data = buffer.data();
    // Reads the whole file again to see whether it is UTF-8, without holding it.
    const auto validate = [&] {
        QByteArray piece(ChunkSize, Qt::Uninitialized);
        Utf8Validator validator;
        for (qint64 offset = 0;;) {
            if (stopped())
                return false;
            const qint64 count = file.readAt(piece.data(), piece.size(), offset);
            if (count <= 0)
                return count == 0 && validator.complete();
            if (!validator.feed(QByteArrayView(piece.constData(), count)))
                return false;
            offset += count;
        }
    };
    int encodings = Utf8 | Windows1250;
    qsizetype kept = 0;
    qint64 total = 0;
    for (;;) {
        if (stopped())
            return false;
        const qint64 count = file.read(data + kept, ChunkSize);
        if (count <= 0)
            return false;
        total += count;
        const qsizetype size = kept + count;
        for (const Form &form : m_forms) {
            if ((form.encodings & encodings) && find(form, data, size) >= 0
                && confirmed(form, encodings, validate))
                return true;
        }
        // Most files are read whole by one read; the read that would find their end is
        // spared.
        if (total >= file.size() && count < ChunkSize)
            return false;
        kept = std::min(overlap, size);
        std::memmove(data, data + size - kept, size_t(kept));
    }
}

bool ContentMatcher::isValidUtf8(QByteArrayView bytes)
{
    Utf8Validator validator;
    return validator.feed(bytes) && validator.complete();
}
