// The open dialog's preview of a 144 MB scan (6000 x 4000 RGB, 16 bits): what a click on the file
// costs. The file is written once by kvaderon_make_tiff into the system's temporary folder.
#include "TiffPreview.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::filesystem::path LargeScan() {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "kvaderon-preview-bench.tif";
    if (!std::filesystem::exists(file)) {
        const std::string command = std::string(KVADERON_MAKE_TIFF) + " \"" + file.string() + "\" 6000 4000";
        if (std::system(command.c_str()) != 0)
            return {};
    }
    return file;
}

void BM_PreviewOfALargeScan(benchmark::State& AState) {
    const std::filesystem::path file = LargeScan();
    if (file.empty()) {
        AState.SkipWithError("could not write the test file");
        return;
    }
    for (auto _ : AState) {
        auto preview = kvaderon::MakeTiffPreview(file, 200);
        if (!preview.Refusal.empty())
            AState.SkipWithError(preview.Refusal.c_str());
        benchmark::DoNotOptimize(preview);
    }
}
BENCHMARK(BM_PreviewOfALargeScan)->Unit(benchmark::kMillisecond);

} // namespace
