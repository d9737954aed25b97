#include "platform/system/FileNames.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

namespace {

QString units(std::initializer_list<char16_t> codes)
{
    QString text;
    for (const char16_t code : codes)
        text.append(QChar(code));
    return text;
}

} // namespace

TEST(FileNames, BytesThatAreNoUtf8DecodeToLoneSurrogatesAndEncodeBack)
{
    const struct { QByteArray bytes; QString text; } cases[] = {
        {"plain.txt", "plain.txt"},
        {"\xEF\xBB\xBFznacka.txt", units({0xFEFF}) + "znacka.txt"},
        {"P\xF8\xEDloha", "P" + units({0xDCF8, 0xDCED}) + "loha"},
        {"spatne\xFF\xFE" "bajty.txt", "spatne" + units({0xDCFF, 0xDCFE}) + "bajty.txt"},
        // Cut short, overlong, a surrogate's own encoding, beyond U+10FFFF: each byte kept alone.
        {"a\xC3", "a" + units({0xDCC3})},
        {"\xC0\xAF", units({0xDCC0, 0xDCAF})},
        {"\xED\xB2\x80", units({0xDCED, 0xDCB2, 0xDC80})},
        {"\xF4\x90\x80\x80", units({0xDCF4, 0xDC90, 0xDC80, 0xDC80})},
        // Valid sequences beside invalid bytes stay characters.
        {"\xC3\xA9\xFF\xF0\x9F\x98\x80", units({0xE9, 0xDCFF, 0xD83D, 0xDE00})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toHex().constData());
        EXPECT_EQ(decodeFileName(c.bytes), c.text);
        QByteArray back;
        ASSERT_TRUE(encodeFileName(c.text, back));
        EXPECT_EQ(back, c.bytes);
    }
}

TEST(FileNames, EveryByteStringComesBackWhole)
{
    QRandomGenerator random(51);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes(int(random.bounded(1, 12)), Qt::Uninitialized);
        for (char &byte : bytes) {
            // Mostly high bytes, so that valid and broken sequences both come up.
            byte = char(random.bounded(4) == 0 ? random.bounded(0x20, 0x80) : random.bounded(0x80, 0x100));
        }
        const QString text = decodeFileName(bytes);
        ASSERT_EQ(encodeFileName(text), bytes) << bytes.toHex().constData();
    }
}

TEST(FileNames, TheEncoderRefusesSurrogatesNoByteStandsFor)
{
    QByteArray out = "left over";
    for (const QString &text : {units({0xD800}), "a" + units({0xDC7F}), units({0xDE00, 0xD83D}), units({0xDD00}),
                              "dir" + units({0}) + "junk"}) {
        EXPECT_FALSE(encodeFileName(text, out));
        EXPECT_TRUE(out.isEmpty());
        EXPECT_TRUE(encodeFileName(text).isEmpty());
    }
    // Never the UTF-8 of U+DC80–U+DCFF, which would read back as three bytes.
    EXPECT_EQ(encodeFileName(units({0xDC80, 0xDCFF})), QByteArray("\x80\xFF"));
}

TEST(FileNames, TypedTextNeverBecomesRawBytes)
{
    EXPECT_EQ(typedFileName("Příloha"), "Příloha");
    EXPECT_EQ(typedFileName("a" + units({0xDCFF}) + "b" + units({0xD83D, 0xDE00})),
              "a" + units({0xFFFD}) + "b" + units({0xD83D, 0xDE00}));
    EXPECT_EQ(encodeFileName(typedFileName(units({0xDC80}))), QByteArray("\xEF\xBF\xBD"));
}

TEST(FileNames, ShownFormReadsAsWindows1250AndIsMarked)
{
    EXPECT_EQ(shownFileName(QStringLiteral("Příloha")), "Příloha");
    EXPECT_EQ(shownFileName(decodeFileName("P\xF8\xEDloha")), "Příloha [není UTF-8]");
    EXPECT_EQ(shownFileName(decodeFileName("/home/Dokumenty/P\xF8\xEDloha/\xC5\xBEluv\xC3\xA9.txt")),
              "/home/Dokumenty/Příloha/žluvé.txt [není UTF-8]")
        << "UTF-8 steps stay as they are";
    EXPECT_FALSE(holdsUndecodedBytes(decodeFileName("\xF0\x9F\x98\x80")));
    EXPECT_TRUE(holdsUndecodedBytes(decodeFileName("\xF0\x9F\x98")));
}

TEST(FileNames, AddressesCarryTheBytes)
{
    EXPECT_EQ(fileAddress("/d/ a #1.html"), "file:///d/%20a%20%231.html");
    EXPECT_EQ(fileAddress("/d/" + decodeFileName("P\xF8\xEDloha") + "/x y"), "file:///d/P%F8%EDloha/x%20y");
}
