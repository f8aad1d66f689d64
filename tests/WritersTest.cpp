// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The writers of nivra-data: one writer of a catalogue at a time, temporary files that nothing
// planted can lead elsewhere, folders that cannot be listed, and exit codes that say whether
// everything was written.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include "tests/SubcommandRun.h"
#include "tests/support/TestData.h"
#include "writers/AtomicFile.h"
#include "writers/CatalogueFile.h"
#include "writers/CatalogueLock.h"
#include "writers/EphemerisFile.h"
#include "writers/Shards.h"

using TestData::Slurp;
using TestData::TempFolder;
namespace fs = std::filesystem;

namespace {

// The catalogue's rows and its marked stars.
struct CatalogueState {
    std::size_t Rows = 0;
    std::set<std::uint32_t> Marked;
};

CatalogueState ReadState(const fs::path& catalogue) {
    CatalogueState state;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(catalogue.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            db, "SELECT [SpkId], [DatasForIt] FROM [AllStars]",
            [](void* out, int, char** values, char**) {
                auto& into = *static_cast<CatalogueState*>(out);
                ++into.Rows;
                if (std::string(values[1]) == "1")
                    into.Marked.insert(static_cast<std::uint32_t>(std::stoul(values[0])));
                return 0;
            },
            &state, nullptr);
    }
    sqlite3_close(db);
    return state;
}

void Execute(const fs::path& catalogue, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(catalogue.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// The stars with a complete file of nivra-data in `datas` among the rows of `catalogue`.
std::set<std::uint32_t> CompleteFiles(const fs::path& datas) {
    std::set<std::uint32_t> ids;
    if (!fs::is_directory(datas))
        return ids;
    for (const auto& entry : fs::directory_iterator(datas)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".Nvr")
            continue;
        const auto id = static_cast<std::uint32_t>(std::stoul(name));
        if (IsCompleteEphemerisFile(entry.path().string(), id))
            ids.insert(id);
    }
    return ids;
}

// nivra-data with the failing file system preloaded and told where to fail.
std::map<QString, std::optional<QString>> Failing(const char* variable, const QString& where) {
    return {{"LD_PRELOAD", QString(NIVRA_FAILING_FILE_SYSTEM_LIBRARY)},
            {"ASAN_OPTIONS", qEnvironmentVariable("ASAN_OPTIONS") + ":verify_asan_link_order=0"},
            {variable, where}};
}

SubcommandRun NivraData(const QStringList& arguments,
                        const std::map<QString, std::optional<QString>>& environment = {}) {
    return RunProgram(NIVRA_DATA_EXECUTABLE, arguments, environment);
}

constexpr int kFailed = 1;
constexpr int kPartly = 3;
constexpr int kNotWritten = 4;

// Three bodies of the sample's catalogue, as an export to rebuild a catalogue from.
constexpr const char* kThreeBodies = R"js({"fields":["full_name","e","q","i","om","w","ma","epoch_mjd","class"],
  "data":[["  1 Ceres (A801 AA)",".0786","2.549","10.59","80.27","73.53","334.33","59800","MBA"],
          ["  2 Pallas (A802 FA)",".2300","2.132","34.93","172.92","310.84","315.09","59800","MBA"],
          ["  3 Juno (A804 RA)",".2568","1.985","12.99","169.85","247.80","306.62","59800","MBA"]]})js";

// A program folder of nivra-data's own (the sample's 3,808 stars, no mark, no file), made once
// for the tests of this file, with one complete ephemeris file of Juno (2000003) kept aside.
struct WritersTest : ::testing::Test {
    static inline TempFolder* shared = nullptr;
    static void SetUpTestSuite() {
        shared = new TempFolder;
        const fs::path base = *shared / "base";
        ASSERT_EQ(NivraData({"sample", Q(base)}).ExitCode, 0);
        fs::remove_all(base / "Datas");
        ASSERT_EQ(NivraData({"ephemeris", "--catalogue", Q(base / "Nivra.db"), "--out",
                             Q(*shared / "juno"), "--from", "2019", "--to", "2019", "--spk",
                             "2000003"})
                      .ExitCode,
                  0);
        Execute(base / "Nivra.db", "UPDATE [AllStars] SET [DatasForIt] = 0");
        std::ofstream(*shared / "three.json") << kThreeBodies;
    }
    static void TearDownTestSuite() {
        delete shared;
        shared = nullptr;
    }

    TempFolder folder;
    fs::path catalogue = folder / "Nivra.db";
    fs::path datas = folder / "Datas";

    // The base catalogue, with Juno's file in Datas or none.
    void Reset(bool withJuno) {
        fs::remove_all(datas);
        fs::create_directory(datas);
        fs::remove(catalogue);
        fs::copy_file(*shared / "base/Nivra.db", catalogue);
        if (withJuno)
            fs::copy_file(*shared / "juno/2000003.Nvr", datas / "2000003.Nvr");
    }
};

}  // namespace

TEST_F(WritersTest, TwoWritersOfOneCatalogueNeverUndoEachOther) {
    const auto ephemeris = [&](const char* id) {
        return QStringList{"ephemeris", "--catalogue", Q(catalogue), "--out", Q(datas), "--from",
                           "2019", "--to", "2019", "--spk", id};
    };
    const QStringList mark = {"mark", "--catalogue", Q(catalogue), "--datas", Q(datas)};
    const QStringList rebuild = {"catalogue", "--out", Q(catalogue), Q(*shared / "three.json")};
    const QStringList sample = {"sample", Q(folder.Path()), "--force"};
    struct Pair {
        QStringList First, Second;
        std::set<std::size_t> Rows;  // what the catalogue may hold at the end
        int Times;
    };
    const std::set<std::size_t> all = {3808}, three = {3}, either = {3, 3808};
    const std::vector<Pair> pairs = {
        {ephemeris("2000001"), ephemeris("2000002"), all, 4},
        {mark, ephemeris("2000001"), all, 4},
        {mark, mark, all, 3},
        {rebuild, mark, three, 4},
        {rebuild, ephemeris("2000001"), three, 4},
        {rebuild, rebuild, three, 3},
        {sample, ephemeris("2000001"), all, 2},
        {sample, mark, all, 2},
        {sample, rebuild, either, 2},
        {sample, sample, all, 1},
    };
    for (const Pair& pair : pairs) {
        const std::string name = (pair.First[0] + " & " + pair.Second[0]).toStdString();
        for (int time = 0; time < pair.Times; ++time) {
            // Juno's file waits to be marked, except for two ephemeris runs, which mark only what
            // they write.
            Reset(pair.First[0] != "ephemeris");
            QProcess first, second;
            first.start(NIVRA_DATA_EXECUTABLE, pair.First);
            second.start(NIVRA_DATA_EXECUTABLE, pair.Second);
            ASSERT_TRUE(first.waitForFinished(120000)) << name;
            ASSERT_TRUE(second.waitForFinished(120000)) << name;
            EXPECT_EQ(first.exitCode(), 0) << name << first.readAllStandardError().toStdString();
            EXPECT_EQ(second.exitCode(), 0) << name << second.readAllStandardError().toStdString();
            // Nothing undone: the last catalogue written is whole, and every file written or
            // found is marked in it.
            const CatalogueState state = ReadState(catalogue);
            EXPECT_TRUE(pair.Rows.count(state.Rows)) << name << ": " << state.Rows << " rows";
            std::set<std::uint32_t> expected;
            for (std::uint32_t id : CompleteFiles(datas)) {
                if (state.Rows == 3808 || id <= 2000003)
                    expected.insert(id);
            }
            EXPECT_EQ(state.Marked, expected) << name << ", time " << time;
        }
    }
}

TEST_F(WritersTest, AWriterWaitsForAnotherSayingSoOnceOrFailsAtOnceWithNoWait) {
    Reset(true);
    const QStringList mark = {"mark", "--catalogue", Q(catalogue), "--datas", Q(datas)};
    const std::string before = Slurp(catalogue);
    std::string error;
    std::optional<CatalogueLock> held = CatalogueLock::Take(catalogue, {}, error);
    ASSERT_TRUE(held) << error;
    EXPECT_TRUE(fs::exists(folder / "Nivra.db.lock"));

    // Told not to wait, a writer fails at once and names the holder.
    const SubcommandRun refused = NivraData(mark + QStringList{"--no-wait"});
    EXPECT_EQ(refused.ExitCode, kFailed);
    EXPECT_TRUE(refused.Err.contains(QString("being written by PID %1; not waiting (--no-wait)")
                                         .arg(::getpid())))
        << refused.Err.toStdString();
    EXPECT_EQ(Slurp(catalogue), before);

    // Readers never take the lock.
    const SubcommandRun stars =
        RunProgram(NIVRA_EXECUTABLE, {"stars", "--folder", Q(folder.Path())}, {}, 30);
    EXPECT_EQ(stars.ExitCode, 0) << stars.Err.toStdString();

    // Otherwise it waits, says so once, and does its work when the holder is done.
    QProcess waiting;
    waiting.start(NIVRA_DATA_EXECUTABLE, mark);
    QString said;
    for (int i = 0; i < 100 && !said.contains("waiting for"); ++i) {
        waiting.waitForReadyRead(100);
        said += QString::fromLocal8Bit(waiting.readAllStandardError());
    }
    EXPECT_TRUE(said.contains(QString("nivra-data: waiting for PID %1, which is writing %2")
                                  .arg(::getpid())
                                  .arg(Q(catalogue))))
        << said.toStdString();
    EXPECT_FALSE(waiting.waitForFinished(500));
    held.reset();
    ASSERT_TRUE(waiting.waitForFinished(60000));
    EXPECT_EQ(waiting.exitCode(), 0);
    said += QString::fromLocal8Bit(waiting.readAllStandardError());
    EXPECT_EQ(said.count("waiting for"), 1) << said.toStdString();
    EXPECT_EQ(ReadState(catalogue).Marked, std::set<std::uint32_t>{2000003});

    // Another program writing the catalogue in place (an sqlite3 shell, say) is named as such.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(catalogue.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const SubcommandRun locked = NivraData(
        {"ephemeris", "--catalogue", Q(catalogue), "--out", Q(datas), "--spk", "2000001"});
    sqlite3_close(db);
    EXPECT_EQ(locked.ExitCode, kFailed);
    EXPECT_TRUE(locked.Err.contains(Q(catalogue) +
                                    ": locked by another program that is writing it (database "
                                    "is locked)"))
        << locked.Err.toStdString();
}

TEST(AtomicFile, TemporaryFilesAreOwnedNeverFollowLinksAndAreCleanedWhereTheyAreMade) {
    TempFolder folder;
    fs::create_directory(folder / "disk");
    const std::string path = folder / "disk/real.db";
    std::ofstream(path) << "old";
    std::string error;

    // The temporary file: made anew beside the file, under a name of this machine, process and
    // call; never a link.
    std::set<std::string> names;
    for (int call = 0; call < 2; ++call) {
        ASSERT_TRUE(ReplaceFileAtomically(
            path,
            [&](const std::string& temporary, std::string& why) {
                struct stat status {};
                EXPECT_EQ(::lstat(temporary.c_str(), &status), 0);
                EXPECT_TRUE(S_ISREG(status.st_mode));
                EXPECT_EQ(fs::path(temporary).parent_path(), fs::path(folder / "disk"));
                EXPECT_TRUE(QString::fromStdString(fs::path(temporary).filename().string())
                                .contains(QRegularExpression(
                                    QString("^real\\.db\\.part-[A-Za-z0-9._]+-%1-[0-9a-f]{12}$")
                                        .arg(::getpid()))))
                    << temporary;
                names.insert(temporary);
                return WriteWholeFile(temporary, "new", 3, why);
            },
            error))
            << error;
    }
    EXPECT_EQ(names.size(), 2u);

    // A link put in the temporary file's place is not written through.
    const std::string elsewhere = folder / "elsewhere";
    std::ofstream(elsewhere) << "theirs";
    EXPECT_FALSE(ReplaceFileAtomically(
        path,
        [&](const std::string& temporary, std::string& why) {
            fs::remove(temporary);
            fs::create_symlink(elsewhere, temporary);
            return WriteWholeFile(temporary, "mine", 4, why);
        },
        error));
    EXPECT_EQ(Slurp(elsewhere), "theirs");
    EXPECT_EQ(Slurp(path), "new");

    // A catalogue named through a link whose file is not made yet: made where the link leads,
    // the link staying; the temporary files killed runs left are removed there, this machine's
    // of ended processes only.
    const std::string link = folder / "Nivra.db";
    fs::create_symlink("disk/cat.db", link);
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    std::string tag(host);
    for (char& c : tag)
        c = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' ? c : '_';
    const std::string stale = folder / ("disk/cat.db.part-" + tag + "-999999-0123456789ab");
    const std::string staleJournal = stale + "-journal";
    const std::string legacy = folder / "disk/cat.db.part-999998";
    const std::string foreign = folder / "disk/cat.db.part-othermachine-999999-0123456789ab";
    for (const std::string& file : {stale, staleJournal, legacy, foreign})
        std::ofstream(file) << "left";
    ASSERT_TRUE(WriteCatalogueFile(link, CatalogueContent{}, error)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_GT(fs::file_size(folder / "disk/cat.db"), 0u);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_FALSE(fs::exists(staleJournal));
    EXPECT_FALSE(fs::exists(legacy));
    EXPECT_TRUE(fs::exists(foreign));

    // Root replaces a user's file: owner, group and mode stay the user's.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        ASSERT_TRUE(ReplaceFileAtomically(
            path,
            [](const std::string& temporary, std::string& why) {
                return WriteWholeFile(temporary, "root's", 6, why);
            },
            error))
            << error;
        struct stat status {};
        ASSERT_EQ(::stat(path.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 65534u);
        EXPECT_EQ(status.st_gid, 65534u);
        EXPECT_EQ(status.st_mode & 07777, 0640u);
    }
}

TEST_F(WritersTest, AFolderThatCannotBeListedIsAnErrorNeverAnEmptyOne) {
    Reset(true);
    Execute(catalogue, "UPDATE [AllStars] SET [DatasForIt] = 1 WHERE [SpkId] = 2000003");
    const std::string before = Slurp(catalogue);
    for (const QStringList& writer :
         {QStringList{"mark", "--catalogue", Q(catalogue), "--datas", Q(datas)},
          QStringList{"catalogue", "--out", Q(catalogue), Q(*shared / "three.json")}}) {
        const SubcommandRun run =
            NivraData(writer, Failing("NIVRA_TEST_UNLISTABLE", Q(folder / "Datas")));
        EXPECT_EQ(run.ExitCode, kFailed) << writer[0].toStdString() << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains("cannot list " + Q(datas) + ": Permission denied"))
            << run.Err.toStdString();
        EXPECT_EQ(Slurp(catalogue), before) << writer[0].toStdString();
    }
}

TEST_F(WritersTest, ExitCodesSayWhetherEverythingAskedWasWritten) {
    Reset(false);
    // Juno's elements are dated 1700: beyond the perturbed model's epochs, so never computed.
    Execute(catalogue, "UPDATE [AllStars] SET [Epoch] = 2341972.5 WHERE [SpkId] = 2000003");
    const auto ephemeris = [&](QStringList more) {
        return QStringList{"ephemeris", "--catalogue", Q(catalogue), "--out", Q(datas),
                           "--from",    "2019",        "--to",        "2019"} +
               more;
    };
    const QString junoShard = QString("%1/5").arg(ShardOf(2000003, 5));
    struct Case {
        const char* What;
        QStringList Arguments;
        std::map<QString, std::optional<QString>> Environment;
        int Expected;
        std::set<std::uint32_t> FilesLeft;  // complete files in Datas afterwards
        bool FreshDatas = true;             // Datas emptied first
    };
    const auto full = [](const char* where) { return Failing("NIVRA_TEST_FULL_DISK", where); };
    const QStringList mark = {"mark", "--catalogue", Q(catalogue), "--datas", Q(datas)};
    const std::vector<Case> cases = {
        {"every star written", ephemeris({"--spk", "2000001"}), {}, 0, {2000001}},
        {"a star that cannot be computed", ephemeris({"--spk", "2000001", "2000003"}), {},
         kPartly, {2000001}},
        {"only stars that cannot be computed", ephemeris({"--spk", "2000003"}), {}, kPartly, {}},
        {"a shard of them only", ephemeris({"--spk", "2000003", "--shard", junoShard}), {},
         kPartly, {}},
        {"a full disk", ephemeris({"--spk", "2000001", "2000002"}), full(".Nvr.part-"),
         kNotWritten, {}},
        {"a full disk, sharded", ephemeris({"--spk", "2000001", "--shard", "0/1"}),
         full(".Nvr.part-"), kNotWritten, {}},
        // The files stay, complete and unmarked, for mark to mark...
        {"a catalogue that cannot be marked", ephemeris({"--spk", "2000002"}),
         full("Nivra.db.part-"), kNotWritten, {2000002}},
        // ...unless the disk is still full.
        {"mark on a full disk", mark, full("Nivra.db.part-"), kNotWritten, {2000002}, false},
        {"a catalogue rebuilt on a full disk",
         {"catalogue", "--out", Q(catalogue), Q(*shared / "three.json")}, full("Nivra.db.part-"),
         kNotWritten, {2000002}, false},
    };
    for (const Case& one : cases) {
        if (one.FreshDatas)
            fs::remove_all(datas);
        const SubcommandRun run = NivraData(one.Arguments, one.Environment);
        EXPECT_EQ(run.ExitCode, one.Expected) << one.What << "\n" << run.Err.toStdString();
        EXPECT_EQ(CompleteFiles(datas), one.FilesLeft) << one.What;
        if (one.Expected == kNotWritten) {
            EXPECT_TRUE(run.Err.contains("No space left on device") ||
                        run.Err.contains("database or disk is full"))
                << run.Err.toStdString();
        }
        if (one.Expected == kPartly) {
            EXPECT_TRUE(run.Err.contains("2000003 Juno: the elements' epoch")) << one.What;
        }
    }
    EXPECT_FALSE(ReadState(catalogue).Marked.count(2000002));
    EXPECT_EQ(ReadState(catalogue).Rows, 3808u);
}
