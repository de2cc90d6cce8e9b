// The window's batch run by a program: a new TForm1 over the given files, every dialog answered by
// a script (the result dialog closed), the destination folder chosen, no file manager opened.
#pragma once

#include <QStringList>

#include <filesystem>
#include <string>

namespace kvaderon::bench {

struct TWindowBatch {
    double Seconds = 0; // from the click on the invert button to the end of the result dialog
    std::string OutcomeLines;
    std::string Summary;
};

TWindowBatch RunWindowBatch(const QStringList& APaths, const std::filesystem::path& AOut);

QString Native(const std::filesystem::path& APath);

} // namespace kvaderon::bench
