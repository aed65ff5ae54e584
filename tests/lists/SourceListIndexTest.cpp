// The list's index against a plain search through the entries: whatever mix
// of additions, drops, removals and clearing, both say the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "PathKey.h"
#include "SourceList.h"

namespace zanfeld {
namespace {

using Entries = std::vector<std::string>;

// What the list must do, the slow way.
struct PlainList {
    Entries entries;
    bool listed(const std::string& path) const {
        return std::any_of(entries.begin(), entries.end(),
                           [&](const std::string& e) { return PathKey(e) == PathKey(path); });
    }
};

TEST(SourceListIndexTest, AgreesWithASearchThroughTheEntries) {
    std::mt19937 random(20240607);
    // A small pool, so that paths come again and again; a large one, so that
    // the index grows several times.
    for (const int pool : {7, 300, 5000}) {
        SCOPED_TRACE(pool);
        SourceList list;
        PlainList plain;
        for (int step = 0; step < 20000; ++step) {
            const std::string path = "/data/f" + std::to_string(random() % pool) + ".txt";
            const unsigned what = random() % 100;
            if (what < 60) {
                const bool expected = !plain.listed(path);
                if (expected) plain.entries.push_back(path);
                ASSERT_EQ(list.AddIfAbsent(path), expected) << path << " at step " << step;
            } else if (what < 75) {
                list.Append(path);
                plain.entries.push_back(path);
            } else if (what < 99) {
                // Sometimes past the end, which removes nothing.
                const size_t at = random() % (plain.entries.size() + 2);
                list.RemoveAt(at);
                if (at < plain.entries.size())
                    plain.entries.erase(plain.entries.begin() + static_cast<std::ptrdiff_t>(at));
            } else {
                list.Clear();
                plain.entries.clear();
            }
            ASSERT_EQ(list.size(), plain.entries.size()) << "step " << step;
        }
        EXPECT_EQ(list.entries(), plain.entries);
    }
}

TEST(SourceListIndexTest, RemovingTheFirstOfTwoCopiesKeepsThePathListed) {
    SourceList list;
    list.AddIfAbsent("/a");
    list.Append("/b");
    list.Append("/b");  // dropped twice
    list.AddIfAbsent("/c");
    list.RemoveAt(1);  // the copy the index knew
    EXPECT_FALSE(list.AddIfAbsent("/b"));
    list.RemoveAt(1);
    EXPECT_TRUE(list.AddIfAbsent("/b"));
    EXPECT_EQ(list.entries(), (Entries{"/a", "/c", "/b"}));
}

TEST(SourceListIndexTest, ClearedListStartsOver) {
    SourceList list;
    for (int i = 0; i < 1000; ++i) list.AddIfAbsent("/p" + std::to_string(i));
    list.Clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.entries().capacity(), 0u);  // the memory went back
    EXPECT_TRUE(list.AddIfAbsent("/p5"));
    EXPECT_FALSE(list.AddIfAbsent("/p5"));
    EXPECT_EQ(list.entries(), (Entries{"/p5"}));
}

}  // namespace
}  // namespace zanfeld
