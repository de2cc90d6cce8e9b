// The texts that close or interrupt a batch run, built from its processing state.
#pragma once

#include "ColorText.h"
#include "ProcessingState.h"

#include <string>

namespace kvaderon {

// A run "ended early" has files of its list never attempted (TProcessingState::NotAttemptedCount).

// The one-line status after a run, e.g. "Готово: обработаны 3, пропущены 2 за 12 с", or for a run
// that ended early "Прервано: обработан 1, не обработано 2 за 1,0 с"; in the OK role, the Warning
// role for a run ended early, or the Error role when a file failed.
TTextRuns BuildFinalStatusText(const TProcessingState& AState);

// The statistics of the result summary in one of its four variants (ended early, errors, skips,
// none of these): a bold heading in the OK, Warning or Error role, then the counts and the pure
// time. The variant of a run ended early lists every count, the files never attempted included.
TTextRuns BuildResultSummary(const TProcessingState& AState);

// The last line of a run ended early with ANotAttempted files never attempted:
// "Обработка прервана: не обработано 2 файла".
TTextRuns BuildInterruptedRunLine(int ANotAttempted);

// The statistics shown when a run is interrupted before the file AFileName, with the conflict
// mode in force when there is one.
TTextRuns BuildInterruptionText(const TProcessingState& AState, const std::string& AFileName);

} // namespace kvaderon
