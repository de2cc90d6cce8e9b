#include "BatchTexts.h"

#include "PluralForms.h"
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
constexpr const char* notAttemptedLabel = "⏹ Не обработано:  %d ";

} // namespace

TTextRuns BuildFinalStatusText(const TProcessingState& AState) {
    const int processed = AState.ProcessedCount();
    const int skipped = AState.SkippedCount();
    const int errors = AState.ErrorCount();
    const int notAttempted = AState.NotAttemptedCount();
    const std::string time = AState.PureTimeStr();
    std::string text = (notAttempted > 0 ? "Прервано: " : "Готово: ") + ProcessedWord(processed);
    if (errors == 0 && skipped == 0 && notAttempted == 0)
        text += FormatText(" %d ", {processed}) + FilesWord(processed);
    else if (errors == 0 && skipped == 0)
        text += FormatText(" %d", {processed});
    else if (errors == 0)
        text += FormatText(" %d, ", {processed}) + SkippedWord(skipped) + FormatText(" %d", {skipped});
    else
        text +=
            FormatText(" %d, ", {processed}) + SkippedWord(skipped) + FormatText(" %d, ошибок %d", {skipped, errors});
    if (notAttempted > 0)
        text += FormatText(", не обработано %d", {notAttempted});
    text += FormatText(" за %s", {time});
    const TColorRole role = errors > 0         ? TColorRole::crError
                            : notAttempted > 0 ? TColorRole::crWarning
                                               : TColorRole::crOK;
    return {{text, role, false}};
}

TTextRuns BuildResultSummary(const TProcessingState& AState) {
    const int processed = AState.ProcessedCount();
    const int skipped = AState.SkippedCount();
    const int errors = AState.ErrorCount();
    const int notAttempted = AState.NotAttemptedCount();
    const char* heading = notAttempted > 0 ? "ОБРАБОТКА ПРЕРВАНА"
                          : errors > 0     ? "ОБРАБОТКА ЗАВЕРШЕНА С ОШИБКАМИ"
                          : skipped > 0    ? "ОБРАБОТКА ЗАВЕРШЕНА"
                                           : "ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!";
    const TColorRole headingRole = errors > 0         ? TColorRole::crError
                                   : notAttempted > 0 ? TColorRole::crWarning
                                                      : TColorRole::crOK;
    std::string statistics = "\nСТАТИСТИКА:\n" + CountLine(processedLabel, processed);
    if (errors > 0 || skipped > 0 || notAttempted > 0)
        statistics += CountLine(skippedLabel, skipped);
    if (errors > 0 || notAttempted > 0)
        statistics += CountLine(errorsLabel, errors);
    if (notAttempted > 0)
        statistics += CountLine(notAttemptedLabel, notAttempted);
    statistics += FormatText(errors > 0 ? "⏰ Время:          %s" : "▶ Время:          %s", {AState.PureTimeStr()});
    return {
        {std::string(heading) + "\n", headingRole, true},
        {statistics, TColorRole::crNames, false},
    };
}

TTextRuns BuildInterruptedRunLine(int ANotAttempted) {
    return {{FormatText("Обработка прервана: не обработано %d ", {ANotAttempted}) + FilesWord(ANotAttempted) + "\n",
             TColorRole::crWarning, true}};
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
