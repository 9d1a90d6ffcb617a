#include "graph/CSampleList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Downloads from newest to oldest, checking the links both ways on the way.
std::vector<double> Walk(const CSampleList& list) {
    std::vector<double> downloads;
    const SampleNode* newer = nullptr;
    for (const SampleNode* node = list.Newest(); node; node = list.Older(node)) {
        EXPECT_EQ(node->newer, newer);
        downloads.push_back(node->download);
        newer = node;
    }
    EXPECT_EQ(newer, list.Oldest());
    return downloads;
}

}  // namespace

TEST(CSampleList, AppendsNewestFirstAndDropsFromTheOldEnd) {
    CSampleList list;
    EXPECT_EQ(list.Newest(), nullptr);
    EXPECT_EQ(list.Older(nullptr), nullptr);
    list.DropOldest();  // empty: nothing happens
    EXPECT_EQ(list.Count(), 0);

    list.Append(1.0, 10.0);
    list.Append(2.0, 20.0);
    list.Append(3.0, 30.0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Newest()->upload, 30.0);
    EXPECT_EQ(Walk(list), (std::vector<double>{3.0, 2.0, 1.0}));

    list.DropOldest();
    EXPECT_EQ(Walk(list), (std::vector<double>{3.0, 2.0}));
    list.DropOldest();
    list.DropOldest();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Newest(), nullptr);
    EXPECT_EQ(list.Oldest(), nullptr);

    list.Append(4.0, 40.0);  // usable again after emptying
    EXPECT_EQ(Walk(list), (std::vector<double>{4.0}));
}

TEST(CSampleList, KeepsTheNewestThousandAcrossManyAppends) {
    CSampleList list;
    for (int i = 1; i <= 1001; ++i) {
        list.Append(i, -i);
    }
    EXPECT_EQ(list.Count(), 1000);
    EXPECT_EQ(list.Oldest()->download, 2.0);  // the first one appended is gone
    EXPECT_EQ(list.Newest()->download, 1001.0);

    // Far past the ring's size, the links and values stay whole.
    for (int i = 1002; i <= 3500; ++i) {
        list.Append(i, -i);
    }
    const std::vector<double> downloads = Walk(list);
    ASSERT_EQ(downloads.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(downloads[i], 3500.0 - i);
    }
    EXPECT_EQ(list.Oldest()->upload, -2501.0);
}
