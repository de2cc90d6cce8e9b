// The texts that close or interrupt a batch run, built from its processing state.
#pragma once

#include "ColorText.h"
#include "ProcessingState.h"

#include <string>

namespace kvaderon {

// The one-line status after a run, e.g. "Готово: обработаны 3, пропущены 2 за 12 с"; in the OK
// role, or in the Error role when a file failed.
TTextRuns BuildFinalStatusText(const TProcessingState& AState);

// The statistics of the result summary in one of its three variants (no skips and no errors,
// skips, errors): a bold heading in the OK or Error role, then the counts and the pure time.
TTextRuns BuildResultSummary(const TProcessingState& AState);

// The statistics shown when a run is interrupted before the file AFileName, with the conflict
// mode in force when there is one.
TTextRuns BuildInterruptionText(const TProcessingState& AState, const std::string& AFileName);

} // namespace kvaderon
