#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Every test that touches files, settings or the registry runs inside its own
// temporary home: HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_CACHE_HOME point into
// a fresh folder, the shared state is reset and the settings store and the emulated
// registry are reopened there. Nothing of the user's own is ever touched.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString root() const { return m_dir.path(); }
    QString home() const;
    QString configHome() const;
    QString dataHome() const;
    // The program folder the program uses under this home, with a trailing "/".
    QString appFolder() const;
    // A path below the temporary root; parent folders are created.
    QString path(const QString &relative) const;
    // Writes bytes into a file below the root and returns its path.
    QString writeFile(const QString &relative, const QByteArray &bytes) const;
    static QByteArray readFile(const QString &path);
    // Replaces a file whole, the way another program saving it would.
    static void replaceFile(const QString &path, const QByteArray &bytes);
    // The lines of the error log in the program folder, without their CR LF.
    QStringList logLines() const;
    // A first start finds no stored bar layout and logs that once, as "LoadSettings";
    // true when the log holds nothing else.
    bool logHoldsOnlyTheFirstStartLine() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_saved[4];
    bool m_had[4] = {};
};

// A GoogleTest fixture that owns a TestEnvironment.
class TempEnvTest : public ::testing::Test
{
protected:
    TestEnvironment env;
};
