#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "PathKey.h"
#include "SourceList.h"

namespace zanfeld {
namespace {

using Entries = std::vector<std::string>;

TEST(SourceListTest, AddIfAbsentKeepsFirstSpellingAndOrder) {
    SourceList list;
    EXPECT_TRUE(list.AddIfAbsent("/d/b.txt"));
    EXPECT_TRUE(list.AddIfAbsent("/d/a.txt"));
    EXPECT_FALSE(list.AddIfAbsent("/d/b.txt"));
    // Other spellings of one file are different entries; Linux tells case apart.
    EXPECT_TRUE(list.AddIfAbsent("/d//a.txt"));
    EXPECT_TRUE(list.AddIfAbsent("/d/A.txt"));
    EXPECT_EQ(list.entries(), (Entries{"/d/b.txt", "/d/a.txt", "/d//a.txt", "/d/A.txt"}));
    EXPECT_EQ(PathKey("/d/A.txt"), "/d/A.txt");
}

TEST(SourceListTest, AppendListsAgainAndRemovalKeepsTheIndexRight) {
    SourceList list;
    list.Append("/x");
    list.Append("/x");
    EXPECT_EQ(list.size(), 2u);
    EXPECT_FALSE(list.AddIfAbsent("/x"));

    list.RemoveAt(0);
    EXPECT_EQ(list.entries(), (Entries{"/x"}));
    EXPECT_FALSE(list.AddIfAbsent("/x"));  // one copy is still listed
    list.RemoveAt(0);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(list.AddIfAbsent("/x"));

    list.AddIfAbsent("/y");
    list.RemoveAt(7);  // out of range: nothing happens
    EXPECT_EQ(list.entries(), (Entries{"/x", "/y"}));

    list.Clear();
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(list.AddIfAbsent("/y"));
    EXPECT_EQ(list.entries(), (Entries{"/y"}));
}

TEST(SourceListTest, RemoveFromTheMiddleKeepsTheOrder) {
    SourceList list;
    for (const char* p : {"/a", "/b", "/c", "/d"}) list.AddIfAbsent(p);
    list.RemoveAt(1);
    EXPECT_EQ(list.entries(), (Entries{"/a", "/c", "/d"}));
    EXPECT_TRUE(list.AddIfAbsent("/b"));
    EXPECT_FALSE(list.AddIfAbsent("/c"));
    EXPECT_EQ(list.at(3), "/b");
}

TEST(SourceListTest, TwoHundredThousandPathsAreAddedQuickly) {
    std::vector<std::string> paths;
    paths.reserve(200000);
    for (int i = 0; i < 200000; ++i) {
        paths.push_back("/home/user/pictures/holiday/folder" + std::to_string(i % 97) + "/IMG_" +
                        std::to_string(i) + ".JPG");
    }
    SourceList list;
    // Processor time, so that a busy machine does not fail the test.
    const std::clock_t start = std::clock();
    for (const std::string& p : paths) list.AddIfAbsent(p);
    // A second round finds every path listed already.
    for (const std::string& p : paths) list.AddIfAbsent(p);
    const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    EXPECT_EQ(list.size(), paths.size());
    EXPECT_EQ(list.at(123456), paths[123456]);
    // A search through the whole list for each path takes minutes here.
#if defined(__SANITIZE_ADDRESS__)
    const double limit = 30.0;  // the sanitizers' bookkeeping dwarfs the work itself
#else
    const double limit = 1.0;
#endif
    EXPECT_LT(seconds, limit);
}

}  // namespace
}  // namespace zanfeld
