// The page's elements as the web toolkit's files reach them.
#pragma once

#include <emscripten/val.h>

#include <string>
#include <string_view>

namespace web {

inline emscripten::val element(std::string_view id) {
    return emscripten::val::global("document").call<emscripten::val>("getElementById", std::string(id));
}

// A new element, with an id when one is given.
inline emscripten::val create(const char* tag, std::string_view id = "") {
    emscripten::val made = emscripten::val::global("document").call<emscripten::val>("createElement", std::string(tag));
    if (!id.empty()) made.set("id", std::string(id));
    return made;
}

}  // namespace web
