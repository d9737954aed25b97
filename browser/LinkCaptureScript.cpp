#include "browser/LinkCaptureScript.h"

const QString &linkCaptureScript()
{
    // Links go out as arrays rather than objects: a page of many thousands of links
    // crosses into the program as a much shorter text. Areas of image maps have no
    // text of their own. Tag names are upper-cased so that an XHTML document, whose
    // model reports "body", is read like any other.
    // The rendered text drops a text made only of blanks, yet such a link has text (an
    // empty caption, never its title): when the rendered text is empty but the link's
    // text is blanks, the blanks are taken as the document holds them.
    static const QString script = QStringLiteral(R"JS(
(function () {
    function read(doc) {
        var links = [];
        var all = doc.links;
        for (var i = 0; i < all.length; ++i) {
            var a = all[i];
            var text = a.tagName.toUpperCase() === 'AREA' ? '' : a.innerText;
            if (text === '' && /^\s+$/.test(a.textContent))
                text = a.textContent;
            links.push([String(a.href), String(a.protocol), text == null ? '' : String(text),
                        a.getAttribute('title') || '']);
        }
        return { body: doc.body ? doc.body.tagName.toUpperCase() : '', url: String(doc.URL), links: links };
    }
    var frames = [];
    for (var i = 0; i < window.frames.length; ++i) {
        try {
            var frameDoc = window.frames[i].document;
            if (frameDoc)
                frames.push(read(frameDoc));
        } catch (e) {
            // Another origin's frame cannot be read: it adds nothing.
        }
    }
    return JSON.stringify({ title: String(document.title), top: read(document), frames: frames });
})()
)JS");
    return script;
}
