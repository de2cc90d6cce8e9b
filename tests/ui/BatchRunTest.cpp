// The batch run from the window: outcome lines, counters, progress and status, existing targets,
// interruption by the abort button and by Escape, the pure time, the result summary, closing the
// window mid-run, and files from the command line. Dialogs, shell, hook and clock are scripted.
#include "Form1Fixture.h"

#include "RunLayouts.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "TiffInverterSingleThread.h"

#include <QDialog>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTextDocument>

#include <stdexcept>

namespace {

namespace fs = std::filesystem;
using namespace kvaderon::test;

const QString FileExistsCaption = QStringLiteral("Файл уже существует");
const QString InterruptCaption = QStringLiteral("Прерывание процесса");
const QString ResultsCaption = QStringLiteral("Результаты обработки");

TImageLayout NegativeLayout() {
    TImageLayout layout;
    layout.SamplesPerPixel = 3;
    layout.Photometric = 2;
    return layout;
}

TBytes NegativeBytes() {
    return BuildImage(NegativeLayout()).Build();
}

// The same file with every sample inverted: what the positive must be, byte for byte.
TBytes PositiveBytes() {
    TImageLayout layout = NegativeLayout();
    layout.Samples = ImageSamples(layout);
    for (std::uint16_t& sample : layout.Samples)
        sample = std::uint16_t(~sample);
    return BuildImage(layout).Build();
}

const TBytes OldTarget = {'o', 'l', 'd'};

class BatchRunTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        fs::create_directories(In);
        fs::create_directories(Out);
        WatchLog();
    }

    // Every log line ends with a line break, so the lines written are the blocks but one.
    void WatchLog() {
        QObject::connect(Log(), &QTextDocument::blockCountChanged, Form.get(), [this](int ABlocks) {
            if (OnLogLine && ABlocks > 1)
                OnLogLine(ABlocks - 1);
        });
    }

    fs::path Negative(const std::string& AName) {
        WriteFile(In / AName, NegativeBytes());
        return In / AName;
    }
    fs::path Broken(const std::string& AName) {
        WriteFile(In / AName, {'n', 'o', 't', ' ', 't', 'i', 'f', 'f'});
        return In / AName;
    }
    void ExistingTarget(const std::string& AName) { WriteFile(Out / AName, OldTarget); }

    void Choose(const std::vector<fs::path>& AFiles) {
        QStringList files;
        for (const fs::path& file : AFiles)
            files.append(Native(file));
        Access().InputFiles() = files;
        Access().LastOpenFolder() = Native(In) + QDir::separator();
        Access().OutputFolder() = Native(Out) + QDir::separator();
        Access().UpdateButtons();
    }

    void Run() { Control<QPushButton>("btnInvert")->click(); }

    // The log's lines without their times.
    QStringList LogLines() const {
        static const QRegularExpression time(QStringLiteral(" \\d\\d:\\d\\d:\\d\\d "));
        QStringList lines = Log()->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString& line : lines)
            line.replace(time, QStringLiteral(" "));
        return lines;
    }

    QStringList Captions() const { return Script->Captions(); }

    const TDialogQuestion& Question(const QString& ACaption) const {
        for (const TDialogQuestion& question : Script->Questions)
            if (question.Caption == ACaption)
                return question;
        throw std::logic_error("no such question");
    }

    // Runs after every line the log gets, with the count of lines so far.
    std::function<void(int)> OnLogLine;
    TTempDir Dir;
    fs::path In = Dir / "in";
    fs::path Out = Dir / "out";
};

TEST_F(BatchRunTest, ThreeFilesWithTheSecondFailing) {
    Choose({Negative("a.tif"), Broken("b.tif"), Negative("c.tif")});
    QStringList progressAtLines;
    OnLogLine = [this, &progressAtLines](int) {
        progressAtLines.append(LabelText("lblStatus") + QStringLiteral(" @ ") +
                               QString::number(Control<QProgressBar>("ProgressBar2")->value()));
        EXPECT_TRUE(Control("btnCancel")->isEnabled());
        for (const char* idle : {"BitBtn1", "BitBtn2", "BitBtn5", "btnInvert", "btnTest"})
            EXPECT_FALSE(Control(idle)->isEnabled()) << idle;
        EXPECT_TRUE(Script->HookInstalled);
    };
    int progressAtResults = -1;
    Script->OnQuestion = [&](const TDialogQuestion&) {
        progressAtResults = Control<QProgressBar>("ProgressBar2")->value();
    };

    Run();

    std::string brokenMessage;
    try {
        kvaderon::TTIFFInverterSingle().InvertTIFF16Bit(In / "b.tif", Dir / "b.tif");
    } catch (const kvaderon::ETIFFError& error) {
        brokenMessage = error.what();
    }
    ASSERT_FALSE(brokenMessage.empty());
    EXPECT_EQ(LogLines(), (QStringList{QStringLiteral("1. a.tif: ОК!"),
                                       QStringLiteral("2. b.tif: ") + QString::fromStdString(brokenMessage),
                                       QStringLiteral("3. c.tif: ОК!")}));
    EXPECT_EQ(progressAtLines, (QStringList{QStringLiteral("Файл 1 из 3 @ 0"), QStringLiteral("Файл 2 из 3 @ 33"),
                                            QStringLiteral("Файл 3 из 3 @ 66")}));
    EXPECT_EQ(progressAtResults, 100);
    EXPECT_EQ(ReadFile(Out / "a.tif"), PositiveBytes());
    EXPECT_EQ(ReadFile(Out / "c.tif"), PositiveBytes());
    EXPECT_EQ(ReadFile(In / "a.tif"), NegativeBytes()) << "the input is never changed";
    EXPECT_EQ(std::distance(fs::directory_iterator(Out), fs::directory_iterator()), 2)
        << "b.tif not written, no temporary file left";

    ASSERT_EQ(Captions(), QStringList{ResultsCaption});
    const TDialogQuestion& results = Script->Questions[0];
    EXPECT_TRUE(results.Text.startsWith(QStringLiteral("ОБРАБОТКА ЗАВЕРШЕНА С ОШИБКАМИ\n")));
    EXPECT_EQ(results.ButtonCaptions, (QStringList{QStringLiteral("Открыть папку"), QStringLiteral("Закрыть")}));
    EXPECT_EQ(results.ButtonIndices, (QList<int>{0, 2}));
    EXPECT_EQ(results.MainIcon, 3);
    EXPECT_EQ(Script->HookInstalledAtQuestion, std::vector<bool>{false});

    EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Готово: обработаны 2, пропущено 0, ошибок 1 за <0,1 с"));
    EXPECT_FALSE(Control("btnCancel")->isEnabled());
    for (const char* idle : {"BitBtn1", "BitBtn2", "BitBtn5", "btnInvert", "btnTest"})
        EXPECT_TRUE(Control(idle)->isEnabled()) << idle;
    EXPECT_FALSE(Access().RunActive());
    EXPECT_EQ(Access().ProcessingState().TotalCount(), 0) << "reset after the run";
    auto* bar = Control<QProgressBar>("ProgressBar2");
    EXPECT_TRUE(WaitUntil([bar] { return bar->value() == 0; }));
}

// Targets a.tif and b.tif exist, c.tif does not; the first dialog gets FirstAnswer, a second one
// (if asked) "skip this file".
TEST_F(BatchRunTest, AnswersToAnExistingTarget) {
    struct TCase {
        int FirstAnswer;
        int Dialogs;
        QStringList Lines;
        QString Status;
        bool AReplaced;
        bool CWritten;
    };
    const QString ok = QStringLiteral("3. c.tif: ОК!");
    const QString overwriteAll = QStringLiteral(": OK! (режим «перезаписать все»)");
    const QString skipAll = QStringLiteral(": Пропущен пользователем (режим «пропустить все»)");
    const QString skipB = QStringLiteral("2. b.tif: Пропущен пользователем");
    for (const TCase& test : {
             TCase{100,
                   2,
                   {QStringLiteral("1. a.tif: OK! (Перезаписан)"), skipB, ok},
                   QStringLiteral("Готово: обработаны 2, пропущен 1 за <0,1 с"),
                   true,
                   true},
             TCase{101,
                   2,
                   {QStringLiteral("1. a.tif: Пропущен пользователем"), skipB, ok},
                   QStringLiteral("Готово: обработан 1, пропущены 2 за <0,1 с"),
                   false,
                   true},
             TCase{102,
                   1,
                   {QStringLiteral("1. a.tif") + overwriteAll, QStringLiteral("2. b.tif") + overwriteAll, ok},
                   QStringLiteral("Готово: обработаны 3 файла за <0,1 с"),
                   true,
                   true},
             TCase{103,
                   1,
                   {QStringLiteral("1. a.tif") + skipAll, QStringLiteral("2. b.tif") + skipAll, ok},
                   QStringLiteral("Готово: обработан 1, пропущены 2 за <0,1 с"),
                   false,
                   true},
             TCase{104,
                   1,
                   {QStringLiteral("Обработка прервана: не обработано 3 файла")},
                   QStringLiteral("Прервано: обработано 0, не обработано 3 за <0,1 с"),
                   false,
                   false},
             TCase{2,
                   1,
                   {QStringLiteral("Обработка прервана: не обработано 3 файла")},
                   QStringLiteral("Прервано: обработано 0, не обработано 3 за <0,1 с"),
                   false,
                   false},
         }) {
        SCOPED_TRACE(test.FirstAnswer);
        fs::remove_all(Out);
        fs::create_directories(Out);
        ExistingTarget("a.tif");
        ExistingTarget("b.tif");
        Choose({Negative("a.tif"), Negative("b.tif"), Negative("c.tif")});
        Script->Questions.clear();
        Script->HookInstalledAtQuestion.clear();
        Script->Answers = {test.FirstAnswer, 101, 101};

        Run();

        QStringList expectedCaptions(test.Dialogs, FileExistsCaption);
        expectedCaptions.append(ResultsCaption);
        EXPECT_EQ(Captions(), expectedCaptions) << "no interruption dialog";
        EXPECT_EQ(LogLines(), test.Lines);
        EXPECT_EQ(LabelText("lblStatus"), test.Status);
        EXPECT_EQ(ReadFile(Out / "a.tif"), test.AReplaced ? PositiveBytes() : OldTarget);
        EXPECT_EQ(fs::exists(Out / "c.tif"), test.CWritten);
        EXPECT_EQ(Script->HookInstalledAtQuestion.front(), true);

        const TDialogQuestion& exists = Script->Questions.front();
        EXPECT_EQ(exists.Text, QStringLiteral("Имя файла: a.tif\nПапка: ") + Native(Out) + QDir::separator() +
                                   QStringLiteral("\n\nВыберите действие:"));
        EXPECT_EQ(exists.ButtonCaptions,
                  (QStringList{QStringLiteral("Перезаписать этот файл"), QStringLiteral("Пропустить этот файл"),
                               QStringLiteral("Перезаписать ВСЕ файлы"), QStringLiteral("Пропустить ВСЕ файлы"),
                               QStringLiteral("Прервать обработку")}));
        EXPECT_EQ(exists.ButtonIndices, (QList<int>{0, 1, 3, 4, 5}));
        EXPECT_EQ(exists.MainIcon, 4);
    }
}

// Every way a run of a.tif, b.tif, c.tif can end, with what the result dialog, the log, the status
// and the progress bar say. A run that ended before the list's end says so whatever its counters.
TEST_F(BatchRunTest, EveryEndingOfARunIsReportedAsItHappened) {
    struct TEnding {
        const char* Name;
        bool BExists; // b.tif's target exists: the file-exists dialog comes up for it
        std::deque<int> Answers;
        // What happens while the run goes on: at a log line, or while a dialog is open.
        std::function<void(int)> AtLine;
        std::function<void(const TDialogQuestion&)> AtQuestion;
        QString Results; // the result dialog's text; empty when none is shown
        QStringList Lines;
        QString Status;
        int Progress;
    };
    const QString ok = QStringLiteral("1. a.tif: ОК!");
    const QString stopped1 = QStringLiteral("Обработка прервана: не обработано 1 файл");
    const QString stopped2 = QStringLiteral("Обработка прервана: не обработано 2 файла");
    const QString oneDoneTwoLeft =
        QStringLiteral("ОБРАБОТКА ПРЕРВАНА\n\nСТАТИСТИКА:\n✓ Обработано:     1 файл\n"
                       "↷ Пропущено:      0 файлов\n✗ С ошибками:     0 файлов\n"
                       "⏹ Не обработано:  2 файла\n▶ Время:          <0,1 с");
    const QString oneDoneTwoLeftStatus = QStringLiteral("Прервано: обработан 1, не обработано 2 за <0,1 с");
    const QString oneSkippedOneLeft =
        QStringLiteral("ОБРАБОТКА ПРЕРВАНА\n\nСТАТИСТИКА:\n✓ Обработано:     1 файл\n"
                       "↷ Пропущено:      1 файл\n✗ С ошибками:     0 файлов\n"
                       "⏹ Не обработано:  1 файл\n▶ Время:          <0,1 с");
    const QString oneSkippedOneLeftStatus =
        QStringLiteral("Прервано: обработан 1, пропущен 1, не обработано 1 за <0,1 с");
    const QString skipAllLine = QStringLiteral("2. b.tif: Пропущен пользователем (режим «пропустить все»)");
    const auto abortAfterLine1 = [this](int ALine) {
        if (ALine == 1)
            Control<QPushButton>("btnCancel")->click();
    };
    const auto escapeInExists = [this](const TDialogQuestion& AQuestion) {
        if (AQuestion.Caption == FileExistsCaption)
            Script->PressEscape();
    };
    const std::vector<TEnding> endings{
        {"the list's end",
         false,
         {},
         {},
         {},
         QStringLiteral("ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!\n\nСТАТИСТИКА:\n✓ Обработано:     3 файла\n"
                        "▶ Время:          <0,1 с"),
         {ok, QStringLiteral("2. b.tif: ОК!"), QStringLiteral("3. c.tif: ОК!")},
         QStringLiteral("Готово: обработаны 3 файла за <0,1 с"),
         100},
        {"interruption dialog: end",
         false,
         {100},
         abortAfterLine1,
         {},
         oneDoneTwoLeft,
         {ok, stopped2},
         oneDoneTwoLeftStatus,
         33},
        {"interruption dialog: close box",
         false,
         {2},
         abortAfterLine1,
         {},
         oneDoneTwoLeft,
         {ok, stopped2},
         oneDoneTwoLeftStatus,
         33},
        {"file-exists dialog: abort", true, {104}, {}, {}, oneDoneTwoLeft, {ok, stopped2}, oneDoneTwoLeftStatus, 33},
        {"file-exists dialog: close box", true, {2}, {}, {}, oneDoneTwoLeft, {ok, stopped2}, oneDoneTwoLeftStatus, 33},
        {"Escape in the file-exists dialog, skip all, end",
         true,
         {103, 100},
         {},
         escapeInExists,
         oneSkippedOneLeft,
         {ok, skipAllLine, stopped1},
         oneSkippedOneLeftStatus,
         66},
        {"Escape in the file-exists dialog, skip all, continue",
         true,
         {103, 101},
         {},
         escapeInExists,
         QStringLiteral("ОБРАБОТКА ЗАВЕРШЕНА\n\nСТАТИСТИКА:\n✓ Обработано:     2 файла\n"
                        "↷ Пропущено:      1 файл\n▶ Время:          <0,1 с"),
         {ok, skipAllLine, QStringLiteral("3. c.tif: ОК!")},
         QStringLiteral("Готово: обработаны 2, пропущен 1 за <0,1 с"),
         100},
        {"window closed in the file-exists dialog, skip",
         true,
         {101},
         {},
         [this](const TDialogQuestion&) { Form->close(); },
         {},
         {ok, QStringLiteral("2. b.tif: Пропущен пользователем"), stopped1},
         oneSkippedOneLeftStatus,
         66},
        {"unexpected failure",
         true,
         {},
         {},
         [](const TDialogQuestion& AQuestion) {
             if (AQuestion.Caption == FileExistsCaption)
                 throw std::runtime_error("сбой");
         },
         QStringLiteral("ОБРАБОТКА ПРЕРВАНА\n\nСТАТИСТИКА:\n✓ Обработано:     1 файл\n"
                        "↷ Пропущено:      0 файлов\n✗ С ошибками:     1 файл\n"
                        "⏹ Не обработано:  1 файл\n⏰ Время:          <0,1 с"),
         {ok, QStringLiteral("2. b.tif: сбой"), stopped1},
         QStringLiteral("Прервано: обработан 1, пропущено 0, ошибок 1, не обработано 1 за <0,1 с"),
         66},
    };
    for (const TEnding& ending : endings) {
        SCOPED_TRACE(ending.Name);
        Script = std::make_shared<TScript>();
        Form = MakeForm();
        WatchLog();
        fs::remove_all(Out);
        fs::create_directories(Out);
        if (ending.BExists)
            ExistingTarget("b.tif");
        Choose({Negative("a.tif"), Negative("b.tif"), Negative("c.tif")});
        Script->Answers = ending.Answers;
        OnLogLine = ending.AtLine;
        Script->OnQuestion = ending.AtQuestion;

        Run();

        EXPECT_EQ(Captions().contains(ResultsCaption), !ending.Results.isEmpty());
        if (!ending.Results.isEmpty()) {
            EXPECT_EQ(Question(ResultsCaption).Text, ending.Results);
        }
        EXPECT_EQ(LogLines(), ending.Lines);
        EXPECT_EQ(LabelText("lblStatus"), ending.Status);
        EXPECT_EQ(Control<QProgressBar>("ProgressBar2")->value(), ending.Progress);
        EXPECT_EQ(fs::exists(Out / "c.tif"), ending.Progress == 100) << "c.tif is attempted only at the end";
    }
}

// The help button in the middle of a run opens the help window; the log keeps every line and the
// run goes on to its end.
TEST_F(BatchRunTest, HelpDuringARunLeavesTheLogAndTheRunAlone) {
    Choose({Negative("a.tif"), Negative("b.tif"), Negative("c.tif")});
    OnLogLine = [this](int ALine) {
        if (ALine == 1)
            Control<QToolButton>("SpeedButton1")->click();
    };
    Run();
    EXPECT_EQ(LogLines(), (QStringList{QStringLiteral("1. a.tif: ОК!"), QStringLiteral("2. b.tif: ОК!"),
                                       QStringLiteral("3. c.tif: ОК!")}));
    auto* help = Form->findChild<QDialog*>(QStringLiteral("HelpWindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(Question(ResultsCaption).Text.startsWith(QStringLiteral("ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!\n")));
}

TEST_F(BatchRunTest, AnOverwrittenTargetThatFailsShowsTheDecisionAndTheError) {
    ExistingTarget("b.tif");
    Choose({Broken("b.tif")});
    Script->Answers = {100};
    Run();
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("1. b.tif: OK! (Перезаписан)"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1. b.tif: "))) << lines[1].toStdString();
    EXPECT_EQ(ReadFile(Out / "b.tif"), OldTarget);
}

// Escape while a dialog is open. Only the file-exists dialog runs with the hook installed.
TEST_F(BatchRunTest, EscapeWhileADialogIsOpen) {
    struct TCase {
        const char* Name;
        bool BExists;
        QString EscapeIn;
        std::deque<int> Answers;
        QStringList Captions;
        QStringList Lines;
        QString Status;
    };
    const QStringList existsInterruptResults{FileExistsCaption, InterruptCaption, ResultsCaption};
    for (const TCase& test : {
             TCase{"first button: written, then the interruption",
                   true,
                   FileExistsCaption,
                   {100, 100},
                   existsInterruptResults,
                   {QStringLiteral("1. b.tif: OK! (Перезаписан)"),
                    QStringLiteral("Обработка прервана: не обработано 1 файл")},
                   QStringLiteral("Прервано: обработан 1, не обработано 1 за <0,1 с")},
             TCase{"second button: skip counted, then the interruption",
                   true,
                   FileExistsCaption,
                   {101},
                   existsInterruptResults,
                   {QStringLiteral("1. b.tif: Пропущен пользователем"),
                    QStringLiteral("Обработка прервана: не обработано 1 файл")},
                   QStringLiteral("Прервано: обработано 0, пропущен 1, не обработано 1 за <0,1 с")},
             TCase{"interruption dialog: no effect",
                   false,
                   InterruptCaption,
                   {101},
                   {InterruptCaption, ResultsCaption},
                   {QStringLiteral("1. b.tif: ОК!"), QStringLiteral("2. c.tif: ОК!")},
                   QStringLiteral("Готово: обработаны 2 файла за <0,1 с")},
             TCase{"result dialog: no effect",
                   false,
                   ResultsCaption,
                   {101},
                   {ResultsCaption},
                   {QStringLiteral("1. b.tif: ОК!"), QStringLiteral("2. c.tif: ОК!")},
                   QStringLiteral("Готово: обработаны 2 файла за <0,1 с")},
         }) {
        SCOPED_TRACE(test.Name);
        fs::remove_all(Out);
        fs::create_directories(Out);
        if (test.BExists)
            ExistingTarget("b.tif");
        Choose({Negative("b.tif"), Negative("c.tif")});
        Script->Questions.clear();
        Script->Answers = test.Answers;
        // The interruption dialog is reached through the abort button after the first line.
        OnLogLine = [this, &test](int ALine) {
            if (test.EscapeIn == InterruptCaption && ALine == 1)
                Control<QPushButton>("btnCancel")->click();
        };
        Script->OnQuestion = [this, &test](const TDialogQuestion& AQuestion) {
            if (AQuestion.Caption != test.EscapeIn)
                return;
            const QString statusBefore = LabelText("lblStatus");
            Script->PressEscape();
            if (Script->HookInstalled) {
                EXPECT_TRUE(Access().CancelRequested());
                EXPECT_FALSE(Control("btnCancel")->isEnabled());
                EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Обнаружено нажатие Escape..."));
            } else {
                EXPECT_EQ(LabelText("lblStatus"), statusBefore);
            }
        };

        Run();

        EXPECT_EQ(Captions(), test.Captions);
        EXPECT_EQ(LogLines(), test.Lines);
        EXPECT_EQ(LabelText("lblStatus"), test.Status);
        EXPECT_FALSE(Script->HookInstalled) << "removed after the run";
    }
}

TEST_F(BatchRunTest, InterruptionBetweenFilesThenContinueOrEnd) {
    for (const int answer : {101, 100, 2}) {
        SCOPED_TRACE(answer);
        fs::remove_all(Out);
        fs::create_directories(Out);
        Choose({Negative("a.tif"), Negative("b.tif"), Negative("c.tif"), Negative("d.tif")});
        Script->Questions.clear();
        Script->Answers = {answer};
        const int installsBefore = Script->HookInstallCount;
        bool cancelEnabledAfterResume = false;
        OnLogLine = [this, &cancelEnabledAfterResume](int ALine) {
            if (ALine == 1) { // two requests between two files: one dialog
                Control<QPushButton>("btnCancel")->click();
                Script->PressEscape();
                EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Обнаружено нажатие Escape..."));
            }
            if (ALine == 2)
                cancelEnabledAfterResume = Control("btnCancel")->isEnabled();
        };

        Run();

        const QStringList captions = Captions();
        ASSERT_EQ(captions, (QStringList{InterruptCaption, ResultsCaption}));
        EXPECT_EQ(Script->Questions[0].Text, QStringLiteral("Обработка прервана на файле: b.tif\n\nСТАТИСТИКА:\n"
                                                            "✓ Обработано:     1 файл\n"
                                                            "↷ Пропущено:      0 файлов\n"
                                                            "✗ С ошибками:     0 файлов\n"
                                                            "▶ Время:          <0,1 с"));
        EXPECT_EQ(Script->Questions[0].ButtonCaptions,
                  (QStringList{QStringLiteral("Завершить обработку"), QStringLiteral("Продолжить с этого файла")}));
        EXPECT_EQ(Script->Questions[0].ButtonIndices, (QList<int>{0, 2}));
        EXPECT_EQ(Script->Questions[0].MainIcon, 4);
        EXPECT_EQ(Script->HookInstalledAtQuestion.back(), false);
        if (answer == 101) {
            EXPECT_EQ(LogLines(), (QStringList{QStringLiteral("1. a.tif: ОК!"), QStringLiteral("2. b.tif: ОК!"),
                                               QStringLiteral("3. c.tif: ОК!"), QStringLiteral("4. d.tif: ОК!")}));
            EXPECT_TRUE(cancelEnabledAfterResume);
            EXPECT_EQ(Script->HookInstallCount, installsBefore + 2) << "installed again on resuming";
        } else {
            EXPECT_EQ(LogLines(), (QStringList{QStringLiteral("1. a.tif: ОК!"),
                                               QStringLiteral("Обработка прервана: не обработано 3 файла")}));
            EXPECT_FALSE(fs::exists(Out / "b.tif"));
            EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Прервано: обработан 1, не обработано 3 за <0,1 с"));
        }
    }
}

TEST_F(BatchRunTest, InterruptionTextNamesTheConflictMode) {
    for (const auto& [answer, modeLine] : {std::pair{102, QStringLiteral("\n\nТекущий режим: ПЕРЕЗАПИСАТЬ ВСЕ")},
                                           std::pair{103, QStringLiteral("\n\nТекущий режим: ПРОПУСТИТЬ ВСЕ")}}) {
        fs::remove_all(Out);
        fs::create_directories(Out);
        ExistingTarget("a.tif");
        Choose({Negative("a.tif"), Negative("b.tif"), Negative("c.tif")});
        Script->Questions.clear();
        Script->Answers = {answer, 100};
        OnLogLine = [this](int ALine) {
            if (ALine == 2)
                Control<QPushButton>("btnCancel")->click();
        };
        Run();
        ASSERT_EQ(Captions(), (QStringList{FileExistsCaption, InterruptCaption, ResultsCaption}));
        EXPECT_TRUE(Script->Questions[1].Text.endsWith(modeLine)) << answer;
    }
}

TEST_F(BatchRunTest, AnAbortDuringTheLastFileHasNoEffect) {
    Choose({Negative("a.tif"), Negative("b.tif")});
    OnLogLine = [this](int ALine) {
        if (ALine == 2)
            Control<QPushButton>("btnCancel")->click();
    };
    Run();
    EXPECT_EQ(Captions(), QStringList{ResultsCaption});
    EXPECT_EQ(LogLines().size(), 2);
}

// Each pass past the first advances the clock by a second; every dialog, the settings dialog
// opened during the run included, takes an hour.
TEST_F(BatchRunTest, PureTimeLeavesOutTheTimeInDialogs) {
    ExistingTarget("a.tif");
    Choose({Negative("a.tif"), Negative("b.tif"), Negative("c.tif")});
    QObject::connect(Control<QProgressBar>("ProgressBar2"), &QProgressBar::valueChanged, Form.get(),
                     [this](int) { Script->Clock += 1000; });
    Script->OnQuestion = [this](const TDialogQuestion&) { Script->Clock += 3'600'000; };
    Script->OnEditSettings = [this] { Script->Clock += 3'600'000; };
    Script->Answers = {100, 101, 101};
    OnLogLine = [this](int ALine) {
        if (ALine == 1)
            Control<QPushButton>("btnCancel")->click();
        if (ALine == 2)
            Control<QToolButton>("SpeedButton2")->click();
    };
    Run();
    ASSERT_EQ(Captions(), (QStringList{FileExistsCaption, InterruptCaption, ResultsCaption}));
    EXPECT_TRUE(Script->Questions[2].Text.endsWith(QStringLiteral("▶ Время:          2,0 с")));
    EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Готово: обработаны 3 файла за 2,0 с"));
    EXPECT_EQ(Script->EditedSettings.size(), 1u);
}

TEST_F(BatchRunTest, ResultSummaryVariantsAndTheDestinationFolder) {
    struct TCase {
        bool Skip;
        bool Fail;
        int Answer;
        bool ShellSucceeds;
        QString Heading;
        QStringList Opened;
        bool ErrorShown;
    };
    const QString folder = Native(Out) + QDir::separator();
    for (const TCase& test : {
             TCase{false, false, 100, true, QStringLiteral("ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!"), {folder}, false},
             TCase{true, false, 101, true, QStringLiteral("ОБРАБОТКА ЗАВЕРШЕНА"), {}, false},
             TCase{false, true, 2, true, QStringLiteral("ОБРАБОТКА ЗАВЕРШЕНА С ОШИБКАМИ"), {}, false},
             TCase{false, false, 100, false, QStringLiteral("ОБРАБОТКА УСПЕШНО ЗАВЕРШЕНА!"), {folder}, true},
         }) {
        SCOPED_TRACE(test.Heading.toStdString());
        fs::remove_all(Out);
        fs::create_directories(Out);
        std::vector<fs::path> files{Negative("a.tif")};
        if (test.Skip) {
            ExistingTarget("b.tif");
            files.push_back(Negative("b.tif"));
        }
        if (test.Fail)
            files.push_back(Broken("x.tif"));
        Choose(files);
        Script->Questions.clear();
        Script->OpenedFolders.clear();
        Script->OpenFolderSucceeds = test.ShellSucceeds;
        Script->Answers = test.Skip ? std::deque<int>{101, test.Answer} : std::deque<int>{test.Answer};

        Run();

        EXPECT_TRUE(Question(ResultsCaption).Text.startsWith(test.Heading + QLatin1Char('\n')));
        EXPECT_EQ(Script->OpenedFolders, test.Opened);
        EXPECT_EQ(Captions().contains(QStringLiteral("Ошибка")), test.ErrorShown);
        if (test.ErrorShown) {
            EXPECT_EQ(Question(QStringLiteral("Ошибка")).Text, QStringLiteral("Не удалось открыть папку: ") + folder);
        }
    }
}

TEST_F(BatchRunTest, StartChecksAndACreatedDestination) {
    Access().OutputFolder() = Native(Out);
    Control<QPushButton>("btnInvert")->setEnabled(true);
    Run();
    EXPECT_EQ(Captions(), QStringList{QStringLiteral("Предупреждение")});
    EXPECT_EQ(Script->Questions[0].Text, QStringLiteral("Сначала выберите файлы"));

    WriteFile(Dir / "plain-file", {'x'});
    Choose({Negative("a.tif")});
    Access().OutputFolder() = Native(Dir / "plain-file" / "sub");
    Run();
    EXPECT_EQ(Script->Questions.back().Text, QStringLiteral("Неверная папка для сохранения"));
    EXPECT_EQ(Script->Questions.back().Caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(LogLines().isEmpty()) << "nothing ran";

    Access().OutputFolder() = Native(Dir / "new" / "nested");
    Run();
    EXPECT_EQ(ReadFile(Dir / "new" / "nested" / "a.tif"), PositiveBytes());
}

// The naming rule is decided per file: a file lying in the destination (however the folder is
// spelled) gets prefix and postfix, a file from elsewhere keeps its name, in one run. No target
// exists, so no dialog comes up.
TEST_F(BatchRunTest, TargetNamesFollowEachFilesOwnFolder) {
    const QString sep = QDir::separator();
    for (const QString& destination : QStringList{Native(Out) + sep, Native(Out), Native(Out / ".." / "out") + sep,
                                                  Native(In / ".." / "out" / ".")}) {
        SCOPED_TRACE(destination.toStdString());
        fs::remove_all(Out);
        fs::create_directories(Out);
        WriteFile(Out / "c.tiff", NegativeBytes());
        Choose({Negative("a.tif"), Out / "c.tiff"});
        Access().OutputFolder() = destination;
        Access().Settings().Postfix = "_pos";
        Script->Questions.clear();
        Run();
        EXPECT_EQ(Captions(), QStringList{ResultsCaption});
        EXPECT_EQ(LogLines(), (QStringList{QStringLiteral("1. a.tif: ОК!"), QStringLiteral("2. ! c_pos.tif: ОК!")}));
        EXPECT_EQ(ReadFile(Out / "a.tif"), PositiveBytes());
        EXPECT_EQ(ReadFile(Out / "! c_pos.tif"), PositiveBytes());
    }
}

// Two rolls dropped on the window, each restarting its frame numbers: each frame gets a positive of
// its own under its roll's name, and no dialog comes up.
TEST_F(BatchRunTest, TwoRollsWithTheSameFrameNamesKeepEveryFrame) {
    for (const char* roll : {"Roll1", "Roll2"}) {
        fs::create_directories(In / roll);
        WriteFile(In / roll / "scan0001.tif", LayoutNegative(roll[4] == '1' ? 1 : 2));
    }
    Form->OpenFiles({Native(In / "Roll1"), Native(In / "Roll2")});
    Access().OutputFolder() = Native(Out) + QDir::separator();
    Access().UpdateButtons();
    Run();
    EXPECT_EQ(Captions(), QStringList{ResultsCaption});
    EXPECT_EQ(LogLines(),
              (QStringList{QStringLiteral("1. scan0001.tif: ОК!"), QStringLiteral("2. scan0001.tif: ОК!")}));
    EXPECT_EQ(ReadFile(Out / "Roll1" / "scan0001.tif"), LayoutPositive(1));
    EXPECT_EQ(ReadFile(Out / "Roll2" / "scan0001.tif"), LayoutPositive(2));
}

// With the setting on, every positive is read back and checked before it takes its name, and its
// line says so; an overwritten file's decision line comes first, as without the check.
TEST_F(BatchRunTest, WithVerifyOnEachWrittenPositiveIsCheckedAndSaysSo) {
    ExistingTarget("a.tif");
    Choose({Negative("a.tif"), Negative("b.tif")});
    Access().Settings().VerifyAfterWrite = true;
    Script->Answers = {100};
    Run();
    EXPECT_EQ(LogLines(),
              (QStringList{QStringLiteral("1. a.tif: OK! (Перезаписан)"), QStringLiteral("1. a.tif: ОК! (проверено)"),
                           QStringLiteral("2. b.tif: ОК! (проверено)")}));
    EXPECT_EQ(ReadFile(Out / "a.tif"), PositiveBytes());
    EXPECT_EQ(ReadFile(Out / "b.tif"), PositiveBytes());
}

// A target that is the input itself, under its own name (empty prefix and postfix) or through a
// hard link, is refused as that file's error and never offered for overwriting.
TEST_F(BatchRunTest, ATargetThatIsTheInputItselfIsRefusedWithoutTheFileExistsDialog) {
    WriteFile(Out / "c.tif", NegativeBytes());
    const fs::path linked = Negative("a.tif");
    fs::create_hard_link(linked, Out / "a.tif");
    Choose({Out / "c.tif", linked});
    Access().Settings().Prefix = "";
    Access().Settings().Postfix = "";
    Script->Answers = {100, 100};
    Run();
    EXPECT_EQ(Captions(), QStringList{ResultsCaption});
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString prefix =
            QString::number(i + 1) + (i == 0 ? QStringLiteral(". c.tif: ") : QStringLiteral(". a.tif: "));
        EXPECT_TRUE(lines[i].startsWith(prefix) && lines[i].contains(QStringLiteral("один и тот же файл")))
            << lines[i].toStdString();
    }
    EXPECT_EQ(ReadFile(Out / "c.tif"), NegativeBytes());
    EXPECT_EQ(ReadFile(In / "a.tif"), NegativeBytes());
    EXPECT_TRUE(Question(ResultsCaption).Text.startsWith(QStringLiteral("ОБРАБОТКА ЗАВЕРШЕНА С ОШИБКАМИ\n")));
}

TEST_F(BatchRunTest, ClosingTheWindowMidRunEndsTheRunThenCloses) {
    const fs::path settingsFile = Dir / "kvaderon.ini";
    Form = MakeForm(settingsFile);
    ExistingTarget("a.tif");
    Choose({Negative("a.tif"), Negative("b.tif")});
    Script->Answers = {100};
    Script->OnQuestion = [this, &settingsFile](const TDialogQuestion&) {
        Form->close();
        EXPECT_FALSE(fs::exists(settingsFile)) << "nothing is freed while the run goes on";
    };
    Run();
    EXPECT_EQ(Captions(), QStringList{FileExistsCaption}) << "no interruption, no results";
    EXPECT_EQ(LogLines(), (QStringList{QStringLiteral("1. a.tif: OK! (Перезаписан)"),
                                       QStringLiteral("Обработка прервана: не обработано 1 файл")}));
    EXPECT_EQ(ReadFile(Out / "a.tif"), PositiveBytes());
    EXPECT_FALSE(fs::exists(Out / "b.tif"));
    EXPECT_TRUE(WaitUntil([&settingsFile] { return fs::exists(settingsFile); }));
    EXPECT_FALSE(Script->HookInstalled);
    EXPECT_EQ(std::distance(fs::directory_iterator(Out), fs::directory_iterator()), 1) << "no temporary file left";
}

TEST_F(BatchRunTest, AnUnexpectedFailureEndsTheRunAndRestoresTheWindow) {
    ExistingTarget("a.tif");
    Choose({Negative("a.tif"), Negative("b.tif")});
    Script->OnQuestion = [](const TDialogQuestion& AQuestion) {
        if (AQuestion.Caption == FileExistsCaption)
            throw std::runtime_error("сбой");
    };
    Run();
    EXPECT_EQ(LogLines(), (QStringList{QStringLiteral("1. a.tif: сбой"),
                                       QStringLiteral("Обработка прервана: не обработано 1 файл")}));
    EXPECT_FALSE(fs::exists(Out / "b.tif"));
    EXPECT_FALSE(Script->HookInstalled);
    EXPECT_FALSE(Access().RunActive());
    EXPECT_TRUE(Control("btnInvert")->isEnabled());
    EXPECT_FALSE(Control("btnCancel")->isEnabled());
}

TEST_F(BatchRunTest, CommandLineFilesComeInAsADropAndNothingStarts) {
    const QString relative = QStringLiteral("scan.tif");
    Form->OpenFiles({relative, Native(In / "b.tif")});
    EXPECT_EQ(Access().InputFiles(), (QStringList{QDir::toNativeSeparators(QDir::current().absoluteFilePath(relative)),
                                                  Native(In / "b.tif")}));
    EXPECT_EQ(Access().LastOpenFolder(), QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator());
    EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Выбраны 2 файла"));
    EXPECT_TRUE(Script->Questions.empty());
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(BatchRunTest, ADropDuringARunIsRefused) {
    ExistingTarget("a.tif");
    Choose({Negative("a.tif")});
    const QStringList chosen = Access().InputFiles();
    Script->Answers = {101};
    Script->OnQuestion = [this](const TDialogQuestion&) {
        Access().HandleDroppedFiles({QStringLiteral("/elsewhere/x.tif")});
    };
    Run();
    EXPECT_EQ(Access().InputFiles(), chosen);
}

} // namespace
