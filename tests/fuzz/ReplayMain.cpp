// Runs a fuzz entry point without libFuzzer: every seed of the corpus, then a fixed
// number of deterministic mutations of them, so an ordinary build keeps the
// properties checked. Usage: fuzz_TARGET CORPUS_DIR [DICTIONARY] [MUTATIONS]

#include "FuzzCheck.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

extern void (*fuzzFailureReporter)();

namespace {

constexpr qsizetype kMaxLength = 4096;

QString g_target;
QString g_what;
QByteArray g_input;

void reportInput()
{
    const QString name = QStringLiteral("fuzz-failure-%1.bin").arg(g_target);
    QFile file(name);
    if (file.open(QIODevice::WriteOnly))
        file.write(g_input);
    std::fprintf(stderr, "  input: %s (%lld bytes), kept as %s\n", g_what.toUtf8().constData(),
                 static_cast<long long>(g_input.size()), QFileInfo(name).absoluteFilePath().toUtf8().constData());
    if (g_input.size() <= 2048)
        std::fprintf(stderr, "  bytes: %s\n", fuzzShown(QString::fromUtf8(g_input)).toUtf8().constData());
}

// xorshift64*: the same mutations on every machine and every run.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed ? seed : 1) {}
    quint64 next()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1DULL;
    }
    qsizetype below(qsizetype bound) { return bound <= 0 ? 0 : qsizetype(next() % quint64(bound)); }

private:
    quint64 m_state;
};

// The token lines of a libFuzzer dictionary: name="text" or "text", with \\, \" and \xNN.
QList<QByteArray> readDictionary(const QString &path)
{
    QList<QByteArray> tokens;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return tokens;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype open = line.indexOf('"');
        if (line.startsWith('#') || open < 0 || !line.endsWith('"') || line.size() - open < 2)
            continue;
        const QByteArray body = line.mid(open + 1, line.size() - open - 2);
        QByteArray token;
        for (qsizetype i = 0; i < body.size(); ++i) {
            if (body[i] == '\\' && i + 3 < body.size() && body[i + 1] == 'x') {
                token += char(body.mid(i + 2, 2).toInt(nullptr, 16));
                i += 3;
            } else if (body[i] == '\\' && i + 1 < body.size()) {
                token += body[++i];
            } else {
                token += body[i];
            }
        }
        tokens.append(token);
    }
    return tokens;
}

QByteArray mutated(QByteArray input, const QList<QByteArray> &seeds, const QList<QByteArray> &tokens, Random &random)
{
    static const char interesting[] = {'\0', '\n', '\r', ' ', '"', '\\', '[', ']', '=', '%', ',', ':', '@',
                                       '#', ';', '<', '&', char(0x7F), char(0x80), char(0xC2), char(0xA0), char(0xFF)};
    const int steps = 1 + int(random.below(4));
    for (int step = 0; step < steps; ++step) {
        const qsizetype at = random.below(input.size() + 1);
        switch (random.below(7)) {
        case 0:
            if (!input.isEmpty())
                input[random.below(input.size())] ^= char(1 << random.below(8));
            break;
        case 1:
            if (!input.isEmpty())
                input[random.below(input.size())] = interesting[random.below(sizeof interesting)];
            break;
        case 2: input.insert(at, interesting[random.below(sizeof interesting)]); break;
        case 3: input.remove(at, 1 + random.below(8)); break;
        case 4: {
            const qsizetype from = random.below(input.size());
            input.insert(at, input.mid(from, 1 + random.below(32)));
            break;
        }
        case 5:
            if (!tokens.isEmpty())
                input.insert(at, tokens.at(random.below(tokens.size())));
            break;
        default: {
            const QByteArray &other = seeds.at(random.below(seeds.size()));
            input = input.left(at) + other.mid(random.below(other.size()));
            break;
        }
        }
    }
    return input.left(kMaxLength);
}

void run(const QString &what, const QByteArray &input)
{
    g_what = what;
    g_input = input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(g_input.constData()), size_t(g_input.size()));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR [DICTIONARY] [MUTATIONS]\n", argv[0]);
        return 2;
    }
    g_target = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    fuzzFailureReporter = reportInput;

    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    const QList<QByteArray> tokens = readDictionary(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
    const int mutations = argc > 3 ? std::atoi(argv[3]) : 3000;

    QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    QList<QByteArray> seeds;
    for (const QString &name : names) {
        QFile file(corpus.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", file.fileName().toUtf8().constData());
            return 2;
        }
        seeds.append(file.readAll());
        run(QStringLiteral("seed %1").arg(name), seeds.last());
    }
    if (seeds.isEmpty()) {
        std::fprintf(stderr, "no seeds in %s\n", argv[1]);
        return 2;
    }
    Random random(0x5EEDF00DULL);
    for (int i = 0; i < mutations; ++i) {
        const qsizetype pick = random.below(seeds.size());
        run(QStringLiteral("mutation %1 of seed %2").arg(i).arg(names.at(pick)),
            mutated(seeds.at(pick), seeds, tokens, random));
    }
    std::printf("%s: %lld seeds and %d mutations kept every property\n", g_target.toUtf8().constData(),
                static_cast<long long>(seeds.size()), mutations);
    return 0;
}
