// Writes the seed corpus of the fuzz harnesses into the folder given as the argument: tiff/ holds
// every layout the inverter and the analyzer know and the malformed files the tests use, built by
// the test TIFF builder; ini/ holds settings files, color/ colour texts.
#include "TiffSamples.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace kvaderon::test;
namespace fs = std::filesystem;

const std::vector<std::pair<std::string, std::string>> iniSeeds = {
    {"defaults", "[Application]\r\nVCLStyle=Windows10 Charcoal\r\nHeight=600\r\nWidth=800\r\n\r\n[Files]\r\n"
                 "LastOpenFolder=\r\nLastSaveFolder=\r\nPrefix=\"! \"\r\nPostfix=\"\"\r\n\r\n[Colors]\r\n"
                 "FileName_B=clWhite\r\nOK_B=clLimegreen\r\nWarning_W=$000074B9\r\n"},
    {"comments-and-case", "; by hand\n# too\n[files]\nPREFIX = 'x' \nunknown=1\n[Files]\nPrefix=second\n"},
    {"bom-no-final-newline", "\xEF\xBB\xBF[Files]\nPrefix=p"},
    {"no-sections", "Prefix=p\n=\n[\n]\n[]\n"},
};

const std::vector<std::string> colorSeeds = {"clRed",   "CLWHITE", "$000074B9", "0x00FF00",  "12345",  "-1",
                                             "#FF8000", "#f80",    "clNone",    "clBtnFace", "#12345", "$"};

void Write(const fs::path& AFolder, const std::string& AName, const std::string& ABytes) {
    fs::create_directories(AFolder);
    WriteTextFile(AFolder / AName, ABytes);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    for (const auto& seeds : {TiffLayouts(), MalformedTiffs()})
        for (const TNamedFile& seed : seeds)
            Write(folder / "tiff", seed.Name + ".tif", std::string(seed.Bytes.begin(), seed.Bytes.end()));
    for (const auto& [name, text] : iniSeeds)
        Write(folder / "ini", name + ".ini", text);
    for (std::size_t i = 0; i < colorSeeds.size(); ++i)
        Write(folder / "color", std::to_string(i), colorSeeds[i]);
    return 0;
}
