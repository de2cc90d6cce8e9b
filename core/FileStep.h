// One file of a batch run, from its planned target to its outcome: the same step for the window
// and the command line, which differ only in how they answer an existing target.
#pragma once

#include "OutcomeLine.h"
#include "RunPlan.h"
#include "TiffInverterSingleThread.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kvaderon {

// The note of a kept target that lacked its checksum line and now has it.
inline constexpr const char* ChecksumLineAddedText = "строка SHA256SUMS добавлена после проверки";
// Before the first difference of a kept target without its checksum line.
inline constexpr const char* UnprovenTargetText =
    "Файл назначения без строки в SHA256SUMS не совпадает с инверсией негатива: ";

struct TOutcomeLineData {
    std::time_t Time = 0;
    std::string FileName;
    std::string Message;
    bool IsError = false;
};

enum class TFileOutcome { foProcessed, foSkipped, foError };

struct TFileReport {
    std::vector<TOutcomeLineData> Lines; // in the order they were decided
    TFileOutcome Outcome = TFileOutcome::foProcessed;
    bool Overwritten = false;       // an existing target was replaced
    bool Refused = false;           // an error that is the input's own fault (EInputRefused, the plan's)
    std::string Reason;             // of an error
    bool Retry = false;             // an error a later run may mend (an I/O error, a full disk, a lock)
    std::vector<std::string> Notes; // thumbnails left as they were; a kept target's checksum line added
    TInversionResult Result;        // of a processed file
    double Seconds = 0;
    // The run ends at this file, which is not counted: the user aborted at its existing target.
    bool Aborted = false;
    // The run ends at this file, which is not counted: its folder refuses new files. Reason and the
    // one line say so.
    bool DestinationRefused = false;
};

// How a run answers a target that exists and is not the input itself: a choice, or nothing to
// abort the run.
using TAskExistingTarget = std::function<std::optional<TExistingTargetChoice>(const std::filesystem::path& ATarget)>;

// Runs once a positive has taken its name; may add lines to the report, or make the file an
// error (the positive stays).
using TAfterWrite = std::function<void(const TRunEntry& AEntry, TFileReport& AReport)>;

struct TFileStep {
    TInversionOptions Options; // Overwrite is decided for each file
    TAskExistingTarget AskExistingTarget;
    TAfterWrite AfterWrite; // may be empty
    // A file is done only when its line is in the SHA256SUMS of its folder; a kept target that
    // lacks its line gets it once it is proven the inversion of its negative.
    bool Checksums = false;
};

// Inverts one planned file with AInverter: a planned error is that file's error line; an existing
// target is put to AStep.AskExistingTarget; the target's folder is made when missing. Every failure
// is the file's error, except a folder refusing new files (DestinationRefused). With
// AStep.Checksums a failed checksum line is the file's error too.
TFileReport InvertRunEntry(TTIFFInverterSingle& AInverter, platform::TFileSystem& AFileSystem, const TRunEntry& AEntry,
                           const TFileStep& AStep);

// What a run would meet at its destination AOutputFolder before any file is written: nothing when
// it may write there; InvalidOutputFolderText when the folder cannot be made (a file stands in its
// path); EDestinationRefused's message when the folder, or the nearest existing one above it,
// refuses new files. Leaves nothing behind: a temporary file made to find out is removed at once.
std::string DestinationRefusal(platform::TFileSystem& AFileSystem, const std::filesystem::path& AOutputFolder);

} // namespace kvaderon
