#include "table/columns.h"

namespace table {
namespace {

const std::string empty;

const std::string& code(const Side& side, std::string calc::CodeSet::*text) {
    return side.result.outcome == calc::Outcome::codes ? side.result.codes.*text : empty;
}

// The N a side's codes encode, or an empty text when it has none.
const std::string& ntext(const Side& side, std::string& scratch) {
    if (side.result.outcome != calc::Outcome::codes) return empty;
    scratch = std::to_string(side.result.n);
    return scratch;
}

}  // namespace

// A longer text than a table column's width pushes the rest of its line to
// the right rather than being cut.
const std::array<Column, 14> columns = {{
    {"location", "Location", 9, false, [](const Channel& c, const Status&, std::string&) -> const std::string& { return c.location; }},
    {"name", "Name", 17, false, [](const Channel& c, const Status&, std::string&) -> const std::string& { return c.name; }},
    {"rx_khz", "RX kHz", 11, true, [](const Channel& c, const Status&, std::string&) -> const std::string& { return c.rx.khz; }},
    {"tx_khz", "TX kHz", 11, true, [](const Channel& c, const Status&, std::string&) -> const std::string& { return c.tx.khz; }},
    {"step", "Step", 8, true, [](const Channel& c, const Status&, std::string&) -> const std::string& { return c.step; }},
    {"rx_n", "RX N", 7, true, [](const Channel& c, const Status&, std::string& s) -> const std::string& { return ntext(c.rx, s); }},
    {"tx_n", "TX N", 7, true, [](const Channel& c, const Status&, std::string& s) -> const std::string& { return ntext(c.tx, s); }},
    {"rx_acode", "RX A", 5, true,
     [](const Channel& c, const Status&, std::string&) -> const std::string& { return code(c.rx, &calc::CodeSet::acode); }},
    {"rx_bcode", "RX B", 7, true,
     [](const Channel& c, const Status&, std::string&) -> const std::string& { return code(c.rx, &calc::CodeSet::bcode); }},
    {"rx_rcode", "RX R", 7, true,
     [](const Channel& c, const Status&, std::string&) -> const std::string& { return code(c.rx, &calc::CodeSet::rcode); }},
    {"tx_acode", "TX A", 5, true,
     [](const Channel& c, const Status&, std::string&) -> const std::string& { return code(c.tx, &calc::CodeSet::acode); }},
    {"tx_bcode", "TX B", 7, true,
     [](const Channel& c, const Status&, std::string&) -> const std::string& { return code(c.tx, &calc::CodeSet::bcode); }},
    {"tx_rcode", "TX R", 7, true,
     [](const Channel& c, const Status&, std::string&) -> const std::string& { return code(c.tx, &calc::CodeSet::rcode); }},
    {"status", "Status", 0, false, [](const Channel&, const Status& s, std::string&) -> const std::string& { return s.words; }},
}};

const Column* column(std::string_view name) {
    for (const Column& c : columns)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace table
