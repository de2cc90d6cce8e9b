#include "CheckCommand.h"

#include "ChecksumCheck.h"
#include "JsonObject.h"
#include "PathText.h"
#include "StandardOutput.h"
#include "TerminalText.h"
#include "TextFormat.h"

#include <cstdio>

namespace kvaderon::cli {

namespace fs = std::filesystem;

namespace {

struct TCheckTotals {
    int Matches = 0;
    int Differs = 0;
    int Missing = 0;
    int Failed = 0; // unreadable files, lines of another form, lists that cannot be read

    int Files() const { return Matches + Differs + Missing + Failed; }
};

struct TVerdictWords {
    const char* Text; // of the text line
    const char* Name; // of the JSON record
};

// In the order of TChecksumVerdict.
constexpr TVerdictWords VerdictWords[] = {
    {"ОК", "ok"},
    {"НЕ СОВПАДАЕТ", "differs"},
    {"нет файла", "missing"},
    {"не прочитан", "unreadable"},
    {"строка не в формате sha256sum", "malformed"},
};

const char* VerdictText(TChecksumVerdict AVerdict) {
    return VerdictWords[std::size_t(AVerdict)].Text;
}

const char* VerdictName(TChecksumVerdict AVerdict) {
    return VerdictWords[std::size_t(AVerdict)].Name;
}

void Count(TCheckTotals& ATotals, TChecksumVerdict AVerdict) {
    switch (AVerdict) {
    case TChecksumVerdict::cvMatches:
        ++ATotals.Matches;
        break;
    case TChecksumVerdict::cvDiffers:
        ++ATotals.Differs;
        break;
    case TChecksumVerdict::cvMissing:
        ++ATotals.Missing;
        break;
    default:
        ++ATotals.Failed;
    }
}

std::string CheckLine(const fs::path& AList, const TChecksumCheck& ACheck, bool AColored) {
    const bool holds = ACheck.Verdict == TChecksumVerdict::cvMatches;
    const std::string where = ACheck.Verdict == TChecksumVerdict::cvMalformed
                                  ? PathToUtf8(AList) + ", строка " + std::to_string(ACheck.LineNumber)
                                  : ACheck.Name;
    TTextRuns runs = {{where, TColorRole::crFileName},
                      {": ", TColorRole::crSeparators},
                      {VerdictText(ACheck.Verdict), holds ? TColorRole::crOK : TColorRole::crError}};
    if (!ACheck.Error.empty())
        runs.push_back({": " + ACheck.Error, TColorRole::crError});
    runs.push_back({"\n", TColorRole::crNames});
    return RenderRuns(runs, AColored);
}

std::string CheckJson(const fs::path& AList, const TChecksumCheck& ACheck) {
    TJsonObject json;
    json.AddPath("List", PathToUtf8(AList));
    json.Add("Line", ACheck.LineNumber);
    if (ACheck.Verdict != TChecksumVerdict::cvMalformed)
        json.AddPath("File", ACheck.Name);
    json.Add("Result", std::string(VerdictName(ACheck.Verdict)));
    if (!ACheck.Expected.empty())
        json.Add("Expected", ACheck.Expected);
    if (!ACheck.Actual.empty())
        json.Add("Actual", ACheck.Actual);
    if (!ACheck.Error.empty())
        json.Add("Error", ACheck.Error);
    return json.Finish() + "\n";
}

std::string ListError(const fs::path& AList, const std::string& AError, bool AJson, bool AColored) {
    if (!AJson)
        return RenderRuns({{PathToUtf8(AList), TColorRole::crFileName},
                           {": ", TColorRole::crSeparators},
                           {AError, TColorRole::crError},
                           {"\n", TColorRole::crNames}},
                          AColored);
    TJsonObject json;
    json.AddPath("List", PathToUtf8(AList));
    json.Add("Result", std::string("failed"));
    json.Add("Error", AError);
    return json.Finish() + "\n";
}

std::string TotalsText(const TCheckTotals& ATotals, bool AJson) {
    if (AJson) {
        TJsonObject json;
        json.Add("Summary", true);
        json.Add("Files", ATotals.Files());
        json.Add("Ok", ATotals.Matches);
        json.Add("Differs", ATotals.Differs);
        json.Add("Missing", ATotals.Missing);
        json.Add("Failed", ATotals.Failed);
        return json.Finish() + "\n";
    }
    return FormatText("\nПроверено строк: %d; ОК: %d; НЕ СОВПАДАЕТ: %d; нет файла: %d; ошибок: %d\n",
                      {ATotals.Files(), ATotals.Matches, ATotals.Differs, ATotals.Missing, ATotals.Failed});
}

} // namespace

int RunCheck(const TCommandLine& ALine, bool AColored) {
    kvaderon::platform::TFileSystem& files = kvaderon::platform::SystemFileSystem();
    TCheckTotals totals;
    bool outputWorks = true;
    for (const std::string& name : ALine.Files) {
        const fs::path list = Utf8ToPath(name);
        const int before = totals.Files();
        try {
            CheckChecksumList(files, list, [&](const TChecksumCheck& ACheck) {
                Count(totals, ACheck.Verdict);
                outputWorks = outputWorks && WriteStandardOutput(ALine.Json ? CheckJson(list, ACheck)
                                                                            : CheckLine(list, ACheck, AColored));
            });
            if (totals.Files() == before)
                throw std::runtime_error(FormatText("В списке %s нет ни одной контрольной суммы", {PathToUtf8(list)}));
        } catch (const std::exception& error) {
            ++totals.Failed;
            outputWorks = outputWorks && WriteStandardOutput(ListError(list, error.what(), ALine.Json, AColored));
        }
        if (!outputWorks)
            return 1;
    }
    if (!WriteStandardOutput(TotalsText(totals, ALine.Json)))
        return 1;
    return totals.Files() > 0 && totals.Matches == totals.Files() ? 0 : 1;
}

} // namespace kvaderon::cli
