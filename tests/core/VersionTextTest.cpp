#include "VersionText.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

TEST(VersionText, FourPartVersionShowsTheBuildNumberApart) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.0.0.137", "1.0.0 (сборка 137)"},
        {"1.0.0.1", "1.0.0 (сборка 1)"},
        {"65535.2.3.0", "65535.2.3 (сборка 0)"},
        {"1.0.0", "Unknown"},
        {"1.0.0.1.5", "Unknown"},
        {"1.0.x.1", "Unknown"},
        {"1.0.0.65536", "Unknown"},
        {"", "Unknown"},
    };
    for (const auto& [version, text] : cases)
        EXPECT_EQ(FormatVersionText(version), text) << version;
}

} // namespace
} // namespace kvaderon
