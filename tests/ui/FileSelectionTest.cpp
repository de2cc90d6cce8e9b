// Choosing files and destination: labels, hints and status texts, drops of files and folders,
// starting folders, the destination with its separator, opening it, and the TIFF preview.
#include "Form1Fixture.h"
#include "NativePaths.h"
#include "PreviewPane.h"

#include "FolderTrees.h"
#include "PathText.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "TiffInverterSingleThread.h"
#include "TiffSamples.h"

#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

namespace {

// Chosen files come back in the system's spelling (backslashes on Windows).
QString NativeSpelling(const QString& APath) {
    return QDir::toNativeSeparators(APath);
}

QStringList NumberedFiles(int ACount) {
    QStringList files;
    for (int i = 1; i <= ACount; ++i)
        files.append(NativeSpelling(QStringLiteral("/scans/a%1.tif").arg(i)));
    return files;
}

TEST_F(Form1Test, LabelsAndStatusNameTheChosenFiles) {
    struct TCase {
        int Count;
        QString Caption;
        QString Status;
    };
    for (const TCase& test : {TCase{1, QStringLiteral("a1.tif"), QStringLiteral("Выбран 1 файл")},
                              {3, QStringLiteral("a1.tif, a2.tif, a3.tif"), QStringLiteral("Выбраны 3 файла")},
                              {4, QStringLiteral("a1.tif и еще 3 файла"), QStringLiteral("Выбраны 4 файла")},
                              {6, QStringLiteral("a1.tif и еще 5 файлов"), QStringLiteral("Выбрано 6 файлов")},
                              {22, QStringLiteral("a1.tif и еще 21 файл"), QStringLiteral("Выбраны 22 файла")}}) {
        Script->NextInputFiles = NumberedFiles(test.Count);
        Access().SelectInputFiles();
        EXPECT_EQ(LabelText("lblFileNames"), test.Caption) << test.Count;
        EXPECT_EQ(LabelHint("lblFileNames"), NumberedFiles(test.Count).join(QLatin1Char('\n'))) << test.Count;
        EXPECT_EQ(LabelText("lblStatus"), test.Status) << test.Count;
        EXPECT_TRUE(Control("btnTest")->isEnabled());
        EXPECT_FALSE(Control("btnInvert")->isEnabled()) << "no destination yet";
    }
    Access().InputFiles().clear();
    Access().UpdateFileNamesLabel();
    EXPECT_EQ(LabelText("lblFileNames"), QStringLiteral("Файлы не выбраны"));
    EXPECT_TRUE(LabelHint("lblFileNames").isEmpty());
}

TEST_F(Form1Test, DestinationStatusCountsTheChosenFiles) {
    struct TCase {
        int Count;
        QString Status;
    };
    for (const TCase& test : {TCase{0, QStringLiteral("Готово к обработке 0 файлов")},
                              {1, QStringLiteral("Готов к обработке 1 файл")},
                              {3, QStringLiteral("Готовы к обработке 3 файла")},
                              {5, QStringLiteral("Готово к обработке 5 файлов")}}) {
        Access().InputFiles() = NumberedFiles(test.Count);
        Script->NextOutputFolder = QStringLiteral("/out");
        Access().SelectOutputFolder();
        EXPECT_EQ(LabelText("lblStatus"), test.Status);
        EXPECT_EQ(Control("btnInvert")->isEnabled(), test.Count > 0);
    }
}

TEST_F(Form1Test, DestinationEndsWithASeparatorAndLongOnesAreShortened) {
    const QString longFolder = QStringLiteral("/home/photographer/scans/2024/film-roll-0042/positives/final");
    Script->NextOutputFolder = longFolder;
    Access().SelectOutputFolder();
    const QString expected = QDir::toNativeSeparators(longFolder) + QDir::separator();
    EXPECT_EQ(Access().OutputFolder(), expected);
    EXPECT_EQ(Access().LastSaveFolder(), expected);
    EXPECT_EQ(LabelText("lblFolderName"), TForm1::ShortenPath(expected, 60));
    EXPECT_EQ(LabelText("lblFolderName").size(), 60);
    EXPECT_EQ(LabelHint("lblFolderName"), expected);
    EXPECT_TRUE(Control("BitBtn5")->isEnabled());

    Script->NextOutputFolder = QDir::toNativeSeparators(QStringLiteral("/out/"));
    Access().SelectOutputFolder();
    EXPECT_EQ(Access().OutputFolder(), QDir::toNativeSeparators(QStringLiteral("/out/"))) << "no second separator";
}

TEST(ShortenPathTest, KeepsSixtyAndShortensSixtyOne) {
    const QString sixty = QStringLiteral("C:\\Сканы\\").leftJustified(60, QLatin1Char('x'));
    EXPECT_EQ(TForm1::ShortenPath(sixty, 60), sixty);
    const QString sixtyOne = sixty + QStringLiteral("y");
    EXPECT_EQ(TForm1::ShortenPath(sixtyOne, 60), sixtyOne.left(20) + QStringLiteral("...") + sixtyOne.right(37));
    EXPECT_EQ(TForm1::ShortenPath(sixtyOne, 60).size(), 60);
}

TEST_F(Form1Test, ChoosersStartInTheLastFolders) {
    struct TCase {
        QString LastOpen;
        QString LastSave;
        QString OpenStart;
        QString SaveStart;
    };
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const TCase& test :
         {TCase{QStringLiteral("/open/"), QStringLiteral("/save/"), QStringLiteral("/open/"), QStringLiteral("/save/")},
          {QString(), QStringLiteral("/save/"), QStringLiteral("/save/"), QStringLiteral("/save/")},
          {QStringLiteral("/open/"), QString(), QStringLiteral("/open/"), QStringLiteral("/open/")},
          {QString(), QString(), QString(), QString()}}) {
        Access().LastOpenFolder() = test.LastOpen;
        Access().LastSaveFolder() = test.LastSave;
        Script->StartFolders.clear();
        Script->NextInputFiles.clear();
        Script->NextOutputFolder.reset();
        Access().SelectInputFiles();
        Access().SelectOutputFolder();
        if (test.OpenStart.isEmpty()) {
            // Nothing remembered: the pictures folder or home, never the program's own folder.
            const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
            ASSERT_EQ(Script->StartFolders.size(), 2);
            for (const QString& start : Script->StartFolders) {
                EXPECT_NE(start, programFolder);
                EXPECT_TRUE(start == QDir::homePath() || (start == pictures && QFileInfo(pictures).isDir()))
                    << start.toStdString();
            }
            continue;
        }
        EXPECT_EQ(Script->StartFolders, (QStringList{test.OpenStart, test.SaveStart}));
    }
}

TEST_F(Form1Test, CancellingAChooserChangesNothing) {
    Script->NextInputFiles = NumberedFiles(2);
    Script->NextOutputFolder = QStringLiteral("/out");
    Access().SelectInputFiles();
    Access().SelectOutputFolder();
    const QString files = LabelText("lblFileNames");
    const QString folder = LabelText("lblFolderName");
    const QString status = LabelText("lblStatus");

    Script->NextInputFiles.clear();
    Script->NextOutputFolder.reset();
    Access().SelectInputFiles();
    Access().SelectOutputFolder();
    EXPECT_EQ(Access().InputFiles(), NumberedFiles(2));
    EXPECT_EQ(LabelText("lblFileNames"), files);
    EXPECT_EQ(LabelText("lblFolderName"), folder);
    EXPECT_EQ(LabelText("lblStatus"), status);
    EXPECT_TRUE(Control("btnInvert")->isEnabled());
}

TEST_F(Form1Test, SelectionSetsTheLastFolders) {
    Access().LastSaveFolder().clear();
    Script->NextInputFiles = {QDir::toNativeSeparators(QStringLiteral("/scans/roll1/a.tif")),
                              QDir::toNativeSeparators(QStringLiteral("/elsewhere/b.tif"))};
    Access().SelectInputFiles();
    const QString roll = QDir::toNativeSeparators(QStringLiteral("/scans/roll1/"));
    EXPECT_EQ(Access().LastOpenFolder(), roll);
    EXPECT_EQ(Access().LastSaveFolder(), roll);
    Script->NextInputFiles = {QDir::toNativeSeparators(QStringLiteral("/scans/roll2/c.tif"))};
    Access().SelectInputFiles();
    EXPECT_EQ(Access().LastSaveFolder(), roll) << "a known last destination stays";
    EXPECT_TRUE(Access().OutputFolder().isEmpty()) << "choosing files never sets the destination";
}

TEST_F(Form1Test, DropsTakeFilesAndFoldersInDropOrder) {
    kvaderon::test::TTempDir temp;
    std::filesystem::create_directory(temp / "roll");
    kvaderon::test::WriteFile(temp / "roll" / "a.tif", {'x'});
    kvaderon::test::WriteFile(temp / "notes.txt", {'x'});
    kvaderon::test::WriteFile(temp / "b.tif", {'x'});
    const QStringList dropped{Native(temp / "roll"), Native(temp / "notes.txt"), Native(temp / "b.tif")};
    const QStringList taken{Native(temp / "roll" / "a.tif"), Native(temp / "notes.txt"), Native(temp / "b.tif")};

    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : dropped)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(50, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(Access().InputFiles(), taken);
    EXPECT_EQ(LabelText("lblFileNames"), QStringLiteral("3 файла из 2 папок"));
    EXPECT_EQ(LabelText("lblStatus"), QStringLiteral("Выбраны 3 файла"));
    EXPECT_EQ(Access().LastOpenFolder(), Native(temp.Path()) + QDir::separator());

    Access().RunActive() = true;
    Access().HandleDroppedFiles({Native(temp / "b.tif")});
    QDragEnterEvent refusedEnter(QPoint(50, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form.get(), &refusedEnter);
    EXPECT_FALSE(refusedEnter.isAccepted());
    QDropEvent refused(QPointF(50, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Form.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(Access().InputFiles(), taken) << "drops are refused during a batch run";
}

// The window takes the same files of each folder tree as the engine's table says, each with its
// subfolder; a folder with no TIFF file is told and changes nothing.
TEST_F(Form1Test, FolderStandsForItsTiffFiles) {
    for (const kvaderon::test::TFolderTree& tree : kvaderon::test::FolderTrees()) {
        SCOPED_TRACE(tree.Name);
        kvaderon::test::TTempDir temp;
        const std::filesystem::path root = temp / "roll";
        std::filesystem::create_directories(root);
        if (!kvaderon::test::MakeFolderTree(root, tree))
            continue;
        Access().InputFiles() = QStringList{QStringLiteral("/before.tif")};
        Script->Questions.clear();
        Form->OpenFiles({Native(root)});
        QStringList expected;
        for (const std::string& file : tree.Expected)
            expected.append(Native(root / kvaderon::Utf8ToPath(file)));
        if (expected.isEmpty()) {
            EXPECT_EQ(Access().InputFiles(), QStringList{QStringLiteral("/before.tif")});
            ASSERT_EQ(Script->Questions.size(), 1u);
            EXPECT_EQ(Script->Questions[0].Text, QStringLiteral("В выбранных папках нет TIFF-файлов"));
        } else {
            EXPECT_EQ(Access().InputFiles(), expected);
            EXPECT_TRUE(Script->Questions.empty());
        }
    }
}

// With Ctrl a choice joins the list: new files at its end, none twice.
TEST_F(Form1Test, ChoiceWithCtrlJoinsTheList) {
    Script->NextInputFiles = NumberedFiles(2);
    Access().SelectInputFiles();
    Script->NextInputFiles = {NativeSpelling(QStringLiteral("/scans/a2.tif")),
                              NativeSpelling(QStringLiteral("/other/c.tif"))};
    Access().SelectInputFiles(true);
    EXPECT_EQ(Access().InputFiles(), (NumberedFiles(2) << NativeSpelling(QStringLiteral("/other/c.tif"))));
    EXPECT_EQ(LabelText("lblFileNames"), QStringLiteral("3 файла из 2 папок"));
    Access().HandleDroppedFiles({QStringLiteral("/third/d.tif")}, true);
    EXPECT_EQ(Access().InputFiles().size(), 4);
    Access().HandleDroppedFiles({QStringLiteral("/third/d.tif")});
    EXPECT_EQ(Access().InputFiles(), QStringList{NativeSpelling(QStringLiteral("/third/d.tif"))})
        << "without Ctrl: replaced";
}

TEST_F(Form1Test, OpeningTheDestination) {
    kvaderon::test::TTempDir temp;
    const QString existing = Native(temp.Path()) + QDir::separator();
    const QString missing = existing + QStringLiteral("gone") + QDir::separator();

    Access().OpenOutputFolder();
    Access().OutputFolder() = missing;
    Access().OpenOutputFolder();
    Access().OutputFolder() = existing;
    Access().OpenOutputFolder();

    const std::vector<TDialogQuestion> expected{
        {QStringLiteral("Предупреждение"),
         QStringLiteral("Сначала выберите папку для сохранения"),
         {QStringLiteral("OK")},
         {1},
         1},
        {QStringLiteral("Ошибка"), QStringLiteral("Папка не существует: ") + missing, {QStringLiteral("OK")}, {1}, 1},
    };
    EXPECT_EQ(Script->Questions, expected);
    EXPECT_EQ(Script->OpenedFolders, QStringList{existing});
}

// A 16-bit scan shows as its negative beside the positive it becomes; other pictures as Qt reads
// them; anything else as nothing.
TEST(PreviewTest, ShowsNegativeAndPositiveOfA16BitScan) {
    kvaderon::test::TTempDir temp;
    struct TCase {
        const char* Name;
        std::uint16_t Channels;
        std::uint16_t Photometric;
    };
    for (const TCase& test : {TCase{"rgb.tif", 3, 2}, {"grey.tif", 1, 1}}) {
        kvaderon::test::TImageLayout layout;
        layout.Width = 400;
        layout.Height = 100;
        layout.SamplesPerPixel = test.Channels;
        layout.Photometric = test.Photometric;
        layout.Samples.assign(kvaderon::test::SampleCount(layout), 0xC000);
        kvaderon::test::WriteFile(temp / test.Name, kvaderon::test::BuildImage(layout).Build());

        const QImage preview = LoadPreview(Native(temp / test.Name), QSize(200, 200)).Image;
        ASSERT_FALSE(preview.isNull()) << test.Name;
        EXPECT_LE(preview.width(), 200) << test.Name;
        EXPECT_EQ(preview.width(), 4 * preview.height() * 2 + 8) << "two pictures and a gap";
        EXPECT_NEAR(qGray(preview.pixel(2, 2)), 0xC0, 2) << test.Name;
        EXPECT_NEAR(qGray(preview.pixel(preview.width() - 3, 2)), 0x3F, 2) << test.Name;
    }
    QImage picture(300, 150, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    ASSERT_TRUE(picture.save(Native(temp / "picture.png")));
    const QImage other = LoadPreview(Native(temp / "picture.png"), QSize(200, 200)).Image;
    EXPECT_EQ(other.size(), QSize(200, 100));
    EXPECT_EQ(QColor(other.pixel(100, 50)), QColor(10, 200, 30));

    kvaderon::test::WriteFile(temp / "text.png", {'n', 'o'});
    EXPECT_EQ(LoadPreview(Native(temp / "text.png"), QSize(200, 200)).Text, QStringLiteral("Нет изображения"));
}

// A TIFF file the inverter refuses shows the inverter's own reason, not a picture that would lie.
TEST(PreviewTest, RefusedFileShowsTheInvertersReason) {
    kvaderon::test::TTempDir temp;
    const std::vector<kvaderon::test::TNamedFile> malformed = kvaderon::test::MalformedTiffs();
    struct TCase {
        const char* File;
        const char* Words;
    };
    for (const TCase& test : {TCase{"bad-truncated-in-strips", "за пределами файла"},
                              {"bad-strip-past-end", "выходит за конец файла"},
                              {"bad-strips-overlap", "перекрываются"},
                              {"bad-8-bit", "Получено 8 бит"},
                              {"bad-compressed", "сжатие"}}) {
        SCOPED_TRACE(test.File);
        const auto file = std::find_if(malformed.begin(), malformed.end(),
                                       [&](const auto& ANamed) { return ANamed.Name == test.File; });
        ASSERT_NE(file, malformed.end());
        const std::filesystem::path path = temp / (file->Name + ".tif");
        kvaderon::test::WriteFile(path, file->Bytes);
        std::string refusal;
        try {
            kvaderon::TTIFFInverterSingle().InvertTIFF16Bit(path, temp / "positive.tif");
        } catch (const std::exception& error) {
            refusal = error.what();
        }
        const TPreviewContent content = LoadPreview(Native(path), QSize(200, 200));
        EXPECT_TRUE(content.Image.isNull());
        EXPECT_TRUE(content.Text.contains(QString::fromUtf8(test.Words))) << content.Text.toStdString();
        EXPECT_TRUE(refusal.ends_with(": " + content.Text.toStdString())) << refusal;
    }
}

// The pane of the open dialog makes the picture of a large scan off the user-interface thread.
TEST(PreviewTest, PaneShowsTheCurrentFileOfTheOpenDialog) {
    kvaderon::test::TTempDir temp;
    kvaderon::test::TImageLayout layout;
    layout.Width = 3000;
    layout.Height = 2000;
    layout.SamplesPerPixel = 3;
    layout.Photometric = 2;
    layout.StripsPerPlane = 125;
    kvaderon::test::WriteFile(temp / "scan.tif", kvaderon::test::BuildImage(layout).Build());

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    AddPreviewPane(dialog);
    auto* pane = dialog.findChild<QLabel*>(QStringLiteral("PreviewPane"));
    ASSERT_NE(pane, nullptr);
    emit dialog.currentChanged(Native(temp / "scan.tif"));
    ASSERT_TRUE(WaitUntil([pane] { return !pane->pixmap().isNull(); }));
    EXPECT_GT(pane->pixmap().width(), 2 * pane->pixmap().height()) << "negative and positive";

    emit dialog.currentChanged(Native(temp / "missing.tif"));
    EXPECT_TRUE(WaitUntil([pane] { return pane->text() == QStringLiteral("Нет изображения"); }));
}

// Long names and a long destination never cover the gear and help buttons: at the default and at
// the smallest size a click on a tool button lands on the button. The labels keep their texts.
TEST_F(Form1Test, LongNamesEndBeforeTheToolButtons) {
    const QString longName = QStringLiteral("скан-плёнки-портра-400-").repeated(4);
    QStringList files;
    for (int i = 1; i <= 3; ++i)
        files.append(QStringLiteral("/сканы/") + longName + QString::number(i) + QStringLiteral(".tif"));
    Script->NextInputFiles = files;
    Access().SelectInputFiles();
    Script->NextOutputFolder = QStringLiteral("/очень/длинная/папка/") + longName;
    Access().SelectOutputFolder();
    const QString caption = LabelText("lblFileNames");
    Form->show();
    ASSERT_TRUE(WaitUntil([this] { return Form->isVisible(); }));

    for (const QSize size : {Form->size(), Form->minimumSizeHint().expandedTo(QSize(1, 1))}) {
        Form->resize(size);
        ASSERT_TRUE(WaitUntil([this, size] { return Form->size() == size.expandedTo(Form->minimumSize()); }));
        for (const char* buttonName : {"SpeedButton1", "SpeedButton2"}) {
            auto* button = Control<QToolButton>(buttonName);
            const QPoint center = button->mapTo(Form.get(), button->rect().center());
            EXPECT_EQ(Form->childAt(center), button) << buttonName << " at " << size.width();
        }
        for (const char* labelName : {"lblFileNames", "lblFolderName", "lblStatus"}) {
            auto* label = Control<QLabel>(labelName);
            EXPECT_LE(label->mapTo(Form.get(), QPoint(label->width(), 0)).x(), Form->width()) << labelName;
        }
    }
    EXPECT_EQ(LabelText("lblFileNames"), caption) << "only the drawing is shortened";
}

} // namespace
