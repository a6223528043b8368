// calccodes must not touch the heap for the texts a person types. Counts
// every global allocation while it runs; built without sanitizers, which
// bring allocators of their own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "calc/codes.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(Calccodes, NoHeapAllocationForShortTexts) {
    const std::string freqs[] = {"430000", "430006.25", "145000", " 430 000 ", "430002", "29000", "",
                                 "4.3E5", "&H68FB0", "499999999999999", "1 2 3 4 5 6 7 8"};
    const std::string steps[] = {"", "5kHz", "6.25kHz", "10kHz", "12.5kHz", "25kHz", "typed text"};
    for (const auto& step : steps) {
        for (const auto& freq : freqs) {
            ASSERT_LE(freq.size(), 15u);
            for (const auto direction : {calc::Direction::receive, calc::Direction::transmit}) {
                const long before = allocations.load();
                const auto result = calc::calccodes(direction, step, freq);
                EXPECT_EQ(allocations.load() - before, 0) << step << " " << freq;
                (void)result;
            }
        }
    }
    // The counter itself works: a long text does allocate.
    const long before = allocations.load();
    const std::string longtext(100, '1');
    EXPECT_GT(allocations.load() - before, 0);
}

}  // namespace
