#pragma once

#include <QString>

// A page saved into a folder as the program's own HTML file: a comment header that
// says when and from where, the title, and the body as the page holds it now.

// What one reading of the page gives.
struct PageSnapshot
{
    QString title;
    QString body; // the body element's outerHTML
    QString contentType;
    bool read = false; // false when the page went away before it answered
};

// The script that reads a page once, run in the application's script world.
QString pageSnapshotScript();
// Its answer; a page gone or an answer of another shape gives read == false.
PageSnapshot pageSnapshotFromResult(const QString &json);

// Only HTML documents have a body worth saving: an image or a text file has none.
bool isSavableContentType(const QString &contentType);

// The saved file's text, behind a byte-order mark that names its encoding to readers
// that would otherwise guess: the header line, then "<HTML><HEAD><TITLE>", the title,
// "</TITLE></HEAD>", the body with its own line breaks, CR LF and "</HTML>". The
// writer adds the final CR LF.
QString SavedPageHtml(const QString &savedAt, const QString &address, const PageSnapshot &page);

// A preset item of "Uložit do": its caption, its folder and whether it can be chosen.
struct PagePresetItem
{
    QString caption;
    QString folder;
    bool enabled = true;
};
// caption is what "Caption" & n holds, n itself when it was never stored.
PagePresetItem pagePresetItem(int n, const QString &caption, const QString &folder);
// Reads preset n of "Options\Save" from the settings store.
PagePresetItem readPagePresetItem(int n);
