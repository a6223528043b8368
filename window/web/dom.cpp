#include "dom.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cstddef>

// Each text goes over as its bytes and their count, read as UTF-8 (utf8text,
// in text.js).
// NOLINTBEGIN
EM_JS(void, dom_addmarkup, (const char* parent, std::size_t parentn, const char* html, std::size_t htmln), {
    document.getElementById(utf8text(parent, parentn)).insertAdjacentHTML("beforeend", utf8text(html, htmln));
});
EM_JS(void, dom_setattribute, (const char* id, std::size_t idn, const char* name, std::size_t namen, const char* value, std::size_t valuen), {
    document.getElementById(utf8text(id, idn)).setAttribute(utf8text(name, namen), utf8text(value, valuen));
});
EM_JS(void, dom_removeattribute, (const char* id, std::size_t idn, const char* name, std::size_t namen), {
    document.getElementById(utf8text(id, idn)).removeAttribute(utf8text(name, namen));
});
EM_JS(void, dom_settextproperty, (const char* id, std::size_t idn, const char* name, std::size_t namen, const char* text, std::size_t textn), {
    document.getElementById(utf8text(id, idn))[utf8text(name, namen)] = utf8text(text, textn);
});
EM_JS(void, dom_setflag, (const char* id, std::size_t idn, const char* name, std::size_t namen, bool on), {
    document.getElementById(utf8text(id, idn))[utf8text(name, namen)] = !!on;
});
EM_JS(bool, dom_flag, (const char* id, std::size_t idn, const char* name, std::size_t namen), {
    return !!document.getElementById(utf8text(id, idn))[utf8text(name, namen)];
});
EM_JS(void, dom_copyattribute, (const char* from, std::size_t fromn, const char* name, std::size_t namen,
                               const char* to, std::size_t ton, const char* as, std::size_t asn), {
    var value = document.getElementById(utf8text(from, fromn)).getAttribute(utf8text(name, namen));
    document.getElementById(utf8text(to, ton)).setAttribute(utf8text(as, asn), value);
});
EM_JS(double, dom_numberproperty, (const char* id, std::size_t idn, const char* name, std::size_t namen), {
    return +document.getElementById(utf8text(id, idn))[utf8text(name, namen)];
});
EM_JS(double, dom_computedpixels, (const char* id, std::size_t idn, const char* property, std::size_t propertyn), {
    return parseFloat(getComputedStyle(document.getElementById(utf8text(id, idn))).getPropertyValue(utf8text(property, propertyn)));
});
EM_JS(void, dom_setstylepixels, (const char* id, std::size_t idn, const char* property, std::size_t propertyn, double pixels), {
    document.getElementById(utf8text(id, idn)).style.setProperty(utf8text(property, propertyn), pixels + "px");
});
EM_JS(void, dom_removestyle, (const char* id, std::size_t idn, const char* property, std::size_t propertyn), {
    document.getElementById(utf8text(id, idn)).style.removeProperty(utf8text(property, propertyn));
});
EM_JS(double, dom_renderedwidth, (const char* id, std::size_t idn), {
    return document.getElementById(utf8text(id, idn)).getBoundingClientRect().width;
});
EM_JS(void, dom_observesize, (const char* id, std::size_t idn), {
    var sizes = Module.sizes || (Module.sizes = new ResizeObserver(function () { _freqcode_fittexts(); }));
    sizes.observe(document.getElementById(utf8text(id, idn)));
});
// A text property read back: its length in UTF-8 first, then its bytes
// into room for them and a closing zero.
EM_JS(std::size_t, dom_textlength, (const char* id, std::size_t idn, const char* name, std::size_t namen), {
    return lengthBytesUTF8(document.getElementById(utf8text(id, idn))[utf8text(name, namen)] || "");
});
EM_JS(void, dom_text, (const char* id, std::size_t idn, const char* name, std::size_t namen, char* out, std::size_t room), {
    stringToUTF8(document.getElementById(utf8text(id, idn))[utf8text(name, namen)] || "", out, room);
});
EM_JS(void, dom_focus, (const char* id, std::size_t idn), { document.getElementById(utf8text(id, idn)).focus(); });
EM_JS(void, dom_settitle, (const char* title, std::size_t titlen), { document.title = utf8text(title, titlen); });
EM_JS(void, dom_on, (const char* id, std::size_t idn, const char* event, std::size_t eventn, web::Handler handler, std::size_t which), {
    document.getElementById(utf8text(id, idn)).addEventListener(utf8text(event, eventn), function () {
        wasmTable.get(handler)(which);
    });
});
EM_JS(void, dom_onkey, (const char* id, std::size_t idn, const char* keys, std::size_t keysn, web::KeyHandler handler), {
    var names = utf8text(keys, keysn).split("\n");
    document.getElementById(utf8text(id, idn)).addEventListener("keydown", function (e) {
        if (wasmTable.get(handler)(names.indexOf(e.key), e.altKey)) e.preventDefault();
    });
});
EM_JS(void, dom_keepfocus, (const char* id, std::size_t idn), {
    document.getElementById(utf8text(id, idn)).addEventListener("mousedown", function (e) { e.preventDefault(); });
});
// NOLINTEND

namespace web {

void addmarkup(std::string_view parent, std::string_view html) { dom_addmarkup(parent.data(), parent.size(), html.data(), html.size()); }
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}
std::string attribute(std::string_view name, std::string_view value) {
    return " " + std::string(name) + "=\"" + escaped(value) + "\"";
}
void setattribute(std::string_view id, std::string_view name, std::string_view value) {
    dom_setattribute(id.data(), id.size(), name.data(), name.size(), value.data(), value.size());
}
void removeattribute(std::string_view id, std::string_view name) { dom_removeattribute(id.data(), id.size(), name.data(), name.size()); }
void copyattribute(std::string_view from, std::string_view name, std::string_view to, std::string_view as) {
    dom_copyattribute(from.data(), from.size(), name.data(), name.size(), to.data(), to.size(), as.data(), as.size());
}
void settextproperty(std::string_view id, std::string_view name, std::string_view text) {
    dom_settextproperty(id.data(), id.size(), name.data(), name.size(), text.data(), text.size());
}
std::string textproperty(std::string_view id, std::string_view name) {
    std::string text(dom_textlength(id.data(), id.size(), name.data(), name.size()) + 1, '\0');
    dom_text(id.data(), id.size(), name.data(), name.size(), text.data(), text.size());
    text.pop_back();
    return text;
}
void setflag(std::string_view id, std::string_view name, bool on) { dom_setflag(id.data(), id.size(), name.data(), name.size(), on); }
bool flag(std::string_view id, std::string_view name) { return dom_flag(id.data(), id.size(), name.data(), name.size()); }
double numberproperty(std::string_view id, std::string_view name) { return dom_numberproperty(id.data(), id.size(), name.data(), name.size()); }
double computedpixels(std::string_view id, std::string_view property) {
    return dom_computedpixels(id.data(), id.size(), property.data(), property.size());
}
void setstylepixels(std::string_view id, std::string_view property, double pixels) {
    dom_setstylepixels(id.data(), id.size(), property.data(), property.size(), pixels);
}
void removestyle(std::string_view id, std::string_view property) { dom_removestyle(id.data(), id.size(), property.data(), property.size()); }
double renderedwidth(std::string_view id) { return dom_renderedwidth(id.data(), id.size()); }
void observesize(std::string_view id) { dom_observesize(id.data(), id.size()); }
void focus(std::string_view id) { dom_focus(id.data(), id.size()); }
void on(std::string_view id, std::string_view event, Handler handler, std::size_t which) {
    dom_on(id.data(), id.size(), event.data(), event.size(), handler, which);
}
void onkey(std::string_view id, std::span<const std::string_view> keys, KeyHandler handler) {
    std::string names;
    for (const std::string_view key : keys) names += std::string(names.empty() ? "" : "\n") + std::string(key);
    dom_onkey(id.data(), id.size(), names.data(), names.size(), handler);
}
void keepfocus(std::string_view id) { dom_keepfocus(id.data(), id.size()); }
void settitle(std::string_view title) { dom_settitle(title.data(), title.size()); }

}  // namespace web
