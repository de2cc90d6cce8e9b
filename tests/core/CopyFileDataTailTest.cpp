#include "TempDir.h"
#include "TiffBuilder.h"
#include "platform/FileOperations.h"

#include <gtest/gtest.h>

namespace kvaderon {
namespace {

using namespace test;

// The copy is written over the target from its start without truncating it first.
TEST(CopyFileData, CutsTheLongerTailOfAnExistingTarget) {
    TTempDir dir;
    WriteFile(dir / "from", {1, 2, 3});
    WriteFile(dir / "to", TBytes(100000, 9));
    platform::CopyFileData(dir / "from", dir / "to");
    EXPECT_EQ(ReadFile(dir / "to"), (TBytes{1, 2, 3}));

    WriteFile(dir / "empty", {});
    platform::CopyFileData(dir / "empty", dir / "to");
    EXPECT_EQ(ReadFile(dir / "to"), TBytes{});
}

} // namespace
} // namespace kvaderon
