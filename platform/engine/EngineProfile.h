#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWebEnginePage;
class QWebEngineProfile;

// The one engine profile of the program. It is kept in memory only: the program may
// run as several processes at once (a window opened with Ctrl starts another one),
// and the engine cannot share one on-disk profile between processes without damaging
// it. So cookies and the page cache last for the run, and the engine writes nothing.
// It obeys the browser's values in the emulated registry:
// - the Post Platform value names are added to the engine's User-Agent;
// - "Display Inline Images" "no" (under HKEY_CURRENT_USER
//   "Software\Microsoft\Internet Explorer\Main") stops images from loading;
// - "GlobalUserOffline" 1 refuses every network request (file, about, data and qrc
//   pages still load). That value is read again at each network request, so the
//   offline command takes effect at once and needs no call into the engine.
// The User-Agent and the image switch are read again for every new browser control.
class EngineProfile
{
public:
    using TokenSource = std::function<QStringList()>;

    // The profile, created on first use, with the registry's current User-Agent
    // tokens and image switch applied. Every new browser control takes it from here.
    static QWebEngineProfile *profileForNewPage();
    // Starts the engine before any window needs it: the profile with its request
    // interceptor, and a page on about:blank that nobody sees, which brings up the
    // engine and its helper process. Reads no registry value (the first browser
    // control's profile gets them), so it can run before anything else of the program.
    // Does nothing when the engine runs already.
    static void warmUp();
    // The page of the first browser control: the spare page of the warm-up goes once
    // that page has loaded (or failed, or gone), not while it loads, when taking the
    // spare down would hold up the page the user waits for. Later pages change nothing.
    static void releaseSparePageAfter(QWebEnginePage *page);
    // Deletes the profile, so that the next use starts afresh. Only when no browser
    // control is alive.
    static void resetInstance();

    // Where the Post Platform value names come from. An empty function (the default)
    // gives none.
    static void setPostPlatformTokenSource(TokenSource source);
    static QStringList postPlatformTokens();

    static bool inlineImagesShown();

    // Czech for the engine's own texts: it reads them (its error pages among them) in
    // the default locale when it starts, so this runs before the first profile is
    // created. Returns the languages pages are asked for, Czech first.
    static QString chooseLanguage();
};

// The engine's User-Agent with Post Platform tokens added after the platform, inside
// its first parenthesised comment, as "; "-separated entries:
//   "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/..." + {"Vorlan 2.40.164"}
//   → "Mozilla/5.0 (X11; Linux x86_64; Vorlan 2.40.164) AppleWebKit/..."
// A token holds blanks, so it could not stand as a product token of its own. Control
// characters, non-ASCII characters, "(", ")" and "\" are dropped from a token, runs of
// blanks shrink to one, and tokens left empty are skipped, so a value name can never
// break the comment or the header. Without a comment in the base the tokens follow it
// as a comment of their own.
QString userAgentWithTokens(const QString &base, const QStringList &tokens);
