// The arguments of kvaderon-cli: commands, options and the usage texts.
#pragma once

#include "DefaultSettings.h"
#include "InputFiles.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace kvaderon::cli {

enum class TCommand { cmHelp, cmVersion, cmInvert, cmAnalyze, cmVerify, cmCheck };
enum class TColorWhen { cwAuto, cwAlways, cwNever };

struct TCommandLine {
    TCommand Command = TCommand::cmHelp;
    TColorWhen Color = TColorWhen::cwAuto;
    std::vector<std::string> Files; // UTF-8, as given; for check the lists
    // invert, and verify with --out (without it, Files are a negative and its positive)
    std::string OutputFolder;
    std::string Prefix = DefaultAppSettings().Prefix;
    std::string Postfix = DefaultAppSettings().Postfix;
    bool Overwrite = false;
    bool InvertPreviews = false; // the uncompressed thumbnails too
    unsigned Jobs = 0;           // 0: one per processor
    bool Verify = false;
    bool Checksums = false;
    bool DryRun = false;
    // every command but help and version
    bool Json = false;
    // invert, verify and analyze: a file of further names ("-": standard input), NUL-separated
    std::string FilesFrom;
    bool NullSeparated = false;
    // analyze
    bool DepthOnly = false;
};

// A command line that cannot be run; the message says why, in Russian.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options take their value as the next argument or after "="; "--" ends the options.
TCommandLine ParseCommandLine(const std::vector<std::string>& AArguments);

// The files the command works on: every folder among ALine.Files stands for the TIFF files under it.
std::vector<TInputFile> InputFilesOf(const TCommandLine& ALine);

// The synopsis shown after a usage error.
std::string UsageText();
// The synopsis with every option explained.
std::string HelpText();

} // namespace kvaderon::cli
