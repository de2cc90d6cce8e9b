// kvaderon-cli: inverts 16-bit TIFF negatives and analyses their bit depth from the command line.
#include "AnalyzeCommand.h"
#include "CheckCommand.h"
#include "CommandLine.h"
#include "InvertCommand.h"
#include "StandardOutput.h"
#include "TempFiles.h"
#include "TerminalText.h"
#include "VerifyCommand.h"
#include "VersionText.h"
#include "platform/Console.h"
#include "platform/StandardDescriptors.h"
#include "platform/Wildcards.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

using namespace kvaderon;
using namespace kvaderon::cli;

namespace {

bool UseColors(TColorWhen AWhen) {
    return AWhen == TColorWhen::cwAlways || (AWhen == TColorWhen::cwAuto && cli::platform::IsStandardOutputTerminal());
}

int Run(const TCommandLine& ALine) {
    switch (ALine.Command) {
    case TCommand::cmHelp:
        return WriteStandardOutput(HelpText()) ? 0 : 1;
    case TCommand::cmVersion:
        return WriteStandardOutput("kvaderon-cli v." + FormatVersionText(KVADERON_VERSION) + "\n") ? 0 : 1;
    case TCommand::cmInvert:
        return RunInvert(ALine, UseColors(ALine.Color));
    case TCommand::cmAnalyze:
        return RunAnalyze(ALine, UseColors(ALine.Color));
    case TCommand::cmVerify:
        return RunVerify(ALine, UseColors(ALine.Color));
    case TCommand::cmCheck:
        return RunCheck(ALine, UseColors(ALine.Color));
    }
    return 2;
}

// Ends the program at a signal, leaving no temporary file behind.
[[noreturn]] void EndAtSignal(int AExitStatus) {
    RemoveTempFilesInFlight();
    cli::platform::RestoreConsole();
    std::_Exit(AExitStatus);
}

} // namespace

int main(int argc, char** argv) {
    if (!kvaderon::platform::OpenMissingStandardDescriptors())
        return 1;
    cli::platform::HandleTerminationSignals(EndAtSignal);
    cli::platform::PrepareConsole();
    TCommandLine line;
    try {
        line = ParseCommandLine(cli::platform::CommandLineArguments(argc, argv));
        line.Files = cli::platform::ExpandWildcards(line.Files);
    } catch (const EUsageError& error) {
        std::fprintf(stderr, "%s\n\n%s\nПодробнее: kvaderon-cli --help\n", EscapeControls(error.what(), true).c_str(),
                     UsageText().c_str());
        return 2;
    }
    int status = 1;
    try {
        status = Run(line);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", EscapeControls(error.what(), true).c_str());
    }
    // A signal from now on waits: the run is over and its status is the program's.
    CloseTempFileRecord();
    return status;
}
