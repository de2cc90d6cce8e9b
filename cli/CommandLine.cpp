#include "CommandLine.h"

#include "FileList.h"
#include "PathText.h"
#include "TargetPath.h"
#include "TextFormat.h"

#include <charconv>
#include <optional>

namespace kvaderon::cli {

namespace {

class TArgumentReader {
public:
    explicit TArgumentReader(const std::vector<std::string>& AArguments) : FArguments(AArguments) {}

    bool AtEnd() const { return FNext >= FArguments.size(); }
    const std::string& Take() { return FArguments[FNext++]; }

    // The value of option AName: after "=" in the same argument, or the next argument.
    std::string Value(const std::string& AName, const std::optional<std::string>& AInlineValue) {
        if (AInlineValue)
            return *AInlineValue;
        if (AtEnd())
            throw EUsageError(FormatText("Не указано значение параметра %s", {AName}));
        return Take();
    }

private:
    const std::vector<std::string>& FArguments;
    std::size_t FNext = 0;
};

unsigned ParseJobs(const std::string& AText) {
    unsigned jobs = 0;
    const char* end = AText.data() + AText.size();
    const auto [next, error] = std::from_chars(AText.data(), end, jobs);
    if (error != std::errc() || next != end || jobs == 0 || jobs > 1024)
        throw EUsageError(FormatText("Неверное значение параметра --jobs: %s", {AText}));
    return jobs;
}

std::string NamePart(const std::string& AName, std::string AValue) {
    if (!IsNamePart(AValue))
        throw EUsageError(FormatText("Неверное значение параметра %s: %s", {AName, NamePartRule}));
    return AValue;
}

TColorWhen ParseColor(const std::string& AText) {
    if (AText == "auto")
        return TColorWhen::cwAuto;
    if (AText == "always")
        return TColorWhen::cwAlways;
    if (AText == "never")
        return TColorWhen::cwNever;
    throw EUsageError(FormatText("Неверное значение параметра --color: %s", {AText}));
}

// Applies one option of the command; false when the command has no such option.
bool ApplyOption(TCommandLine& ALine, const std::string& AName, const std::optional<std::string>& AInlineValue,
                 TArgumentReader& AReader) {
    const bool invert = ALine.Command == TCommand::cmInvert;
    const bool naming = invert || ALine.Command == TCommand::cmVerify; // targets named as invert names them
    const auto flag = [&](bool& AField) {
        if (AInlineValue)
            throw EUsageError(FormatText("Параметр %s не принимает значения", {AName}));
        AField = true;
        return true;
    };
    if (AName == "--color")
        ALine.Color = ParseColor(AReader.Value(AName, AInlineValue));
    else if (AName == "--json")
        return flag(ALine.Json);
    else if (naming && AName == "--out")
        ALine.OutputFolder = AReader.Value(AName, AInlineValue);
    else if (naming && AName == "--prefix")
        ALine.Prefix = NamePart(AName, AReader.Value(AName, AInlineValue));
    else if (naming && AName == "--postfix")
        ALine.Postfix = NamePart(AName, AReader.Value(AName, AInlineValue));
    else if (invert && AName == "--jobs")
        ALine.Jobs = ParseJobs(AReader.Value(AName, AInlineValue));
    else if (invert && AName == "--overwrite")
        return flag(ALine.Overwrite);
    else if (naming && AName == "--invert-previews")
        return flag(ALine.InvertPreviews);
    else if (invert && AName == "--verify")
        return flag(ALine.Verify);
    else if (invert && AName == "--checksums")
        return flag(ALine.Checksums);
    else if (invert && AName == "--dry-run")
        return flag(ALine.DryRun);
    else if (ALine.Command != TCommand::cmCheck && AName == "--files-from")
        ALine.FilesFrom = AReader.Value(AName, AInlineValue);
    else if (ALine.Command != TCommand::cmCheck && AName == "--null")
        return flag(ALine.NullSeparated);
    else if (ALine.Command == TCommand::cmAnalyze && AName == "--depth-only")
        return flag(ALine.DepthOnly);
    else
        return false;
    return true;
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& AArguments) {
    TArgumentReader reader(AArguments);
    if (reader.AtEnd())
        throw EUsageError("Не указана команда");
    TCommandLine line;
    const std::string& command = reader.Take();
    if (command == "--help" || command == "-h")
        return line;
    if (command == "--version") {
        line.Command = TCommand::cmVersion;
        return line;
    }
    if (command == "invert")
        line.Command = TCommand::cmInvert;
    else if (command == "analyze")
        line.Command = TCommand::cmAnalyze;
    else if (command == "verify")
        line.Command = TCommand::cmVerify;
    else if (command == "check")
        line.Command = TCommand::cmCheck;
    else
        throw EUsageError(FormatText("Неизвестная команда: %s", {command}));

    bool optionsEnded = false;
    bool outputGiven = false;
    while (!reader.AtEnd()) {
        const std::string& argument = reader.Take();
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            line.Files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            line.Command = TCommand::cmHelp;
            return line;
        }
        const auto equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        std::optional<std::string> inlineValue;
        if (equals != std::string::npos)
            inlineValue = argument.substr(equals + 1);
        if (!ApplyOption(line, name, inlineValue, reader))
            throw EUsageError(FormatText("Неизвестный параметр: %s", {argument}));
        outputGiven = outputGiven || name == "--out";
    }
    if (!line.FilesFrom.empty()) {
        const std::vector<std::string> listed = ReadFileList(line.FilesFrom, line.NullSeparated);
        line.Files.insert(line.Files.end(), listed.begin(), listed.end());
    }
    if (line.Command == TCommand::cmInvert && (!outputGiven || line.OutputFolder.empty()))
        throw EUsageError("Не указана папка для сохранения (--out)");
    if (line.Command == TCommand::cmVerify && outputGiven && line.OutputFolder.empty())
        throw EUsageError("Не указана папка с позитивами (--out)");
    if (line.Command == TCommand::cmVerify && !outputGiven && line.Files.size() != 2)
        throw EUsageError("Укажите негатив и его позитив или папку с позитивами (--out)");
    if (line.Command == TCommand::cmCheck && line.Files.empty())
        throw EUsageError("Не указан список контрольных сумм");
    if (line.Files.empty())
        throw EUsageError("Сначала выберите файлы");
    return line;
}

std::vector<TInputFile> InputFilesOf(const TCommandLine& ALine) {
    std::vector<std::filesystem::path> paths;
    for (const std::string& file : ALine.Files)
        paths.push_back(Utf8ToPath(file));
    return ExpandInputPaths(paths);
}

std::string UsageText() {
    return "Использование:\n"
           "  kvaderon-cli invert --out ПАПКА [--prefix ТЕКСТ] [--postfix ТЕКСТ] [--overwrite]\n"
           "                      [--invert-previews] [--jobs N] [--verify] [--checksums] [--json]\n"
           "                      [--dry-run] [--color КОГДА] [--files-from СПИСОК [--null]] ФАЙЛ...\n"
           "  kvaderon-cli verify [--invert-previews] [--json] [--color КОГДА] НЕГАТИВ ПОЗИТИВ\n"
           "  kvaderon-cli verify --out ПАПКА [--prefix ТЕКСТ] [--postfix ТЕКСТ] [--invert-previews]\n"
           "                      [--json] [--color КОГДА] [--files-from СПИСОК [--null]] ФАЙЛ...\n"
           "  kvaderon-cli analyze [--json] [--depth-only] [--color КОГДА] [--files-from СПИСОК [--null]]\n"
           "                      ФАЙЛ...\n"
           "  kvaderon-cli check [--json] [--color КОГДА] СПИСОК...\n"
           "  kvaderon-cli --help | --version\n";
}

std::string HelpText() {
    return "kvaderon-cli: инверсия 16-битных несжатых TIFF-негативов без потерь и проверка\n"
           "16-битности данных.\n\n" +
           UsageText() +
           "\n"
           "invert: записывает инвертированную копию каждого ФАЙЛА в ПАПКУ (она создаётся при\n"
           "необходимости). Файл сохраняет своё имя; если он уже лежит в ПАПКЕ, копия получает имя\n"
           "ПРЕФИКС + имя без расширения + ПОСТФИКС + \".tif\".\n"
           "ФАЙЛ может быть папкой: она означает все файлы .tif и .tiff в ней и во вложенных папках\n"
           "(кроме скрытых и ссылок на папки); она сохраняет своё имя внутри ПАПКИ, как при cp -r,\n"
           "а если ПАПКА и есть она сама, копии ложатся рядом с негативами с префиксом и постфиксом.\n"
           "  --out ПАПКА        папка для сохранения\n"
           "  --prefix ТЕКСТ     префикс имени (по умолчанию \"! \")\n"
           "  --postfix ТЕКСТ    постфикс имени (по умолчанию пустой)\n"
           "  --overwrite        перезаписывать существующие файлы (иначе они пропускаются)\n"
           "  --invert-previews  инвертировать и встроенные несжатые миниатюры (уменьшенные копии),\n"
           "                     чтобы файловые менеджеры показывали позитив; сжатые (JPEG)\n"
           "                     остаются как есть, строка результата говорит об этом\n"
           "  --jobs N           сколько файлов обрабатывать одновременно (по умолчанию по числу\n"
           "                     процессоров)\n"
           "  --verify           прочитать записанную копию и сверить её с негативом до того, как\n"
           "                     она получит своё имя\n"
           "  --checksums        добавить SHA-256 каждого позитива в SHA256SUMS его папки\n"
           "                     (проверка: sha256sum -c SHA256SUMS)\n"
           "  --json             по одному объекту JSON на файл и строку, последним итог\n"
           "  --dry-run          только прочитать файлы и сказать, что было бы сделано\n"
           "Код завершения: 0, если ни один файл не завершился ошибкой; 3, если все ошибки таковы,\n"
           "что повтор может помочь (ошибка ввода-вывода, нет места на диске, файл заблокирован);\n"
           "1 при любой другой ошибке; 2 при неверных параметрах.\n"
           "\n"
           "verify: проверяет, что ПОЗИТИВ — точная инверсия НЕГАТИВА: та же длина, все байты вне\n"
           "изображения те же, каждый сэмпл инвертирован. С --out проверяет позитивы, которые\n"
           "invert с теми же --out, --prefix и --postfix записал бы для каждого ФАЙЛА.\n"
           "  --invert-previews  позитивы записаны с --invert-previews: миниатюры тоже инвертированы\n"
           "  --json             по одному объекту JSON на пару и строку, последним итог\n"
           "Код завершения: 0, если все пары сошлись; 3, если не удалось лишь прочитать пары по\n"
           "причинам, которые повтор может устранить; иначе 1; 2 при неверных параметрах.\n"
           "\n"
           "analyze: выводит для каждого ФАЙЛА отчёт о том, действительно ли его семплы 16-битные.\n"
           "  --json             по одному объекту JSON на файл и строку\n"
           "  --depth-only       без списка уникальных значений (быстрее)\n"
           "Код завершения: 0, если все файлы проанализированы без ошибок, иначе 1.\n"
           "\n"
           "check: проверяет файлы по СПИСКУ контрольных сумм (SHA256SUMS, как его пишет\n"
           "invert --checksums или sha256sum), как sha256sum -c: по строке на файл — \"ОК\",\n"
           "\"НЕ СОВПАДАЕТ\" или \"нет файла\". Имена в СПИСКЕ отсчитываются от его папки;\n"
           "строки с \"#\" в начале — комментарии.\n"
           "  --json             по одному объекту JSON на строку списка, последним итог\n"
           "Код завершения: 0, если все файлы совпали, иначе 1.\n"
           "\n"
           "  --files-from СПИСОК\n"
           "                     invert, verify, analyze: взять ещё имена файлов из СПИСКА, по одному\n"
           "                     на строку (\"-\": стандартный ввод)\n"
           "  --null             имена в СПИСКЕ разделены байтом NUL (find -print0)\n"
           "  --color КОГДА      цвета ANSI: auto (если вывод на терминал), always или never\n"
           "  --help             эта справка\n"
           "  --version          версия программы\n";
}

} // namespace kvaderon::cli
