// Runs the built kvaderon-cli in a temporary folder on files made by the TIFF builder.
#pragma once

#include "FlatJson.h"
#include "ProgramRun.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "platform/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace kvaderon::test {

class TCliTest : public ::testing::Test {
protected:
    TProgramResult Cli(const std::vector<std::string>& AArguments) const {
        return RunProgram(KVADERON_CLI_PROGRAM, AArguments, FScratch.Path());
    }

    std::filesystem::path Folder(const std::string& AName) const {
        std::filesystem::create_directories(FTemp / AName);
        return FTemp / AName;
    }

    // A small grey 16-bit file; ASeed makes its samples differ from other files'.
    static TImageLayout Image(std::uint16_t ASeed, std::uint32_t AHeight = 2) {
        TImageLayout layout;
        layout.Height = AHeight;
        layout.Samples.resize(SampleCount(layout));
        for (std::size_t i = 0; i < layout.Samples.size(); ++i)
            layout.Samples[i] = std::uint16_t(ASeed * 977 + i * 131);
        return layout;
    }

    static TBytes Positive(TImageLayout ALayout) {
        for (auto& sample : ALayout.Samples)
            sample = std::uint16_t(0xFFFF - sample);
        return BuildImage(ALayout).Build();
    }

    static std::filesystem::path Put(const std::filesystem::path& APath, const TBytes& ABytes) {
        WriteFile(APath, ABytes);
        return APath;
    }

    static std::string Sha256Of(const std::filesystem::path& AFile) {
        const TBytes bytes = ReadFile(AFile);
        platform::TSha256 hash;
        hash.Update(bytes.data(), bytes.size());
        return hash.FinishHex();
    }

    // One parsed object per line of AOut.
    static std::vector<TJsonObject> JsonLines(const std::string& AOut) {
        std::vector<TJsonObject> objects;
        for (const std::string& line : Lines(AOut)) {
            std::vector<std::string> keys;
            objects.push_back(TFlatJson::Parse(line, keys));
        }
        return objects;
    }

    static std::vector<std::string> Lines(const std::string& AText) {
        std::vector<std::string> lines;
        std::istringstream stream(AText);
        for (std::string line; std::getline(stream, line);)
            lines.push_back(line);
        return lines;
    }

    // The message of the outcome line; fails the test when the line is not "N. hh:mm:ss NAME: ".
    static std::string Message(const std::string& ALine, int ANumber, const std::string& AName) {
        const std::string head = std::to_string(ANumber) + ". ";
        const std::regex time("\\d\\d:\\d\\d:\\d\\d ");
        EXPECT_EQ(ALine.substr(0, head.size()), head) << ALine;
        EXPECT_TRUE(std::regex_match(ALine.substr(head.size(), 9), time)) << ALine;
        const std::string name = AName + ": ";
        EXPECT_EQ(ALine.substr(head.size() + 9, name.size()), name) << ALine;
        return ALine.substr(std::min(ALine.size(), head.size() + 9 + name.size()));
    }

    TTempDir FTemp;
    TTempDir FScratch;
};

} // namespace kvaderon::test
