#include "OutcomeLine.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

TEST(OutcomeLine, ResultLineHasNumberTimeNameAndBoldMessageInItsRoles) {
    const TTextRuns expected{
        {"12. ", TColorRole::crNames, true},
        {"14:03:59 ", TColorRole::crNames, false},
        {"negative_012.tif: ", TColorRole::crFileName, false},
        {"ОК!", TColorRole::crOK, true},
        {"\n", TColorRole::crOK, false},
    };
    EXPECT_EQ(BuildOutcomeLine(12, "14:03:59", "negative_012.tif", "ОК!", false), expected);
}

TEST(OutcomeLine, ErrorLineColoursTheMessageAsErrorAndKeepsItUnchanged) {
    const TTextRuns runs = BuildOutcomeLine(1, "00:00:00", "a.tif", "line one\nline two", true);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[3], (TTextRun{"line one\nline two", TColorRole::crError, true}));
    EXPECT_EQ(runs[4], (TTextRun{"\n", TColorRole::crError, false}));
    EXPECT_EQ(PlainText(runs), "1. 00:00:00 a.tif: line one\nline two\n");
}

TEST(OutcomeLine, LocalTimeIsTwoDigitHoursMinutesSeconds) {
    for (const auto& [hour, minute, second, text] :
         {std::tuple{14, 3, 59, "14:03:59"}, std::tuple{0, 0, 0, "00:00:00"}, std::tuple{23, 59, 7, "23:59:07"}}) {
        std::tm parts{};
        parts.tm_year = 2024 - 1900;
        parts.tm_mon = 0;
        parts.tm_mday = 15;
        parts.tm_hour = hour;
        parts.tm_min = minute;
        parts.tm_sec = second;
        parts.tm_isdst = -1;
        EXPECT_EQ(LocalTimeText(std::mktime(&parts)), text);
    }
}

} // namespace
} // namespace kvaderon
