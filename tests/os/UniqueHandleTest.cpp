// The owner of a handle gives it back exactly once, whichever way it leaves:
// at the end of its scope, on a reset, or through the owner it was moved to.

#include "os/UniqueHandle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quotamin {
namespace {

// Handles are numbers, 0 is none; each close is written to the kind's journal.
struct CountedKind {
    using Value = int;
    static Value None() { return 0; }
    void Close(Value value) const { journal->push_back(value); }
    std::vector<int>* journal = nullptr;
};
using Counted = UniqueHandle<CountedKind>;

TEST(UniqueHandle, ClosesWhatItHoldsOnceWhicheverWayItGoes) {
    struct Case {
        const char* name;
        void (*run)(std::vector<int>& journal);
        std::vector<int> closed;
    };
    const Case cases[] = {
        {"end of scope", [](std::vector<int>& j) { Counted held(7, {&j}); }, {7}},
        {"none is never closed", [](std::vector<int>& j) { Counted held(0, {&j}); }, {}},
        {"reset closes the old one, then the new one at the end",
         [](std::vector<int>& j) {
             Counted held(7, {&j});
             held.Reset(8);
         },
         {7, 8}},
        {"released is not closed",
         [](std::vector<int>& j) {
             Counted held(7, {&j});
             EXPECT_EQ(held.Release(), 7);
             EXPECT_FALSE(held);
         },
         {}},
        {"moved from is empty, the new owner closes",
         [](std::vector<int>& j) {
             Counted first(7, {&j});
             Counted second(std::move(first));
             EXPECT_FALSE(first);
             EXPECT_EQ(second.Get(), 7);
         },
         {7}},
        {"move assignment closes what the target held",
         [](std::vector<int>& j) {
             Counted first(7, {&j});
             Counted second(8, {&j});
             second = std::move(first);
             EXPECT_EQ(j, std::vector<int>{8});
         },
         {8, 7}},
        {"moved onto itself keeps it",
         [](std::vector<int>& j) {
             Counted held(7, {&j});
             Counted& same = held;
             held = std::move(same);
             EXPECT_EQ(held.Get(), 7);
         },
         {7}},
    };
    for (const Case& c : cases) {
        std::vector<int> journal;
        c.run(journal);
        EXPECT_EQ(journal, c.closed) << c.name;
    }
}

}  // namespace
}  // namespace quotamin
