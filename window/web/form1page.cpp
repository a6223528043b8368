#include "form1page.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "dom.h"
#include "form/form1.h"
#include "form/form1texts.h"

namespace web {
namespace {

// Combo1: an editable box with a list, as the ARIA combobox pattern has it.
const std::string listid = "Combo1-list";

std::string optionid(std::size_t i) { return "Combo1-option-" + std::to_string(i); }

// The page's one Form1, its texts over the page and its handlers.
struct Page {
    Texts texts;
    form::Form1Events events{texts};
    std::size_t active = 0;  // the option the keyboard is on while the list is open
};
std::unique_ptr<Page> page;

bool listopen() { return !flag(listid, "hidden"); }

void showactive() {
    for (std::size_t i = 0; i < form::steplist.size(); ++i)
        setattribute(optionid(i), "aria-selected", i == page->active ? "true" : "false");
    setattribute("Combo1", "aria-activedescendant", optionid(page->active));
}

void openlist(bool open) {
    setflag(listid, "hidden", !open);
    for (const char* id : {"Combo1", "Combo1-button"}) setattribute(id, "aria-expanded", open ? "true" : "false");
    if (!open) {
        removeattribute("Combo1", "aria-activedescendant");
        return;
    }
    const std::string shown = page->texts.text("Combo1");
    page->active = 0;
    for (std::size_t i = 0; i < form::steplist.size(); ++i)
        if (form::steplist[i] == shown) page->active = i;
    showactive();
}

// A pick from the list: the item goes into the field, then to the handler.
void pick(std::size_t i) {
    openlist(false);
    page->texts.settext("Combo1", form::steplist[i]);
    page->events.Combo1_Click();
}

// The item a step before or after the one the field shows, as the arrow
// keys on a closed drop-down list pick it on Windows.
std::size_t neighbour(int direction) {
    const std::string shown = page->texts.text("Combo1");
    std::size_t at = 0;
    for (std::size_t i = 0; i < form::steplist.size(); ++i)
        if (form::steplist[i] == shown) at = i;
    if (direction < 0) return at == 0 ? 0 : at - 1;
    return at + 1 < form::steplist.size() ? at + 1 : at;
}

// The keys the field takes, by their names in the browser.
constexpr std::array<std::string_view, 5> keys = {"ArrowDown", "ArrowUp", "Enter", "Escape", "Tab"};

bool onfieldkey(int key, bool alt) {
    const std::string_view name = key >= 0 && static_cast<std::size_t>(key) < keys.size() ? keys[static_cast<std::size_t>(key)] : "";
    const bool down = name == "ArrowDown", up = name == "ArrowUp";
    if (!listopen()) {
        if (down && alt) openlist(true);
        else if (down || up) pick(neighbour(down ? 1 : -1));
        else if (name == "Enter") page->events.Combo1_LostFocus();
        else return false;
        return true;
    }
    if ((up && alt) || name == "Escape") {
        openlist(false);
    } else if (down || up) {
        page->active = down ? std::min(page->active + 1, form::steplist.size() - 1) : page->active == 0 ? 0 : page->active - 1;
        showactive();
    } else if (name == "Enter") {
        pick(page->active);
    } else {
        if (name == "Tab") openlist(false);
        return false;
    }
    return true;
}

void onblur(std::size_t) {
    openlist(false);
    page->events.Combo1_LostFocus();
}

// A click on the control of that number in Form1's list.
void onbutton(std::size_t control) { page->events.click(form::controls.at(control).name); }

void ontogglelist(std::size_t) {
    openlist(!listopen());
    focus("Combo1");
}

void onoption(std::size_t i) { pick(i); }

// The boxes whose font is fitted: the ones a frequency is typed into.
bool fitted(const form::Control& c) { return c.kind == form::Kind::textbox && !c.readonly; }

// Every text a box can show, hidden, one to a line, beside the box and in
// its font: the page lays them out with the window, so that the widest is
// measured with no drawing of its own.
std::string fitid(const form::Control& c) { return std::string(c.name) + "-fit"; }

// Form1 as markup, which the page reads at once, far quicker than it
// makes the controls one call at a time.

// A control's place, from twips.
std::string placed(int left, int top, int width, int height) {
    const auto px = [](int twips) { return std::to_string(twips / form::twipsperpixel) + "px"; };
    return attribute("style", "left:" + px(left) + ";top:" + px(top) + ";width:" + px(width) + ";height:" + px(height));
}
std::string placed(const form::Control& c) { return placed(c.left, c.top, c.width, c.height); }

std::string combomarkup(const form::Control& c) {
    std::string html = "<div" + attribute("id", "Combo1-field") + attribute("class", "combo") + placed(c) + ">";
    html += "<input" + attribute("id", c.name) + attribute("value", c.text) + attribute("role", "combobox") +
            attribute("aria-autocomplete", "none") + attribute("aria-controls", listid) + attribute("aria-expanded", "false") +
            attribute("aria-label", c.description) + attribute("autocomplete", "off") + ">";
    html += "<button" + attribute("type", "button") + attribute("id", "Combo1-button") + attribute("tabindex", "-1") +
            attribute("aria-label", "steps") + attribute("aria-controls", listid) + attribute("aria-expanded", "false") + "></button>";
    html += "<ul" + attribute("id", listid) + attribute("role", "listbox") + attribute("aria-label", c.description) + " hidden>";
    for (std::size_t i = 0; i < form::steplist.size(); ++i)
        html += "<li" + attribute("id", optionid(i)) + attribute("role", "option") + ">" + escaped(form::steplist[i]) + "</li>";
    return html + "</ul></div>";
}

std::string form1markup() {
    // The picture's srcset comes from the page (see createform1).
    std::string html = "<div" + attribute("id", "Form1") + attribute("role", "application") + attribute("aria-label", form::caption) +
                       placed(0, 0, form::clientwidth, form::clientheight) + ">";
    html += "<img" + attribute("id", "Form1-picture") + attribute("alt", "") + ">";
    // Focusable controls first, in Tab order, so that the page's own order
    // is the window's; then the labels and lines.
    for (const form::Control* c : form::taborder()) {
        const std::string described = c->description.empty() ? "" : attribute("aria-label", c->description);
        if (c->kind == form::Kind::combobox) {
            html += combomarkup(*c);
        } else if (c->kind == form::Kind::button) {
            html += "<button" + attribute("type", "button") + attribute("id", c->name) + described + placed(*c) + ">" + escaped(c->text) +
                    "</button>";
        } else {
            // A phone's keyboard of digits and a point for the frequencies.
            html += "<input" + attribute("id", c->name) + attribute("value", c->text) +
                    (c->readonly ? std::string(" readonly") : attribute("inputmode", "decimal")) + attribute("autocomplete", "off") +
                    attribute("spellcheck", "false") + described + placed(*c) + ">";
        }
    }
    for (const form::Control& c : form::controls)
        if (c.kind == form::Kind::label) html += "<span" + attribute("id", c.name) + placed(c) + ">" + escaped(c.text) + "</span>";
    for (const form::Line& line : form::lines)
        html += "<div" + attribute("id", line.name) + attribute("class", "line") + placed(line.x1, line.y1, 0, line.y2 - line.y1) + "></div>";
    for (const form::Control& c : form::controls) {
        if (!fitted(c)) continue;
        std::string lines;
        for (const std::string& text : form::textsof(c)) lines += (lines.empty() ? "" : "\n") + text;
        html += "<span" + attribute("id", fitid(c)) + attribute("class", "fit") + attribute("aria-hidden", "true") + ">" + escaped(lines) + "</span>";
    }
    return html + "</div>";
}

// The handlers of the control of that number in Form1's list. The focus
// stays in the field while an option or the arrow is pressed.
void listen(std::size_t control) {
    const form::Control& c = form::controls.at(control);
    if (c.kind == form::Kind::button) {
        on(c.name, "click", onbutton, control);
    } else if (c.kind == form::Kind::combobox) {
        onkey(c.name, keys, onfieldkey);
        on(c.name, "blur", onblur, 0);
        keepfocus("Combo1-button");
        on("Combo1-button", "click", ontogglelist, 0);
        for (std::size_t i = 0; i < form::steplist.size(); ++i) {
            keepfocus(optionid(i));
            on(optionid(i), "click", onoption, i);
        }
    }
}

// Makes a box's font smaller, where it must be, until every text the box
// can show fits it whole: a frequency to 10 Hz has nine characters. A
// ResizeObserver calls this when the boxes first have a size and whenever
// it changes (a phone's layout has more room): after the page is laid out
// and before it is painted, so that the texts are measured as laid out.
void fittexts() {
    struct Box {
        const form::Control* control;
        double room;
    };
    std::vector<Box> boxes;
    for (const form::Control& c : form::controls)
        if (fitted(c)) boxes.push_back({&c, numberproperty(c.name, "clientWidth")});
    // Every box and its texts at the page's own size first, so that the page
    // is laid out once for all of them.
    for (const Box& box : boxes) {
        removestyle(box.control->name, "font-size");
        removestyle(fitid(*box.control), "font-size");
    }
    for (const Box& box : boxes) {
        const std::string_view name = box.control->name;
        const std::string texts = fitid(*box.control);
        const double room = box.room - computedpixels(name, "padding-left") - computedpixels(name, "padding-right") - 1;
        const double size = computedpixels(name, "font-size");
        const double atsize = renderedwidth(texts);
        if (atsize <= room) continue;
        // Text grows about in proportion to its size: start from the size
        // that proportion gives, to the half pixel, and go down from there.
        const auto widest = [&](double pixels) {
            setstylepixels(texts, "font-size", pixels);
            return renderedwidth(texts);
        };
        double pixels = std::max(8.0, std::floor(size * room / atsize * 2) / 2);
        while (pixels > 8 && widest(pixels) > room) pixels -= 0.5;
        setstylepixels(name, "font-size", pixels);
    }
}

}  // namespace

std::string Texts::text(std::string_view name) const { return textproperty(name, "value"); }

void Texts::settext(std::string_view name, std::string_view text) { settextproperty(name, "value", text); }

void createform1() {
    settitle(form::caption);
    addmarkup("Form1-frame", form1markup());
    // The picture comes with the page, at twice its size: sharp on a
    // screen of up to twice the density, and scaled smoothly down on others.
    copyattribute("Form1-frame", "data-picture", "Form1-picture", "srcset");

    page = std::make_unique<Page>();
    for (std::size_t i = 0; i < form::controls.size(); ++i) listen(i);
    for (const form::Control& c : form::controls)
        if (fitted(c)) observesize(c.name);
}

}  // namespace web

// Called by the page's script once its program is up.
extern "C" EMSCRIPTEN_KEEPALIVE void freqcode_createform1() { web::createform1(); }
// Called by the page's ResizeObserver (see observesize).
extern "C" EMSCRIPTEN_KEEPALIVE void freqcode_fittexts() { web::fittexts(); }
