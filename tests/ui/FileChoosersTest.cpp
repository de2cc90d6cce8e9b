// The choosers' sidebar and filters, as a Windows user looks for them.
#include "FileChoosers.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

TEST(FileChoosers, TheSidebarHoldsTheUsersFoldersAndEveryDriveOnce) {
    const QList<QUrl> places = SidebarPlaces();
    QStringList expected;
    for (const auto location : {QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation,
                                QStandardPaths::PicturesLocation, QStandardPaths::HomeLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (QFileInfo(folder).isDir())
            expected.append(folder);
    }
    const QFileInfoList drives = QDir::drives();
    ASSERT_FALSE(drives.isEmpty());
    for (const QFileInfo& drive : drives)
        expected.append(drive.absoluteFilePath());
    for (const QString& folder : expected)
        EXPECT_TRUE(places.contains(QUrl::fromLocalFile(folder))) << folder.toStdString();
    for (const QUrl& place : places) {
        EXPECT_EQ(places.count(place), 1) << place.toString().toStdString();
        EXPECT_TRUE(QFileInfo(place.toLocalFile()).isDir()) << place.toString().toStdString();
    }
}

TEST(FileChoosers, TheFiltersAreRussianAndTiffComesFirst) {
    EXPECT_EQ(TiffNameFilters(),
              (QStringList{QStringLiteral("Файлы TIFF (*.tif *.tiff)"), QStringLiteral("Все файлы (*)")}));
}

} // namespace
