#include "ProgramRun.h"

#include <fstream>
#include <sstream>

namespace kvaderon::test {

namespace {

// Read as text: the program's line ends, CRLF on Windows, come back as "\n".
std::string ReadText(const std::filesystem::path& APath) {
    std::ifstream stream(APath);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

} // namespace

TProgramResult RunProgram(const std::filesystem::path& AProgram, const std::vector<std::string>& AArguments,
                          const std::filesystem::path& AScratchFolder) {
    const auto outFile = AScratchFolder / "program.out";
    const auto errFile = AScratchFolder / "program.err";
    TProgramResult result;
    result.ExitCode = RunProgramToFiles(AProgram, AArguments, outFile, errFile);
    result.Out = ReadText(outFile);
    result.Err = ReadText(errFile);
    std::filesystem::remove(outFile);
    std::filesystem::remove(errFile);
    return result;
}

} // namespace kvaderon::test
