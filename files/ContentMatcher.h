#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <vector>

class WalkFile;

// Tells whether a file's content holds a text in any letter case, the content read as
// UTF-8, or as Windows-1250 when it is not valid UTF-8. The bytes are searched for
// both encoded forms of the text at once, each letter in either case, without
// decoding anything; only a hit of a form with letters beyond ASCII makes the file's
// encoding worth checking, since a valid UTF-8 file can hold a Windows-1250 form's
// bytes and the other way round.
class ContentMatcher
{
public:
    explicit ContentMatcher(const QString &text);

    bool isEmpty() const { return m_forms.empty(); }
    // The bytes of the text's longest encoded form.
    qsizetype longestForm() const { return m_longest; }

    // Reads an open file from its start in chunks that overlap by the longest form
    // less one byte, and stops at the first hit. A read that fails is no match.
    // buffer is the reader's own, kept between calls. Once going turns false the
    // reading stops between two chunks, however large the file: no match, and cut set.
    bool matches(WalkFile &file, QByteArray &buffer, const std::atomic<bool> *going = nullptr,
                 bool *cut = nullptr) const;
    // The same for content at hand, all of it.
    bool matches(QByteArrayView content) const;

    static constexpr qsizetype ChunkSize = 256 * 1024;

    static bool isValidUtf8(QByteArrayView bytes);

private:
    enum Encoding { Utf8 = 1, Windows1250 = 2 };

    // One character of a form: its encodings in each letter case.
    struct Unit
    {
        std::vector<QByteArray> alternatives;
    };
    struct Form
    {
        std::vector<Unit> units;
        int encodings = 0; // the content encodings whose text this form can be
        qsizetype length = 0; // when every alternative of a unit has one length
        bool fixedLength = true;
        // The bytes a hit may begin with, and end with (fixed-length forms).
        QByteArray firstBytes;
        QByteArray lastBytes;
    };

    static Form buildForm(const std::vector<std::vector<QByteArray>> &characters, int encodings);
    static qsizetype find(const Form &form, const char *data, qsizetype size);
    static bool matchesAt(const Form &form, size_t unit, const char *data, qsizetype size);

    // Which encodings the forms searched for still stand for; a hit of a form outside
    // them is no hit. Decided on the first hit that needs it.
    template<typename Validate>
    bool confirmed(const Form &form, int &encodings, Validate validate) const;

    std::vector<Form> m_forms;
    qsizetype m_longest = 0;
};
