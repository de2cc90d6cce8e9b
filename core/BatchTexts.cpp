#include "BatchTexts.h"

#include "TextFormat.h"

namespace kvaderon {

namespace {

const std::string& FilesWord(std::int64_t ACount) {
    static const std::string one = "файл", few = "файла", many = "файлов";
    return GetPluralForm(ACount, one, few, many);
}

const std::string& ProcessedWord(std::int64_t ACount) {
    static const std::string one = "обработан", few = "обработаны", many = "обработано";
    return GetPluralForm(ACount, one, few, many);
}

const std::string& SkippedWord(std::int64_t ACount) {
    static const std::string one = "пропущен", few = "пропущены", many = "пропущено";
    return GetPluralForm(ACount, one, few, many);
}

// The statistics lines shared by the result summary and the interruption text.
std::string CountLine(const char* ALabel, int ACount) {
    return FormatText(ALabel, {ACount}) + FilesWord(ACount) + "\n";
}

constexpr const char* processedLabel = "✓ Обработано:     %d ";
constexpr const char* skippedLabel = "↷ Пропущено:      %d ";
constexpr const char* errorsLabel = "✗ С ошибками:     %d ";

} // namespace

TTextRuns BuildFinalStatusText(const TProcessingState& AState) {
    const int processed = AState.ProcessedCount();
    const int skipped = AState.SkippedCount();
    const int errors = AState.ErrorCount();
    const std::string time = AState.PureTimeStr();
    std::string text = "Готово: " + ProcessedWord(processed);
    if (errors == 0 && skipped == 0)
        text += FormatText(" %d ", {processed}) + FilesWord(processed) + FormatText(" за %s", {time});
    else if (errors == 0)
        text += FormatText(" %d, ", {processed}) + SkippedWord(skipped) + FormatText(" %d за %s", {skipped, time});
    else
        text += FormatText(" %d, ", {processed}) + SkippedWord(skipped) +
                FormatText(" %d, ошибок %d за %s", {skipped, errors, time});
    return {{text, errors == 0 ? TColorRole::crOK : TColorRole::crError, false}};
}

TTextRuns BuildResultSummary(const TProcessingState& AState) {
    const int processed = AState.ProcessedCount();
    const int skipped = AState.SkippedCount();
    const int errors = AState.ErrorCount();
    const char* heading = errors > 0    ? "ОБРАБОТКА ЗАВЕРШЕНА С ОШИБКАМИ"
                          : skipped > 0 ? "ОБРАБОТКА ЗАВЕРШЕНА"
                                        : "ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!";
    std::string statistics = "\nСТАТИСТИКА:\n" + CountLine(processedLabel, processed);
    if (errors > 0 || skipped > 0)
        statistics += CountLine(skippedLabel, skipped);
    if (errors > 0)
        statistics += CountLine(errorsLabel, errors);
    statistics += FormatText(errors > 0 ? "⏰ Время:          %s" : "▶ Время:          %s", {AState.PureTimeStr()});
    return {
        {std::string(heading) + "\n", errors > 0 ? TColorRole::crError : TColorRole::crOK, true},
        {statistics, TColorRole::crNames, false},
    };
}

TTextRuns BuildInterruptionText(const TProcessingState& AState, const std::string& AFileName) {
    TTextRuns runs{
        {"Обработка прервана на файле: ", TColorRole::crNames, false},
        {AFileName, TColorRole::crFileName, false},
        {"\n\nСТАТИСТИКА:\n" + CountLine(processedLabel, AState.ProcessedCount()) +
             CountLine(skippedLabel, AState.SkippedCount()) + CountLine(errorsLabel, AState.ErrorCount()) +
             FormatText("▶ Время:          %s", {AState.PureTimeStr()}),
         TColorRole::crNames, false},
    };
    switch (AState.ConflictMode()) {
    case TFileConflictMode::fcmOverwriteAll:
        runs.push_back({"\n\nТекущий режим: ПЕРЕЗАПИСАТЬ ВСЕ", TColorRole::crWarning, false});
        break;
    case TFileConflictMode::fcmSkipAll:
        runs.push_back({"\n\nТекущий режим: ПРОПУСТИТЬ ВСЕ", TColorRole::crWarning, false});
        break;
    case TFileConflictMode::fcmNone:
        break;
    }
    return runs;
}

} // namespace kvaderon
