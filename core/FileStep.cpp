#include "FileStep.h"

#include "ChecksumCheck.h"
#include "ChecksumList.h"
#include "InputFiles.h"
#include "PathText.h"
#include "RetryableFailure.h"
#include "TargetPath.h"
#include "TempFiles.h"
#include "Verification.h"

#include <chrono>

namespace kvaderon {

namespace fs = std::filesystem;

namespace {

TOutcomeLineData Line(const fs::path& AFile, std::string AMessage, bool AIsError) {
    return {std::time(nullptr), PathToUtf8(AFile.filename()), std::move(AMessage), AIsError};
}

// The error line of the input, after the lines decided before it.
void RecordError(TFileReport& AReport, const fs::path& AInput, const std::string& AReason, bool ARefused,
                 bool ARetry = false) {
    AReport.Lines.push_back(Line(AInput, AReason, true));
    AReport.Outcome = TFileOutcome::foError;
    AReport.Refused = ARefused;
    AReport.Reason = AReason;
    AReport.Retry = ARetry;
}

void RecordError(TFileReport& AReport, const fs::path& AInput, const std::exception& AError) {
    RecordError(AReport, AInput, AError.what(), dynamic_cast<const EInputRefused*>(&AError) != nullptr,
                IsRetryableFailure(AError));
}

bool IsOverwrite(TExistingTargetChoice AChoice) {
    return AChoice == TExistingTargetChoice::etcOverwrite || AChoice == TExistingTargetChoice::etcOverwriteAll;
}

void CreateTargetFolder(platform::TFileSystem& AFileSystem, const fs::path& ATarget) {
    if (AFileSystem.IsFolder(ATarget.parent_path()))
        return;
    try {
        AFileSystem.CreateFolders(ATarget.parent_path());
    } catch (const platform::ESystemError& error) {
        if (IsWriteRefusal(error.Code()))
            throw EDestinationRefused(ATarget.parent_path(), error.Code());
        throw;
    }
}

void Write(TTIFFInverterSingle& AInverter, platform::TFileSystem& AFileSystem, const TRunEntry& AEntry,
           const TFileStep& AStep, bool AOverwrite, TFileReport& AReport) {
    CreateTargetFolder(AFileSystem, AEntry.Target);
    TInversionOptions options = AStep.Options;
    options.Overwrite = AOverwrite;
    options.Hash = options.Hash || AStep.Checksums;
    AReport.Result = AInverter.Invert(AEntry.Input, AEntry.Target, options);
    AReport.Outcome = TFileOutcome::foProcessed;
    AReport.Overwritten = AOverwrite;
    AReport.Notes = AInverter.PreviewNotes();
    // Until its line is written the file is not done: a failure here is its error, and no line
    // below claims success.
    if (AStep.Checksums)
        RecordChecksum(AFileSystem, AEntry.Target, AReport.Result.Hashes.Output, AOverwrite);
    // The line of an overwritten file was written with the decision; a check or a thumbnail note is news.
    if (!AOverwrite || AReport.Result.Verified || !AInverter.PreviewNotes().empty())
        AReport.Lines.push_back(
            Line(AEntry.Target, SuccessMessage(AInverter.PreviewNotes(), AReport.Result.Verified), false));
    if (AStep.AfterWrite)
        AStep.AfterWrite(AEntry, AReport);
}

// A kept target without its checksum line (a run stopped between the rename and the line) gets
// the line once it is proven the inversion of its negative; a difference is the file's error.
void CompleteChecksumLine(TTIFFInverterSingle& AInverter, platform::TFileSystem& AFileSystem, const TRunEntry& AEntry,
                          TFileReport& AReport) {
    if (HasChecksumLine(AFileSystem, AEntry.Target))
        return;
    const TVerification verification =
        VerifyInversion(AFileSystem, AEntry.Input, AEntry.Target, AInverter.InvertsPreviews());
    if (!verification.Holds()) {
        RecordError(AReport, AEntry.Target, UnprovenTargetText + VerificationText(verification), false);
        return;
    }
    RecordChecksum(AFileSystem, AEntry.Target, FileSha256(AFileSystem, AEntry.Target), false);
    AReport.Lines.back().Message += std::string("; ") + ChecksumLineAddedText;
    AReport.Notes.push_back(ChecksumLineAddedText);
}

} // namespace

TFileReport InvertRunEntry(TTIFFInverterSingle& AInverter, platform::TFileSystem& AFileSystem, const TRunEntry& AEntry,
                           const TFileStep& AStep) {
    const auto started = std::chrono::steady_clock::now();
    TFileReport report;
    if (!AEntry.Error.empty()) {
        RecordError(report, AEntry.Input, AEntry.Error, true);
        return report;
    }
    // Overwriting is chosen only for a target that exists when it is checked. A failure of the
    // answer itself is the caller's, not the file's.
    bool targetExists = false;
    try {
        targetExists = IsOtherExistingFile(AEntry.Input, AEntry.Target, AFileSystem);
    } catch (const std::exception& error) {
        RecordError(report, AEntry.Input, error);
        return report;
    }
    if (targetExists) {
        const std::optional<TExistingTargetChoice> choice = AStep.AskExistingTarget(AEntry.Target);
        if (!choice) {
            report.Aborted = true;
            return report;
        }
        report.Lines.push_back(Line(AEntry.Target, ExistingTargetMessage(*choice), false));
        if (!IsOverwrite(*choice)) {
            report.Outcome = TFileOutcome::foSkipped;
            if (AStep.Checksums) {
                try {
                    CompleteChecksumLine(AInverter, AFileSystem, AEntry, report);
                } catch (const std::exception& error) {
                    RecordError(report, AEntry.Target, error);
                }
            }
            return report;
        }
    }
    try {
        Write(AInverter, AFileSystem, AEntry, AStep, targetExists, report);
    } catch (const EDestinationRefused& error) {
        report.DestinationRefused = true;
        report.Outcome = TFileOutcome::foError;
        report.Reason = error.what();
        report.Retry = IsRetryableFailure(error);
        report.Lines.push_back(Line(AEntry.Target.parent_path(), error.what(), true));
    } catch (const std::exception& error) {
        RecordError(report, AEntry.Input, error);
    }
    report.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return report;
}

std::string DestinationRefusal(platform::TFileSystem& AFileSystem, const fs::path& AOutputFolder) {
    fs::path existing = AOutputFolder;
    while (!existing.empty() && !AFileSystem.IsFolder(existing) && !AFileSystem.FileExists(existing))
        existing = existing.parent_path() == existing ? fs::path() : existing.parent_path();
    if (existing.empty())
        existing = ".";
    if (!AFileSystem.IsFolder(existing))
        return InvalidOutputFolderText;
    try {
        TTempFile probe = CreateTempFileInDestination(AFileSystem, existing / "probe", 0600);
        DiscardTempFile(AFileSystem, probe);
    } catch (const EDestinationRefused& error) {
        return error.what();
    } catch (const std::exception&) {
        // Any other failure is met by the run at the file it concerns.
    }
    return {};
}

} // namespace kvaderon
