// The coloured line that reports the outcome of one file of a batch run.
#pragma once

#include "ColorText.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace kvaderon {

// "12. 14:03:59 negative_012.tif: ОК!\n": the number and its full stop bold, number and time in
// the Names role, the file name with its colon in FileName, the message bold in OK or (AIsError)
// Error, and the closing line break regular in the message's role. ATimeText is shown as given.
TTextRuns BuildOutcomeLine(int ALineNumber, const std::string& ATimeText, const std::string& AFileName,
                           const std::string& AMessage, bool AIsError);

// The outcome of a positive written: "ОК!", with "проверено" when it was read back and checked
// before it took its name, and the notes about thumbnails left as they are: "ОК! (note; note)".
std::string SuccessMessage(const std::vector<std::string>& APreviewNotes = {}, bool AVerified = false);

// What a batch run does with a file whose target exists, for this file only or for every such
// file of the run as the user chose, or (etcKeepExisting) because overwriting was not asked for.
enum class TExistingTargetChoice : std::uint8_t {
    etcOverwrite,    // "OK! (Перезаписан)"
    etcSkip,         // "Пропущен пользователем"
    etcOverwriteAll, // "OK! (режим «перезаписать все»)"
    etcSkipAll,      // "Пропущен пользователем (режим «пропустить все»)"
    etcKeepExisting, // "Пропущен: файл назначения уже существует"
};

// The outcome message written when that choice is made (see above).
std::string ExistingTargetMessage(TExistingTargetChoice AChoice);

// The local time of ATime as "hh:nn:ss", hours 00 to 23.
std::string LocalTimeText(std::time_t ATime);

} // namespace kvaderon
