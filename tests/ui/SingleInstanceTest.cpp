// One window per user: a later start hands its files to the first and ends. The later start runs
// on a thread of its own, as it would in a process of its own: it waits for the first one's answer,
// which comes from the first one's event loop.
#include "platform/SingleInstance.h"
#include "Form1Fixture.h"

#include <QCoreApplication>
#include <QDateTime>

#include <gtest/gtest.h>

#include <future>

namespace {

QString UniqueKey() {
    return QStringLiteral("kvaderon-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch());
}

// Starts a later instance of AKey with AFiles on its own thread; its answer: was this the first?
std::future<bool> StartLater(const QString& AKey, const QStringList& AFiles) {
    return std::async(std::launch::async, [AKey, AFiles] {
        TSingleInstance later(AKey);
        return later.ClaimOrHandOver(AFiles, [](const QStringList&) {});
    });
}

// Lets the event loop run until the later start has ended.
bool Settle(std::future<bool>& AFuture) {
    return WaitUntil(
        [&AFuture] { return AFuture.wait_for(std::chrono::milliseconds(1)) == std::future_status::ready; });
}

TEST(SingleInstance, ALaterStartHandsItsFilesToTheFirstAndEnds) {
    const QString key = UniqueKey();
    std::vector<QStringList> received;
    TSingleInstance first(key);
    ASSERT_TRUE(first.ClaimOrHandOver({}, [&received](const QStringList& AFiles) { received.push_back(AFiles); }));

    const QStringList cases[] = {
        {QStringLiteral("/сканы/кадр 01.tif"), QStringLiteral("/сканы/кадр 02.tif"),
         QStringLiteral("/сканы/кадр 03.tif")},
        {QStringLiteral("C:\\Плёнка\\roll 2")},
        {},
    };
    for (const QStringList& files : cases) {
        SCOPED_TRACE(files.join(QLatin1Char('|')).toStdString());
        const std::size_t before = received.size();
        std::future<bool> later = StartLater(key, files);
        ASSERT_TRUE(Settle(later)) << "the later start never ended";
        EXPECT_FALSE(later.get()) << "the later start ran as a window of its own";
        WaitUntil([&] { return received.size() > before; });
        ASSERT_EQ(received.size(), before + 1);
        EXPECT_EQ(received.back(), files);
    }
}

TEST(SingleInstance, KeysKeepTheirWindowsApartAndAnEndedWindowFreesItsKey) {
    const QString key = UniqueKey();
    int calls = 0;
    {
        TSingleInstance first(key);
        ASSERT_TRUE(first.ClaimOrHandOver({}, [&calls](const QStringList&) { ++calls; }));
        std::future<bool> other = StartLater(key + QStringLiteral("-other"), {QStringLiteral("a.tif")});
        ASSERT_TRUE(Settle(other));
        EXPECT_TRUE(other.get()) << "a window of another key took the files";
    }
    std::future<bool> next = StartLater(key, {QStringLiteral("b.tif")});
    ASSERT_TRUE(Settle(next));
    EXPECT_TRUE(next.get()) << "the key stayed taken after its window ended";
    EXPECT_EQ(calls, 0);
}

TEST(SingleInstance, TheKeyDependsOnTheSettingsFile) {
    EXPECT_EQ(TSingleInstance::KeyFor(QStringLiteral("/home/a/kvaderon.ini")),
              TSingleInstance::KeyFor(QStringLiteral("/home/a/kvaderon.ini")));
    EXPECT_NE(TSingleInstance::KeyFor(QStringLiteral("/home/a/kvaderon.ini")),
              TSingleInstance::KeyFor(QStringLiteral("/opt/kvaderon/kvaderon.ini")));
    EXPECT_FALSE(TSingleInstance::KeyFor(QStringLiteral("C:\\x\\kvaderon.ini")).contains(QLatin1Char('\\')));
}

} // namespace
