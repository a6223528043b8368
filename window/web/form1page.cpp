#include "form1page.h"

#include <emscripten/bind.h>
#include <emscripten/html5.h>
#include <emscripten/val.h>

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

using emscripten::val;

val document() { return val::global("document"); }

std::string px(int twips) { return std::to_string(twips / form::twipsperpixel) + "px"; }

void place(val el, int left, int top, int width, int height) {
    val style = el["style"];
    style.set("left", px(left));
    style.set("top", px(top));
    style.set("width", px(width));
    style.set("height", px(height));
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

bool listopen() { return element(listid)["hidden"].as<bool>() == false; }

void showactive() {
    for (std::size_t i = 0; i < form::steplist.size(); ++i)
        element(optionid(i)).call<void>("setAttribute", std::string("aria-selected"), std::string(i == page->active ? "true" : "false"));
    element("Combo1").call<void>("setAttribute", std::string("aria-activedescendant"), optionid(page->active));
}

void openlist(bool open) {
    element(listid).set("hidden", !open);
    for (const char* id : {"Combo1", "Combo1-button"})
        element(id).call<void>("setAttribute", std::string("aria-expanded"), std::string(open ? "true" : "false"));
    if (!open) {
        element("Combo1").call<void>("removeAttribute", std::string("aria-activedescendant"));
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

EM_BOOL onclick(int, const EmscriptenMouseEvent*, void* user) {
    const auto* c = static_cast<const form::Control*>(user);
    page->events.click(c->name);
    return EM_TRUE;
}

EM_BOOL ontogglelist(int, const EmscriptenMouseEvent*, void*) {
    openlist(!listopen());
    element("Combo1").call<void>("focus");
    return EM_TRUE;
}

EM_BOOL onoption(int, const EmscriptenMouseEvent*, void* user) {
    pick(reinterpret_cast<std::size_t>(user));
    return EM_TRUE;
}

// Keeps the focus in the field while an option or the arrow is pressed.
EM_BOOL keepfocus(int, const EmscriptenMouseEvent*, void*) { return EM_TRUE; }

std::string selector(const std::string& id) { return "#" + id; }

void createcombo(val form1, const form::Control& c) {
    val field = create("div", "Combo1-field");
    field.set("className", std::string("combo"));
    place(field, c.left, c.top, c.width, c.height);
    val input = create("input", c.name);
    input.set("value", std::string(c.text));
    input.call<void>("setAttribute", std::string("role"), std::string("combobox"));
    input.call<void>("setAttribute", std::string("aria-autocomplete"), std::string("none"));
    input.call<void>("setAttribute", std::string("aria-controls"), listid);
    input.call<void>("setAttribute", std::string("aria-expanded"), std::string("false"));
    input.call<void>("setAttribute", std::string("aria-label"), std::string(c.description));
    input.call<void>("setAttribute", std::string("autocomplete"), std::string("off"));
    val button = create("button", "Combo1-button");
    button.set("type", std::string("button"));
    button.set("tabIndex", -1);
    button.call<void>("setAttribute", std::string("aria-label"), std::string("steps"));
    button.call<void>("setAttribute", std::string("aria-controls"), listid);
    button.call<void>("setAttribute", std::string("aria-expanded"), std::string("false"));
    val list = create("ul", listid);
    list.call<void>("setAttribute", std::string("role"), std::string("listbox"));
    list.call<void>("setAttribute", std::string("aria-label"), std::string(c.description));
    list.set("hidden", true);
    for (std::size_t i = 0; i < form::steplist.size(); ++i) {
        val option = create("li", optionid(i));
        option.call<void>("setAttribute", std::string("role"), std::string("option"));
        option.set("textContent", std::string(form::steplist[i]));
        list.call<void>("appendChild", option);
    }
    field.call<void>("appendChild", input);
    field.call<void>("appendChild", button);
    field.call<void>("appendChild", list);
    form1.call<void>("appendChild", field);
}

void listen(const form::Control& c) {
    const std::string at = selector(std::string(c.name));
    if (c.kind == form::Kind::button) {
        emscripten_set_click_callback(at.c_str(), const_cast<form::Control*>(&c), EM_FALSE, onclick);
    } else if (c.kind == form::Kind::combobox) {
        emscripten_set_keydown_callback(at.c_str(), nullptr, EM_FALSE, onkey);
        emscripten_set_blur_callback(at.c_str(), nullptr, EM_FALSE, onblur);
        emscripten_set_mousedown_callback("#Combo1-button", nullptr, EM_FALSE, keepfocus);
        emscripten_set_click_callback("#Combo1-button", nullptr, EM_FALSE, ontogglelist);
        for (std::size_t i = 0; i < form::steplist.size(); ++i) {
            const std::string option = selector(optionid(i));
            emscripten_set_mousedown_callback(option.c_str(), nullptr, EM_FALSE, keepfocus);
            emscripten_set_click_callback(option.c_str(), reinterpret_cast<void*>(i), EM_FALSE, onoption);
        }
    }
}

// A computed length ("11px") as its number of pixels, and a number as CSS
// writes it, both as the browser reads and writes numbers.
double pixelsof(const val& length) { return val::global("parseFloat")(length).as<double>(); }
std::string cssnumber(double value) { return val::global("String")(value).as<std::string>(); }

// The boxes whose font is fitted: the ones a frequency is typed into.
bool fitted(const form::Control& c) { return c.kind == form::Kind::textbox && !c.readonly; }

// Makes a box's font smaller, where it must be, until every text the box
// can show fits it whole: a frequency to 10 Hz has nine characters. The
// texts are measured on a canvas. A ResizeObserver calls this, with what
// changed and itself, when the boxes first have a size and whenever it
// changes (a phone's layout has more room): after the page is laid out and
// before it is painted, so that the page is never laid out for it alone.
void fittexts(val, val) {
    static val canvas = create("canvas").call<val>("getContext", std::string("2d"));
    struct Box {
        const form::Control* control;
        val element;
        double room;
    };
    std::vector<Box> boxes;
    for (const form::Control& c : form::controls) {
        if (!fitted(c)) continue;
        val box = element(c.name);
        boxes.push_back({&c, box, box["clientWidth"].as<double>()});
    }
    // Every box at the page's own size first, so that the page's style is
    // worked out once for all of them.
    for (const Box& box : boxes) box.element["style"].call<void>("removeProperty", std::string("font-size"));
    for (const Box& box : boxes) {
        val computed = val::global("getComputedStyle")(box.element);
        const double room = box.room - pixelsof(computed["paddingLeft"]) - pixelsof(computed["paddingRight"]) - 1;
        const std::vector<std::string> texts = form::textsof(*box.control);
        const std::string family = computed["fontFamily"].as<std::string>();
        // The width of the widest text at a size: a canvas takes each new
        // font slowly, so that sizes are tried as few as may be.
        const auto widest = [&](double pixels) {
            canvas.set("font", cssnumber(pixels) + "px " + family);
            double most = 0;
            for (const std::string& text : texts) most = std::max(most, canvas.call<val>("measureText", text)["width"].as<double>());
            return most;
        };
        const double size = pixelsof(computed["fontSize"]);
        const double atsize = widest(size);
        if (atsize <= room) continue;
        // Text grows about in proportion to its size: start from the size
        // that proportion gives, to the half pixel, and go down from there.
        double pixels = std::max(8.0, std::floor(size * room / atsize * 2) / 2);
        while (pixels > 8 && widest(pixels) > room) pixels -= 0.5;
        box.element["style"].set("fontSize", cssnumber(pixels) + "px");
    }
}

}  // namespace

std::string Texts::text(std::string_view name) const { return element(name)["value"].as<std::string>(); }

void Texts::settext(std::string_view name, std::string_view text) { element(name).set("value", std::string(text)); }

void createform1() {
    document().set("title", std::string(form::caption));

    // The picture comes with the page, at twice its size: sharp on a
    // screen of up to twice the density, and scaled smoothly down on others.
    val frame = element("Form1-frame");
    val form1 = create("div", "Form1");
    form1.call<void>("setAttribute", std::string("role"), std::string("application"));
    form1.call<void>("setAttribute", std::string("aria-label"), std::string(form::caption));
    val picture = create("img", "Form1-picture");
    picture.set("alt", std::string(""));
    picture.set("srcset", frame["dataset"]["picture"]);
    form1.call<void>("appendChild", picture);
    place(form1, 0, 0, form::clientwidth, form::clientheight);

    // Focusable controls first, in Tab order, so that the page's own order
    // is the window's; then the labels and lines.
    for (const form::Control* c : form::taborder()) {
        if (c->kind == form::Kind::combobox) {
            createcombo(form1, *c);
            continue;
        }
        val el = create(c->kind == form::Kind::button ? "button" : "input", c->name);
        if (c->kind == form::Kind::button) {
            el.set("type", std::string("button"));
            el.set("textContent", std::string(c->text));
        } else {
            el.set("value", std::string(c->text));
            el.set("readOnly", c->readonly);
            // A phone's keyboard of digits and a point for the frequencies.
            if (!c->readonly) el.call<void>("setAttribute", std::string("inputmode"), std::string("decimal"));
            el.call<void>("setAttribute", std::string("autocomplete"), std::string("off"));
            el.call<void>("setAttribute", std::string("spellcheck"), std::string("false"));
        }
        if (!c->description.empty()) el.call<void>("setAttribute", std::string("aria-label"), std::string(c->description));
        place(el, c->left, c->top, c->width, c->height);
        form1.call<void>("appendChild", el);
    }
    for (const form::Control& c : form::controls) {
        if (c.kind != form::Kind::label) continue;
        val el = create("span", c.name);
        el.set("textContent", std::string(c.text));
        place(el, c.left, c.top, c.width, c.height);
        form1.call<void>("appendChild", el);
    }
    for (const form::Line& line : form::lines) {
        val el = create("div", line.name);
        el.set("className", std::string("line"));
        place(el, line.x1, line.y1, 0, line.y2 - line.y1);
        form1.call<void>("appendChild", el);
    }
    frame.call<void>("appendChild", form1);

    page = std::make_unique<Page>();
    for (const form::Control& c : form::controls) listen(c);
    val observer = val::global("ResizeObserver").new_(val::module_property("fittexts"));
    for (const form::Control& c : form::controls)
        if (fitted(c)) observer.call<void>("observe", element(c.name));
}

}  // namespace web

EMSCRIPTEN_BINDINGS(freqcode_form1page) { emscripten::function("fittexts", &web::fittexts); }
