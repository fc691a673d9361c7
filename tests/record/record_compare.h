// Comparison of two records, entry by entry, for the round-trip tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "record/kifu.h"
#include "record_gen.h"

namespace ravu::test {

// Compares the lines that start at a and b, their alternatives included.
inline void ExpectSameLine(const KifuNode* a, const KifuNode* b, const std::string& where) {
    int i = 0;
    for (; a && b; a = a->next, b = b->next, ++i) {
        SCOPED_TRACE(where + " entry " + std::to_string(i));
        ASSERT_EQ(a->filled, b->filled);
        ASSERT_EQ(Fields(*a->move), Fields(*b->move));
        ASSERT_EQ(a->move->comment, b->move->comment);
        ASSERT_EQ(a->alt != nullptr, b->alt != nullptr);
        if (a->alt)
            ExpectSameLine(a->alt, b->alt, where + "/" + std::to_string(i) + "alt");
        if (::testing::Test::HasFatalFailure())
            return;
    }
    ASSERT_EQ(a == nullptr, b == nullptr) << where << ": lines differ in length at " << i;
}

inline void ExpectSameRecord(const CKifu& a, const CKifu& b) {
    EXPECT_EQ(a.header.handicap, b.header.handicap);
    EXPECT_EQ(a.header.senteName, b.header.senteName);
    EXPECT_EQ(a.header.goteName, b.header.goteName);
    EXPECT_EQ(a.header.headerComment, b.header.headerComment);
    EXPECT_EQ(a.header.hasStartTime, b.header.hasStartTime);
    EXPECT_EQ(a.header.hasEndTime, b.header.hasEndTime);
    if (a.header.hasStartTime && b.header.hasStartTime) {
        EXPECT_EQ(a.header.startTime, b.header.startTime);
    }
    if (a.header.hasEndTime && b.header.hasEndTime) {
        EXPECT_EQ(a.header.endTime, b.header.endTime);
    }
    ExpectSameLine(a.Root(), b.Root(), "main");
}

}  // namespace ravu::test
