#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>
#include <functional>

// Runs a step once and prints how long it took.
inline void measure(const char *what, const std::function<void()> &run)
{
    QElapsedTimer clock;
    clock.start();
    run();
    std::printf("%-44s %8lld ms\n", what, clock.elapsed());
}

// The most memory the process has held so far, in bytes (the peak resident set).
inline qint64 peakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

// Lets the peak start again from what the process holds now, freed memory given back.
inline void resetPeakMemory()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// A registry file of many keys with one short value each ("[HKEY_CURRENT_USER\K\kN]" and
// "v"="x"), as a program that stores one key per item may leave behind: the shape
// that costs the most per byte.
inline QByteArray smallRegistryKeys(int count)
{
    QByteArray text = "REGEDIT4\n\n";
    text.reserve(qsizetype(count) * 40);
    for (int key = 0; key < count; ++key)
        text += "[HKEY_CURRENT_USER\\K\\k" + QByteArray::number(key) + "]\n\"v\"=\"x\"\n";
    return text;
}

// Makes the folder with count empty page files in it ("soubor000000.html" and on), as a
// folder a user keeps saved pages in.
inline void makeManyFiles(const QString &folder, int count)
{
    const QByteArray base = QFile::encodeName(folder) + "/";
    ::mkdir(base.constData(), 0700);
    for (int i = 0; i < count; ++i) {
        const QByteArray name = base + "soubor" + QByteArray::number(i).rightJustified(6, '0') + ".html";
        ::close(::open(name.constData(), O_CREAT | O_WRONLY, 0600));
    }
}
