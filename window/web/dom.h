// The page's elements as the page's program reaches them: by their ids,
// with plain calls into the page's script, rather than through embind's
// values, whose many first calls cost more than all the window's work.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace web {

// Markup put at the end of the element with the id parent, and the pieces
// it is made of: a text as markup, and an attribute as it follows a tag's
// name (with its space in front).
void addmarkup(std::string_view parent, std::string_view html);
std::string escaped(std::string_view text);
std::string attribute(std::string_view name, std::string_view value);
void setattribute(std::string_view id, std::string_view name, std::string_view value);
void removeattribute(std::string_view id, std::string_view name);
// One element's attribute given to another, without its text coming into
// the program (a picture's data, say).
void copyattribute(std::string_view from, std::string_view name, std::string_view to, std::string_view as);
// A property that holds text (value …) or a flag (hidden …).
void settextproperty(std::string_view id, std::string_view name, std::string_view text);
std::string textproperty(std::string_view id, std::string_view name);
void setflag(std::string_view id, std::string_view name, bool on);
bool flag(std::string_view id, std::string_view name);
// A property that holds a number (clientWidth …).
double numberproperty(std::string_view id, std::string_view name);
// The element's style, as worked out and as set on it, in CSS pixels as
// the browser reads and writes numbers.
double computedpixels(std::string_view id, std::string_view property);
void setstylepixels(std::string_view id, std::string_view property, double pixels);
void removestyle(std::string_view id, std::string_view property);
// The element's width as laid out, in CSS pixels and their fractions.
double renderedwidth(std::string_view id);
// The page's program's freqcode_fittexts() runs whenever the element's size
// changes, and once it first has one.
void observesize(std::string_view id);
void focus(std::string_view id);
// Calls handler(which) on an event at the element ("click", "blur" …).
// A click is handed on as it is, with no place on the page, which would
// make the browser lay out the page for it.
using Handler = void (*)(std::size_t);
void on(std::string_view id, std::string_view event, Handler handler, std::size_t which);
// Calls handler(key, alt) on a key pressed in the element: key is the
// key's number in keys (by their names in the browser), or -1 for any
// other; a key the handler takes (true) does nothing else.
using KeyHandler = bool (*)(int, bool);
void onkey(std::string_view id, std::span<const std::string_view> keys, KeyHandler handler);
// Pressing the mouse on the element leaves the focus where it is.
void keepfocus(std::string_view id);
void settitle(std::string_view title);

}  // namespace web
