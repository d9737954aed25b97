#include "platform/store/RegFileFormat.h"
#include "platform/store/Registry.h"
#include "platform/store/RegistryTree.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <gtest/gtest.h>

namespace {

RegistryTree parsed(const QString &text)
{
    RegistryTree tree;
    QString problem;
    EXPECT_TRUE(RegFileFormat::apply(text, tree, &problem)) << problem.toStdString();
    return tree;
}

// The tree as text for a failure message.
std::string described(const RegistryTree &tree)
{
    QString text;
    for (const RegKeyEntry &key : tree.keys()) {
        text += "[" + key.path + "]\n";
        for (const RegNamedValue &value : key.values)
            text += QStringLiteral("  <%1> %2 %3\n").arg(value.name).arg(value.value.type).arg(QString::fromLatin1(value.value.data.toHex()));
    }
    return text.toStdString();
}

RegistryTree readBack(const RegistryTree &tree)
{
    return parsed(QString::fromUtf8(RegFileFormat::serialize(tree)));
}

// ---------------------------------------------------------------- size and depth

// Both took minutes with a reader that rescanned what it had read; the run's time
// limit catches a return of that.
TEST(RegFileFormatScale, ManyValuesInOneKey)
{
    QString text = "REGEDIT4\n[HKEY_CURRENT_USER\\Big]\n";
    for (int i = 0; i < 100000; ++i)
        text += QStringLiteral("\"Value %1\"=dword:%2\n").arg(i).arg(i, 8, 16, QLatin1Char('0'));
    const RegistryTree tree = parsed(text);
    const QStringList names = tree.valueNames("HKEY_CURRENT_USER\\Big");
    ASSERT_EQ(names.size(), 100000);
    EXPECT_EQ(names.last(), "Value 99999");
    EXPECT_EQ(tree.value("hkey_current_user\\big", "VALUE 77777")->data, QByteArray("\xd1\x2f\x01\x00", 4));
    EXPECT_TRUE(readBack(tree) == tree);
}

// Subkeys beyond the few a key finds by looking at each: found in any letter case,
// removed and created again, walked in the order of their folded names whatever
// order they came in.
TEST(RegFileFormatScale, ManySubkeysOfOneKeyInAnyOrder)
{
    QString text = "REGEDIT4\n";
    for (int i = 0; i < 3000; ++i) {
        const int n = (i * 7919) % 3000;
        text += QStringLiteral("[HKEY_CURRENT_USER\\Many\\%1%2]\n\"v\"=\"%2\"\n").arg(n % 2 ? "Key" : "key").arg(n);
    }
    for (int n = 0; n < 3000; n += 3)
        text += QStringLiteral("[-HKEY_CURRENT_USER\\MANY\\KEY%1]\n").arg(n);
    text += "[HKEY_CURRENT_USER\\Many\\KEY0]\n\"again\"=dword:00000001\n";
    RegistryTree tree = parsed(text);

    QStringList expected{"HKEY_CURRENT_USER", "HKEY_CURRENT_USER\\Many"};
    QStringList folded;
    for (int n = 0; n < 3000; ++n) {
        if (n % 3 != 0 || n == 0)
            folded << QStringLiteral("key%1").arg(n);
    }
    folded.sort();
    QStringList walked;
    for (const RegKeyEntry &key : tree.keys())
        walked << key.path;
    ASSERT_EQ(walked.size(), folded.size() + 2);
    for (qsizetype i = 0; i < folded.size(); ++i)
        EXPECT_EQ(walked[i + 2].section('\\', 2).toCaseFolded(), folded[i]);
    EXPECT_EQ(walked[2], "HKEY_CURRENT_USER\\Many\\KEY0");
    EXPECT_EQ(tree.valueNames("HKEY_CURRENT_USER\\Many\\key0"), QStringList{"again"});
    EXPECT_FALSE(tree.hasKey("HKEY_CURRENT_USER\\Many\\key3"));
    EXPECT_EQ(tree.value("hkey_current_user\\many\\KEY2999", "V")->data, QByteArray("2999\0", 5));
    EXPECT_EQ(tree.value("HKEY_CURRENT_USER\\Many\\Key1", "v")->data, QByteArray("1\0", 2));
    EXPECT_TRUE(readBack(tree) == tree);

    // A subkey added after the walk keeps the order too.
    tree.setValue("HKEY_CURRENT_USER\\Many\\A", "v", {RegType::String, QByteArray("a\0", 2)});
    EXPECT_EQ(tree.keys()[2].path, "HKEY_CURRENT_USER\\Many\\A");
}

// Bytes read line by line as UTF-8 give the tree their decoded text gives, for any
// bytes: what the decoder takes for UTF-8 and what it does not.
TEST(RegFileFormatDecoding, BytesReadAsTheirDecodedTextReads)
{
    const QByteArray cases[] = {
        "REGEDIT4\n[HKEY_CURRENT_USER\\\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD]\n\"k\xC5\xAF\xC5\x88\"=\"\xC4\x8D\"\n",
        "\xEF\xBB\xBFREGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"n\"=\"\xEF\xBB\xBFmark\"\r\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"n\"=\"\x9E\x9A\xE8\"\n", // Windows-1250
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"n\"=\"\xC0\xAF\"\n",     // overlong
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"n\"=\"\xE0\x80\xAF\"\n", // overlong in three bytes
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"n\"=\"\xED\xA0\x80\"\n", // a surrogate
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"n\"=\"\xF4\x90\x80\x80\"\n", // above U+10FFFF
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"n\"=\"x\"\n\"m\"=\"\xC5",     // cut short at the end
        "\xEF\xBB\xBFREGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"n\"=\"\xC5\"\n", // marked, yet not UTF-8
        "REGEDIT4\n[HKEY_CURRENT_USER\\K\xC5\xAF\xC5\x88]\n\"n\"=\"\x9E\"\n\"m\"=\"\xC5\xBE\"\n", // one line not UTF-8
    };
    for (const QByteArray &bytes : cases) {
        RegistryTree fromBytes;
        RegistryTree fromText;
        EXPECT_TRUE(RegFileFormat::applyBytes(bytes, fromBytes));
        EXPECT_TRUE(RegFileFormat::apply(RegFileFormat::decode(bytes), fromText));
        EXPECT_TRUE(fromBytes == fromText) << bytes.toHex().constData() << "\n" << described(fromBytes) << "\n"
                                           << described(fromText);
    }
    RegistryTree refused;
    QString problem;
    EXPECT_FALSE(RegFileFormat::applyBytes("\xC5\x99REGEDIT4\n[HKEY_CURRENT_USER\\A]\n", refused, &problem));
    EXPECT_EQ(problem, "chybí záhlaví REGEDIT4");
}

TEST(RegFileFormatDecoding, EachLineIsDecodedOnItsOwn)
{
    // UTF-8 lines keep their text beside a line in Windows-1250 ("\x9E" is ž, "\xE8" č).
    EXPECT_EQ(RegFileFormat::decode("REGEDIT4\r\n\"k\xC5\xAF\xC5\x88\"=\"\xC5\xBE\"\r\n\"\x9E\"=\"\xE8\"\n\"\xC4\x8D\"=\"\"\n"),
              QStringLiteral("REGEDIT4\r\n\"kůň\"=\"ž\"\r\n\"ž\"=\"č\"\n\"č\"=\"\"\n"));
    EXPECT_EQ(RegFileFormat::decode("\xEF\xBB\xBF\xC5\xBE\n\xC5\n\xEF\xBB\xBF\n"), QStringLiteral("ž\nĹ\n\uFEFF\n"))
        << "a mark names no encoding for the lines that are not UTF-8";
}

TEST(RegFileFormatScale, ManyContinuationLines)
{
    QString text = "REGEDIT4\n[HKEY_CURRENT_USER\\Big]\n\"Blob\"=hex:01,\\\n";
    for (int i = 0; i < 100000; ++i)
        text += "  02,03,\\\n";
    text += "  04\n\"After\"=\"x\"\n";
    const RegistryTree tree = parsed(text);
    const RegValue *blob = tree.value("HKEY_CURRENT_USER\\Big", "Blob");
    ASSERT_NE(blob, nullptr);
    EXPECT_EQ(blob->data.size(), 200002);
    EXPECT_TRUE(blob->data.endsWith("\x02\x03\x04"));
    EXPECT_NE(tree.value("HKEY_CURRENT_USER\\Big", "After"), nullptr);
    EXPECT_TRUE(readBack(tree) == tree);
}

TEST(RegFileFormatScale, KeysAsDeepAsTheLimitAreRead)
{
    const QString path = "HKEY_CURRENT_USER" + QString("\\level").repeated(RegistryTree::MaxDepth);
    const RegistryTree tree = parsed("REGEDIT4\n[" + path + "]\n\"Deep\"=\"yes\"\n");
    EXPECT_NE(tree.value(path, "Deep"), nullptr);
    EXPECT_TRUE(readBack(tree) == tree);
}

TEST(RegFileFormatLimits, UnreasonableScriptsAreRefusedWithAReasonAndChangeNothing)
{
    // What comes before the fault would apply; nothing of it may.
    const QString start = "REGEDIT4\n[HKEY_CURRENT_USER\\Partly]\n\"Applied\"=\"x\"\n";
    const struct { const char *name; QString text; QString reason; } cases[] = {
        {"a key one level too deep", start + "[HKEY_CURRENT_USER" + QString("\\k").repeated(RegistryTree::MaxDepth + 1) + "]\n",
         "klíč na řádku 4 je zanořen hlouběji než 512 úrovní"},
        {"twenty thousand levels", start + "\n[HKEY_CURRENT_USER" + QString("\\k").repeated(20000) + "]\n",
         "klíč na řádku 5 je zanořen hlouběji než 512 úrovní"},
        {"a line of many megabytes", start + "\"B\"=hex:" + QString("00,").repeated(2 << 20) + "00\n",
         "řádek 4 je delší než 4 MB"},
        {"no header", "[HKEY_CURRENT_USER\\A]\n\"B\"=\"x\"\n", "chybí záhlaví REGEDIT4"},
        {"nothing", "", "chybí záhlaví REGEDIT4"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RegistryTree tree;
        tree.setValue("HKEY_CURRENT_USER\\Kept", "Value", {RegType::String, QByteArray("x\0", 2)});
        const RegistryTree before = tree;
        QString problem;
        EXPECT_FALSE(RegFileFormat::apply(c.text, tree, &problem));
        EXPECT_EQ(problem, c.reason);
        EXPECT_TRUE(tree == before);
    }
}

TEST(RegistryTreeLimits, RefusesKeysDeeperThanTheLimit)
{
    RegistryTree tree;
    const QString tooDeep = "HKEY_CURRENT_USER" + QString("\\k").repeated(RegistryTree::MaxDepth + 1);
    EXPECT_EQ(tree.createKey(tooDeep), nullptr);
    EXPECT_FALSE(tree.setValue(tooDeep, "V", {}));
    EXPECT_FALSE(tree.hasKey("HKEY_CURRENT_USER"));
}

TEST_F(TempEnvTest, ALargeRegistryFileLoadsWhole)
{
    QString text = "REGEDIT4\n";
    for (int key = 0; key < 500; ++key) {
        text += QStringLiteral("\n[HKEY_CURRENT_USER\\Software\\Many\\Key %1]\n").arg(key);
        for (int value = 0; value < 100; ++value)
            text += QStringLiteral("\"Value %1\"=\"some text of a usual length %2\"\n").arg(value).arg(key);
    }
    const QString path = Registry::instance().filePath();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(Registry::instance().valueNames(RegRoot::CurrentUser, "Software\\Many\\Key 499").size(), 100);
    Registry::instance().setValue(RegRoot::CurrentUser, "Software\\Many\\Key 0", "Added", {RegType::Dword, QByteArray(4, '\1')});
    Registry::resetInstance();
    EXPECT_EQ(Registry::instance().valueNames(RegRoot::CurrentUser, "Software\\Many\\Key 0").size(), 101);
    EXPECT_FALSE(Registry::instance().takeUnusableFile().has_value());
}

// ---------------------------------------------------------------- round trips

TEST(RegFileFormatRoundTrip, TypesAboveTheSignedRangeKeepTheirNumber)
{
    const RegistryTree tree = parsed("REGEDIT4\n[HKEY_CURRENT_USER\\T]\n\"Top\"=hex(ffffffff):01\n"
                                     "\"High\"=hex(80000000):02\n");
    const QByteArray written = RegFileFormat::serialize(tree);
    EXPECT_TRUE(written.contains("\"Top\"=hex(ffffffff):01\n")) << written.constData();
    EXPECT_TRUE(written.contains("\"High\"=hex(80000000):02\n")) << written.constData();
    EXPECT_TRUE(readBack(tree) == tree);
}

TEST(RegFileFormatRoundTrip, KeyNamesKeepTheirBlanks)
{
    RegistryTree tree;
    tree.setValue("HKEY_CURRENT_USER\\Software\\Trailing \\ Leading\\ ", "V", {RegType::String, QByteArray("x\0", 2)});
    const RegistryTree back = readBack(tree);
    EXPECT_NE(back.value("HKEY_CURRENT_USER\\Software\\Trailing \\ Leading\\ ", "V"), nullptr);
    EXPECT_FALSE(back.hasKey("HKEY_CURRENT_USER\\Software\\Trailing"));
    EXPECT_TRUE(back == tree);
}

// Builds scripts from the pieces the reader knows, and a few it must skip.
class ScriptGenerator
{
public:
    explicit ScriptGenerator(quint32 seed)
        : m_random(seed)
    {
    }

    QString script()
    {
        QString text = pick({"REGEDIT4", "Windows Registry Editor Version 5.00", "\xEF\xBB\xBFREGEDIT4"}) + "\r\n";
        const int lines = int(m_random.bounded(1, 40));
        for (int i = 0; i < lines; ++i)
            text += line() + pick({"\n", "\r\n"});
        return text;
    }

private:
    QString pick(std::initializer_list<const char *> choices)
    {
        return QString::fromUtf8(*(choices.begin() + m_random.bounded(int(choices.size()))));
    }

    QString name()
    {
        QString text = pick({"a", "A", "Key", "key", "Žluťoučký", "", "x y", "@", "-dash", "[bracket", "bracket]"});
        // The edges are where blanks and escapes get lost.
        text = pick({"", " ", "\t", "\"", "\\", ";", "=", "\xC2\xA0"}) + text + pick({"", " ", "  ", "\"", "\\", "\t", "\r"});
        if (m_random.bounded(12) == 0)
            text.prepend(QChar(0xFEFF)); // a byte-order mark that is text, not a mark
        return text;
    }

    QString keyName()
    {
        QString text = name();
        text.remove('\\');
        return text.trimmed().isEmpty() && m_random.bounded(2) ? QStringLiteral("k") : text;
    }

    QString quoted(const QString &text)
    {
        QString escaped = text;
        escaped.replace("\\", "\\\\").replace("\"", "\\\"");
        return '"' + escaped + '"';
    }

    QString hexBytes()
    {
        QString out;
        const int count = int(m_random.bounded(0, 60));
        for (int i = 0; i < count; ++i) {
            out += QStringLiteral("%1").arg(m_random.bounded(256), 2, 16, QLatin1Char('0'));
            if (i + 1 < count)
                out += m_random.bounded(8) == 0 ? QStringLiteral(",\\\n  ") : QStringLiteral(",");
        }
        return out;
    }

    QString data()
    {
        switch (m_random.bounded(7)) {
        case 0: return quoted(name());
        case 1: return QStringLiteral("dword:%1").arg(m_random.generate(), 8, 16, QLatin1Char('0'));
        case 2: return "hex:" + hexBytes();
        case 3:
            return QStringLiteral("hex(%1):").arg(pick({"0", "1", "2", "3", "4", "7", "b", "7fffffff", "80000000",
                                                          "ffffffff", "FFFFFFFE"}))
                + hexBytes();
        case 4: return "-";
        case 5: return pick({"dword:xyz", "hex(-1):01", "hex:1g", "\"unterminated", "bare text"});
        default: return "\"" + name().remove('"').remove('\\') + "\"";
        }
    }

    QString line()
    {
        switch (m_random.bounded(10)) {
        case 0:
        case 1: {
            QString path = pick({"HKEY_CURRENT_USER", "hkey_local_machine", "HKEY_USERS", "HKEY_CLASSES_ROOT",
                                 " HKEY_CURRENT_USER", "HKEY_NOWHERE"});
            const int depth = int(m_random.bounded(0, 4));
            for (int i = 0; i < depth; ++i)
                path += pick({"\\", "\\\\"}) + keyName();
            return '[' + pick({"", "", "", "-"}) + path + ']';
        }
        case 2: return pick({"; comment", "", "garbage", "[unclosed", "REGEDIT4"});
        case 3: return "@=" + data();
        default: return quoted(name()) + pick({"=", " = "}) + data();
        }
    }

    QRandomGenerator m_random;
};

TEST(RegFileFormatRoundTrip, EveryAcceptedScriptReadsBackToTheSameTree)
{
    for (quint32 seed = 1; seed <= 3000; ++seed) {
        ScriptGenerator generator(seed);
        const QString script = generator.script();
        RegistryTree tree;
        if (!RegFileFormat::apply(script, tree))
            continue;
        const QByteArray written = RegFileFormat::serialize(tree);
        const RegistryTree back = parsed(QString::fromUtf8(written));
        ASSERT_TRUE(back == tree) << "seed " << seed << "\n--- script\n"
                                  << script.toStdString() << "\n--- written\n"
                                  << written.toStdString() << "\n--- tree\n"
                                  << described(tree) << "\n--- read back\n"
                                  << described(back);
        ASSERT_EQ(RegFileFormat::serialize(back), written) << "seed " << seed;
    }
}

} // namespace
