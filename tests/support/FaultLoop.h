// What the fault tests share: the faults an in-memory file system injects at its n-th call, and
// what a failed write may leave behind.
#pragma once

#include "MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace kvaderon::test {

// One failing call, and a failing call after which every call fails (a disk gone away, so that
// removing the temporary file fails too).
struct TFault {
    std::errc Error;
    bool AndAfter;
};
inline constexpr TFault Faults[] = {
    {std::errc::no_space_on_device, false},
    {std::errc::io_error, false},
    {std::errc::io_error, true},
};

// The files that were there, and only those temporary files whose removal failed too, each named
// by one of the failure messages.
inline void ExpectOnlyNamedTemporaryFilesLeft(const TMemoryFileSystem& AFiles, const std::vector<std::string>& AKept,
                                              const std::vector<std::string>& AMessages) {
    const auto named = [&](const std::string& AMessage, const std::string& APath) {
        return AMessage.find("Временный файл не удалён: " + APath) != std::string::npos;
    };
    std::vector<std::string> extra;
    for (const std::string& path : AFiles.Paths())
        if (std::find(AKept.begin(), AKept.end(), path) == AKept.end())
            extra.push_back(path);
    for (const std::string& path : extra)
        EXPECT_TRUE(std::any_of(AMessages.begin(), AMessages.end(),
                                [&](const std::string& AMessage) { return named(AMessage, path); }))
            << "left and not named: " << path;
    for (const std::string& message : AMessages) {
        const bool namesATemporaryFile = message.find(".kvaderon") != std::string::npos;
        EXPECT_TRUE(
            !namesATemporaryFile ||
            std::any_of(extra.begin(), extra.end(), [&](const std::string& APath) { return named(message, APath); }))
            << "names a temporary file that is gone: " << message;
    }
}

} // namespace kvaderon::test
