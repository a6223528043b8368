#include "form1page.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "dom.h"
#include "form/form1.h"
#include "form/form1texts.h"

namespace web {
namespace {

// A control's place, from twips.
void placetwips(std::string_view id, int left, int top, int width, int height) {
    const int p = form::twipsperpixel;
    place(id, left / p, top / p, width / p, height / p);
}

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

EM_BOOL onkey(int, const EmscriptenKeyboardEvent* key, void*) {
    const std::string name = key->key;
    const bool down = name == "ArrowDown", up = name == "ArrowUp";
    if (!listopen()) {
        if (down && key->altKey) openlist(true);
        else if (down || up) pick(neighbour(down ? 1 : -1));
        else if (name == "Enter") page->events.Combo1_LostFocus();
        else return EM_FALSE;
        return EM_TRUE;
    }
    if ((up && key->altKey) || name == "Escape") {
        openlist(false);
    } else if (down || up) {
        page->active = down ? std::min(page->active + 1, form::steplist.size() - 1) : page->active == 0 ? 0 : page->active - 1;
        showactive();
    } else if (name == "Enter") {
        pick(page->active);
    } else {
        if (name == "Tab") openlist(false);
        return EM_FALSE;
    }
    return EM_TRUE;
}

EM_BOOL onblur(int, const EmscriptenFocusEvent*, void*) {
    openlist(false);
    page->events.Combo1_LostFocus();
    return EM_FALSE;
}

// A click on the control of that number in Form1's list.
void onbutton(std::size_t control) { page->events.click(form::controls.at(control).name); }

void ontogglelist(std::size_t) {
    openlist(!listopen());
    focus("Combo1");
}

void onoption(std::size_t i) { pick(i); }

std::string selector(std::string_view id) { return "#" + std::string(id); }

void createcombo(const form::Control& c) {
    const std::string_view field = "Combo1-field", button = "Combo1-button";
    add("div", field, "Form1");
    settextproperty(field, "className", "combo");
    placetwips(field, c.left, c.top, c.width, c.height);
    add("input", c.name, field);
    settextproperty(c.name, "value", c.text);
    setattribute(c.name, "role", "combobox");
    setattribute(c.name, "aria-autocomplete", "none");
    setattribute(c.name, "aria-controls", listid);
    setattribute(c.name, "aria-expanded", "false");
    setattribute(c.name, "aria-label", c.description);
    setattribute(c.name, "autocomplete", "off");
    add("button", button, field);
    settextproperty(button, "type", "button");
    setattribute(button, "tabindex", "-1");
    setattribute(button, "aria-label", "steps");
    setattribute(button, "aria-controls", listid);
    setattribute(button, "aria-expanded", "false");
    add("ul", listid, field);
    setattribute(listid, "role", "listbox");
    setattribute(listid, "aria-label", c.description);
    setflag(listid, "hidden", true);
    for (std::size_t i = 0; i < form::steplist.size(); ++i) {
        const std::string option = optionid(i);
        add("li", option, listid);
        setattribute(option, "role", "option");
        settextproperty(option, "textContent", form::steplist[i]);
    }
}

// The focus stays in the field while an option or the arrow is pressed.
void listen(std::size_t control) {
    const form::Control& c = form::controls.at(control);
    if (c.kind == form::Kind::button) {
        onclick(c.name, onbutton, control);
    } else if (c.kind == form::Kind::combobox) {
        const std::string at = selector(c.name);
        emscripten_set_keydown_callback(at.c_str(), nullptr, EM_FALSE, onkey);
        emscripten_set_blur_callback(at.c_str(), nullptr, EM_FALSE, onblur);
        keepfocus("Combo1-button");
        onclick("Combo1-button", ontogglelist, 0);
        for (std::size_t i = 0; i < form::steplist.size(); ++i) {
            keepfocus(optionid(i));
            onclick(optionid(i), onoption, i);
        }
    }
}

// The boxes whose font is fitted: the ones a frequency is typed into.
bool fitted(const form::Control& c) { return c.kind == form::Kind::textbox && !c.readonly; }

// Makes a box's font smaller, where it must be, until every text the box
// can show fits it whole: a frequency to 10 Hz has nine characters. The
// texts are measured on a canvas. A ResizeObserver calls this when the
// boxes first have a size and whenever it changes (a phone's layout has
// more room): after the page is laid out and before it is painted, so that
// the page is never laid out for it alone.
void fittexts() {
    struct Box {
        const form::Control* control;
        double room;
    };
    std::vector<Box> boxes;
    for (const form::Control& c : form::controls)
        if (fitted(c)) boxes.push_back({&c, numberproperty(c.name, "clientWidth")});
    // Every box at the page's own size first, so that the page's style is
    // worked out once for all of them.
    for (const Box& box : boxes) removestyle(box.control->name, "font-size");
    for (const Box& box : boxes) {
        const std::string_view name = box.control->name;
        const double room = box.room - computedpixels(name, "padding-left") - computedpixels(name, "padding-right") - 1;
        const std::vector<std::string> texts = form::textsof(*box.control);
        const std::string family = computedstyle(name, "font-family");
        // The width of the widest text at a size: a canvas takes each new
        // font slowly, so that sizes are tried as few as may be.
        const auto widest = [&](double pixels) {
            double most = 0;
            for (const std::string& text : texts) most = std::max(most, textwidth(pixels, family, text));
            return most;
        };
        const double size = computedpixels(name, "font-size");
        const double atsize = widest(size);
        if (atsize <= room) continue;
        // Text grows about in proportion to its size: start from the size
        // that proportion gives, to the half pixel, and go down from there.
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

    // The picture comes with the page, at twice its size: sharp on a
    // screen of up to twice the density, and scaled smoothly down on others.
    const std::string_view picture = "Form1-picture";
    add("div", "Form1", "Form1-frame");
    setattribute("Form1", "role", "application");
    setattribute("Form1", "aria-label", form::caption);
    placetwips("Form1", 0, 0, form::clientwidth, form::clientheight);
    add("img", picture, "Form1");
    setattribute(picture, "alt", "");
    copyattribute("Form1-frame", "data-picture", picture, "srcset");

    // Focusable controls first, in Tab order, so that the page's own order
    // is the window's; then the labels and lines.
    for (const form::Control* c : form::taborder()) {
        if (c->kind == form::Kind::combobox) {
            createcombo(*c);
            continue;
        }
        add(c->kind == form::Kind::button ? "button" : "input", c->name, "Form1");
        if (c->kind == form::Kind::button) {
            settextproperty(c->name, "type", "button");
            settextproperty(c->name, "textContent", c->text);
        } else {
            settextproperty(c->name, "value", c->text);
            setflag(c->name, "readOnly", c->readonly);
            // A phone's keyboard of digits and a point for the frequencies.
            if (!c->readonly) setattribute(c->name, "inputmode", "decimal");
            setattribute(c->name, "autocomplete", "off");
            setattribute(c->name, "spellcheck", "false");
        }
        if (!c->description.empty()) setattribute(c->name, "aria-label", c->description);
        placetwips(c->name, c->left, c->top, c->width, c->height);
    }
    for (const form::Control& c : form::controls) {
        if (c.kind != form::Kind::label) continue;
        add("span", c.name, "Form1");
        settextproperty(c.name, "textContent", c.text);
        placetwips(c.name, c.left, c.top, c.width, c.height);
    }
    for (const form::Line& line : form::lines) {
        add("div", line.name, "Form1");
        settextproperty(line.name, "className", "line");
        placetwips(line.name, line.x1, line.y1, 0, line.y2 - line.y1);
    }

    page = std::make_unique<Page>();
    for (std::size_t i = 0; i < form::controls.size(); ++i) listen(i);
    for (const form::Control& c : form::controls)
        if (fitted(c)) observesize(c.name);
}

}  // namespace web

// Called by the page's ResizeObserver (see observesize).
extern "C" EMSCRIPTEN_KEEPALIVE void freqcode_fittexts() { web::fittexts(); }
