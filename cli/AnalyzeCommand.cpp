#include "AnalyzeCommand.h"

#include "AnalysisJson.h"
#include "AnalysisReport.h"
#include "PathText.h"
#include "StandardOutput.h"
#include "TIFFBitDepthAnalyzer.h"
#include "TerminalText.h"

namespace kvaderon::cli {

int RunAnalyze(const TCommandLine& ALine, bool AColored) {
    const TTIFFBitDepthAnalyzer analyzer;
    const TAnalysisMode mode = ALine.DepthOnly ? TAnalysisMode::amDepthOnly : TAnalysisMode::amPrecise;
    bool allAnalysed = true;
    for (const TInputFile& input : InputFilesOf(ALine)) {
        const std::filesystem::path& path = input.Path;
        const std::string file = PathToUtf8(path);
        TBitDepthResult result;
        try {
            result = analyzer.AnalyzeBitDepth(path, mode);
        } catch (const std::exception& error) {
            result = {};
            result.Error = std::string("Ошибка при анализе: ") + error.what();
        }
        allAnalysed = allAnalysed && result.Error.empty();
        const std::string text = ALine.Json
                                     ? AnalysisResultJson(file, result) + "\n"
                                     : RenderRuns(BuildAnalysisReport(PathToUtf8(path.filename()), result), AColored);
        if (!WriteStandardOutput(text))
            return 1;
    }
    return allAnalysed ? 0 : 1;
}

} // namespace kvaderon::cli
