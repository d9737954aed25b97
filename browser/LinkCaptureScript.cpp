#include "browser/LinkCaptureScript.h"

namespace {

// Starts a capture: notes the top document and every direct frame whose document it
// may read (a frame of another origin is left out), keeps them with their links as
// they are now in the script world's global vorlanLinkCapture, and answers with the
// first part. vorlanLinkCapture.next() answers each further part and forgets the
// capture once the last has been given.
//
// The answer is a flat array of strings (see LinkAnswerReader): a page of a hundred
// thousand links crosses into the program as a few texts read in one pass each, with
// no object per link, and most links take two strings, not four. In parts the program
// lists one part while the page reads the next.
//
// A link's caption comes from its rendered text (innerText), which costs the engine a
// layout and a walk per link. Where nothing can make the rendered text differ from the
// text the document holds, that text is taken instead: a link with no element inside,
// whose text has no blank to collapse, no line break and no control character, in a
// document whose styles, inline styles and animations change neither the case nor
// the visibility of text nor replace an element's content, below no element that hosts
// a shadow tree or is a custom element (a shadow tree's styles reach the page's
// elements slotted into it). Anything else asks the engine.
//
// The rendered text drops a text made only of blanks, yet such a link has text (an
// empty caption, never its title): when the rendered text is empty but the link's text
// is blanks, the blanks are taken as the document holds them.
//
// A link's protocol is left out when its address is plainly valid (a lower-case host
// name or address, a short port), since it then begins with its protocol; any other
// address asks the engine, which answers ":" for one it cannot read, so such a link
// stays unlisted. Areas of image maps have no text of their own. Tag names are
// upper-cased so that an XHTML document, whose model reports "body", is read like any
// other.
const char *const kStartScript = R"JS(
(function (limit) {
    var messy = /^\s|\s$|\s\s|[^\S ]|[\x00-\x1f\x7f\u00ad]/;
    var plainAddress = /^(?:(?:https?|ftp):\/\/(?:(?:[a-z0-9-]+\.)*[a-z-][a-z0-9-]*|(?:(?:25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)\.){3}(?:25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d))(?::\d{1,4})?(?:[\/?#]|$)|file:\/\/\/|(?:mailto|javascript|news|mhtml):)/;
    var pseudoContent = /^[^,]*:(?:before|after|marker)$/;
    var changesText = '[style*="text-transform" i],[style*="visibility" i],[style*="text-security" i],'
                    + '[style*="content" i],[visibility]';

    function rulesPlain(rules) {
        for (var i = 0; i < rules.length; ++i) {
            var rule = rules[i];
            if (rule.styleSheet && !sheetPlain(rule.styleSheet))
                return false;
            var style = rule.style;
            if (style && (style.getPropertyValue('text-transform') || style.getPropertyValue('visibility')
                          || style.getPropertyValue('-webkit-text-security')
                          || (style.getPropertyValue('content') && !pseudoContent.test(rule.selectorText || ''))))
                return false;
            if (rule.cssRules && !rulesPlain(rule.cssRules))
                return false;
        }
        return true;
    }
    function sheetPlain(sheet) {
        var rules;
        try {
            rules = sheet.cssRules;
        } catch (e) {
            return false; // another origin's style sheet cannot be read
        }
        return !rules || rulesPlain(rules);
    }
    function stylesPlain(doc) {
        if (doc.getAnimations && doc.getAnimations().length)
            return false;
        if (doc.querySelector(changesText))
            return false;
        var sheets = Array.prototype.slice.call(doc.styleSheets).concat(doc.adoptedStyleSheets || []);
        for (var i = 0; i < sheets.length; ++i) {
            if (!sheetPlain(sheets[i]))
                return false;
        }
        return true;
    }

    function Source(doc) {
        this.doc = doc;
        this.links = Array.prototype.slice.call(doc.links);
    }
    Source.prototype.heading = function (out) {
        var doc = this.doc;
        out.push(doc.body ? doc.body.tagName.toUpperCase() : '', String(doc.URL), String(this.links.length));
        this.plainStyles = stylesPlain(doc);
        this.outside = new Map(); // element -> whether it and its ancestors host no shadow tree
    };
    Source.prototype.noShadow = function (element) {
        var path = [];
        var result = true;
        for (var e = element; e !== null; e = e.parentElement) {
            var known = this.outside.get(e);
            if (known !== undefined) {
                result = known;
                break;
            }
            if (e.shadowRoot !== null || e.localName.indexOf('-') >= 0) {
                result = false;
                break;
            }
            path.push(e);
        }
        for (var i = 0; i < path.length; ++i)
            this.outside.set(path[i], result);
        return result;
    };
    Source.prototype.read = function (a, out) {
        var href = a.href;
        var text = '';
        if (this.plainStyles && a.childElementCount === 0 && this.noShadow(a.parentElement))
            text = a.textContent;
        if (text === '' || messy.test(text)) {
            text = a.localName === 'area' ? '' : a.innerText;
            if (text === '' && /^\s+$/.test(a.textContent))
                text = a.textContent;
        }
        var protocol = plainAddress.test(href) ? '' : a.protocol;
        var title = a.getAttribute('title');
        if (protocol === '' && !title && href.charCodeAt(0) !== 0)
            out.push(href, text);
        else
            out.push('\u0000' + href, text, protocol, title || '');
    };

    var documents = [new Source(document)];
    for (var i = 0; i < window.frames.length; ++i) {
        try {
            var frameDoc = window.frames[i].document;
            if (frameDoc)
                documents.push(new Source(frameDoc));
        } catch (e) {
            // Another origin's frame cannot be read: it adds nothing.
        }
    }
    var head = [String(document.title), String(documents.length)];
    var current = 0;
    var at = 0;
    var capture = window.vorlanLinkCapture = {
        next: function () {
            var out = head;
            head = [];
            try {
                var left = limit;
                while (current < documents.length && left > 0) {
                    var d = documents[current];
                    if (at === 0)
                        d.heading(out);
                    var end = Math.min(d.links.length, at + left);
                    for (var i = at; i < end; ++i)
                        d.read(d.links[i], out);
                    left -= end - at;
                    at = end;
                    if (at === d.links.length) {
                        ++current;
                        at = 0;
                    }
                }
            } catch (e) {
                current = documents.length;
                out = null;
            }
            if (current === documents.length && window.vorlanLinkCapture === capture)
                delete window.vorlanLinkCapture;
            return out === null ? null : JSON.stringify(out);
        }
    };
    return capture.next();
})
)JS";

} // namespace

QString linkCaptureScript(int linksPerPart)
{
    return QString::fromUtf8(kStartScript) + QStringLiteral("(%1)").arg(linksPerPart);
}

const QString &linkCaptureScript()
{
    static const QString whole = linkCaptureScript(2147483647);
    return whole;
}

const QString &linkCaptureNextScript()
{
    static const QString next = QStringLiteral("window.vorlanLinkCapture ? window.vorlanLinkCapture.next() : null");
    return next;
}
