#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// GoogleTest shows Qt texts in failure messages as text, not as bytes.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *out)
{
    *out << '{';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        *out << (i ? ", " : "");
        PrintTo(texts.at(i), out);
    }
    *out << '}';
}
