#include "OutcomeLine.h"

#include <mutex>

namespace kvaderon {

TTextRuns BuildOutcomeLine(int ALineNumber, const std::string& ATimeText, const std::string& AFileName,
                           const std::string& AMessage, bool AIsError) {
    const TColorRole messageRole = AIsError ? TColorRole::crError : TColorRole::crOK;
    return {
        {std::to_string(ALineNumber) + ". ", TColorRole::crNames, true},
        {ATimeText + " ", TColorRole::crNames, false},
        {AFileName + ": ", TColorRole::crFileName, false},
        {AMessage, messageRole, true},
        {"\n", messageRole, false},
    };
}

std::string LocalTimeText(std::time_t ATime) {
    // std::localtime returns a shared buffer; the lock makes the call safe from any thread.
    static std::mutex localTimeLock;
    std::tm parts{};
    {
        const std::lock_guard lock(localTimeLock);
        const std::tm* local = std::localtime(&ATime);
        if (local == nullptr)
            return "00:00:00";
        parts = *local;
    }
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &parts);
    return text;
}

std::string SuccessMessage(const std::vector<std::string>& APreviewNotes, bool AVerified) {
    std::vector<std::string> notes;
    if (AVerified)
        notes.push_back("проверено");
    notes.insert(notes.end(), APreviewNotes.begin(), APreviewNotes.end());
    std::string text = "ОК!";
    for (std::size_t i = 0; i < notes.size(); ++i)
        text += (i == 0 ? " (" : "; ") + notes[i];
    return notes.empty() ? text : text + ")";
}

std::string ExistingTargetMessage(TExistingTargetChoice AChoice) {
    switch (AChoice) {
    case TExistingTargetChoice::etcOverwrite:
        return "OK! (Перезаписан)";
    case TExistingTargetChoice::etcSkip:
        return "Пропущен пользователем";
    case TExistingTargetChoice::etcOverwriteAll:
        return "OK! (режим «перезаписать все»)";
    case TExistingTargetChoice::etcSkipAll:
        return "Пропущен пользователем (режим «пропустить все»)";
    case TExistingTargetChoice::etcKeepExisting:
        return "Пропущен: файл назначения уже существует";
    }
    return {};
}

} // namespace kvaderon
