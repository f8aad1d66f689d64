// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "tests/support/TestData.h"
#include "writers/Shards.h"

using TestData::TempFolder;
namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int exitCode = -1;
    bool crashed = false;
    std::string out;
    std::string err;
};

ToolRun RunProgram(const char* program, const QStringList& arguments,
                   const std::map<QString, QString>& environment = {}) {
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment)
        variables.insert(name, value);
    process.setProcessEnvironment(variables);
    process.start(program, arguments);
    process.waitForFinished(300000);
    return {process.exitCode(), process.exitStatus() == QProcess::CrashExit,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

ToolRun NivraData(const QStringList& arguments) {
    return RunProgram(NIVRA_DATA_EXECUTABLE, arguments);
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The files of a folder, by name, with their bytes.
std::map<std::string, std::string> Files(const fs::path& folder) {
    std::map<std::string, std::string> files;
    if (fs::is_directory(folder)) {
        for (const auto& entry : fs::directory_iterator(folder))
            files[entry.path().filename().string()] = Slurp(entry.path());
    }
    return files;
}

// The SPK-IDs with [DatasForIt] = 1.
std::set<std::uint32_t> Marks(const fs::path& catalogue) {
    std::set<std::uint32_t> ids;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(catalogue.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            db, "SELECT [SpkId] FROM [AllStars] WHERE [DatasForIt] = 1",
            [](void* out, int, char** values, char**) {
                static_cast<std::set<std::uint32_t>*>(out)->insert(
                    static_cast<std::uint32_t>(std::stoul(values[0])));
                return 0;
            },
            &ids, nullptr);
    }
    sqlite3_close(db);
    return ids;
}

void SetMarks(const fs::path& catalogue, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(catalogue.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// A catalogue of nivra-data's own (the sample's 3,808 stars, every mark taken back), shared by
// the tests of this file.
struct ShardsAndMarksTest : ::testing::Test {
    static inline TempFolder* shared = nullptr;
    static void SetUpTestSuite() {
        shared = new TempFolder;
        const ToolRun sample = NivraData({"sample", QString::fromStdString(*shared / "sample")});
        ASSERT_EQ(sample.exitCode, 0) << sample.err;
        SetMarks(*shared / "sample/Nivra.db", "UPDATE [AllStars] SET [DatasForIt] = 0");
    }
    static void TearDownTestSuite() {
        delete shared;
        shared = nullptr;
    }
    TempFolder folder;
    fs::path catalogue = folder / "Nivra.db";
    void SetUp() override { fs::copy_file(*shared / "sample/Nivra.db", catalogue); }
};

// Nine stars: a count no shard count from 2 to 7 divides evenly.
const QStringList kNineStars = {"2000001", "2000002", "2000003", "2000004", "2000005",
                                "2000006", "2000007", "2000433", "2000588"};

QStringList Ephemeris(const fs::path& catalogue, const fs::path& out) {
    return QStringList{"ephemeris",
                       "--catalogue",
                       QString::fromStdString(catalogue),
                       "--out",
                       QString::fromStdString(out),
                       "--from",
                       "2001",
                       "--to",
                       "2001",
                       "--two-body",
                       "--spk"} +
           kNineStars;
}

}  // namespace

TEST(Shards, AreReadFromKOverNOrFromASlurmJobArray) {
    std::string error;
    const auto none = [](const char*) -> const char* { return nullptr; };
    for (const auto& [text, index, count] : {std::tuple{"0/1", 0u, 1u}, std::tuple{"3/7", 3u, 7u},
                                             std::tuple{"999999/1000000", 999999u, 1000000u}}) {
        const std::optional<Shard> shard = ParseShard(text, none, error);
        ASSERT_TRUE(shard) << text << ": " << error;
        EXPECT_EQ(shard->Index, index);
        EXPECT_EQ(shard->Count, count);
    }
    for (const char* bad : {"", "3", "7/7", "1/0", "-1/3", "1/3x", "a/b", "1/1000001", "slurm"}) {
        error.clear();
        EXPECT_FALSE(ParseShard(bad, none, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    // A task of an array numbered 0 to 3; an array numbered otherwise is refused.
    std::map<std::string, std::string> slurm = {{"SLURM_ARRAY_TASK_ID", "2"},
                                                {"SLURM_ARRAY_TASK_COUNT", "4"},
                                                {"SLURM_ARRAY_TASK_MIN", "0"},
                                                {"SLURM_ARRAY_TASK_MAX", "3"}};
    const auto from = [&](const char* name) -> const char* {
        const auto found = slurm.find(name);
        return found == slurm.end() ? nullptr : found->second.c_str();
    };
    const std::optional<Shard> task = ParseShard("slurm", from, error);
    ASSERT_TRUE(task) << error;
    EXPECT_EQ(task->Index, 2u);
    EXPECT_EQ(task->Count, 4u);
    slurm["SLURM_ARRAY_TASK_MIN"] = "1";
    EXPECT_FALSE(ParseShard("slurm", from, error));
    EXPECT_NE(error.find("--shard K/N"), std::string::npos) << error;
    // A task number that is there but no number is out of range, not missing.
    slurm["SLURM_ARRAY_TASK_MIN"] = "0";
    for (const char* bad : {"-1", "x", " 2", "1000001"}) {
        slurm["SLURM_ARRAY_TASK_ID"] = bad;
        EXPECT_FALSE(ParseShard("slurm", from, error)) << bad;
        EXPECT_EQ(error, std::string("--shard slurm: SLURM_ARRAY_TASK_ID = \"") + bad +
                             "\" is out of range (a whole number from 0 to 1000000)");
    }

    // Every SPK-ID falls in one shard, and the shards share a run out evenly: 40,000 numbered
    // asteroids over 7 shards, each within 5 % of a seventh.
    for (std::uint32_t count : {1u, 2u, 7u}) {
        std::vector<int> sizes(count);
        for (std::uint32_t id = 2000001; id <= 2040000; ++id) {
            const std::uint32_t shard = ShardOf(id, count);
            ASSERT_LT(shard, count);
            ++sizes[shard];
        }
        for (int size : sizes)
            EXPECT_NEAR(size, 40000.0 / count, 40000.0 / count * 0.05) << count;
    }
}

TEST_F(ShardsAndMarksTest, NShardsWriteExactlyTheFilesOfOneRunAndNeverTheCatalogue) {
    const ToolRun one = NivraData(Ephemeris(catalogue, folder / "one"));
    ASSERT_EQ(one.exitCode, 0) << one.err;
    const std::map<std::string, std::string> expected = Files(folder / "one");
    ASSERT_EQ(expected.size(), 9u);

    fs::copy_file(*shared / "sample/Nivra.db", folder / "shared.db");
    const std::string before = Slurp(folder / "shared.db");
    for (int count = 1; count <= 7; ++count) {
        const fs::path out = folder / ("shards-of-" + std::to_string(count));
        int emptyShards = 0;
        for (int index = 0; index < count; ++index) {
            const ToolRun run =
                NivraData(Ephemeris(folder / "shared.db", out) +
                          QStringList{"--shard", QString("%1/%2").arg(index).arg(count)});
            EXPECT_EQ(run.exitCode, 0) << index << "/" << count << ": " << run.err;
            emptyShards += run.out.find(": 0 files") != std::string::npos ? 1 : 0;
        }
        EXPECT_EQ(Files(out), expected) << count << " shards";
        if (count == 7) {
            EXPECT_GT(emptyShards, 0);  // nine stars leave a shard of seven without one
        }
    }
    EXPECT_EQ(Slurp(folder / "shared.db"), before);
    EXPECT_EQ(Marks(folder / "shared.db"), std::set<std::uint32_t>{});

    // A class and a shard together: the stars of the class in that shard.
    const ToolRun trojans =
        NivraData({"ephemeris", "--catalogue", QString::fromStdString(folder / "shared.db"),
                   "--out", QString::fromStdString(folder / "trojans"), "--from", "2001", "--to",
                   "2001", "--two-body", "--class", "9", "--shard", "0/2"});
    EXPECT_EQ(trojans.exitCode, 0) << trojans.err;
    for (const auto& [name, bytes] : Files(folder / "trojans"))
        EXPECT_EQ(ShardOf(static_cast<std::uint32_t>(std::stoul(name)), 2), 0u) << name;

    // A class without stars fails every shard alike, as it fails a run without shards: a
    // mistyped class must not pass for a job of empty shards.
    for (const QStringList& shard : {QStringList{}, QStringList{"--shard", "0/100"}}) {
        const ToolRun none = NivraData(
            QStringList{"ephemeris", "--catalogue", QString::fromStdString(folder / "shared.db"),
                        "--out", QString::fromStdString(folder / "none"), "--class", "999"} +
            shard);
        EXPECT_EQ(none.exitCode, 1) << shard.join(" ").toStdString();
        EXPECT_NE(none.err.find("orbit class 999: no star of the catalogue"), std::string::npos)
            << none.err;
    }
}

TEST_F(ShardsAndMarksTest, MarkSetsTheMarksFromTheFilesOnDiskAndIsSafeToRunAgain) {
    const fs::path datas = folder / "Datas";
    ASSERT_EQ(NivraData(Ephemeris(catalogue, datas)).exitCode, 0);
    // The run marked its nine stars. Now: 2000001 loses its file, 2000002's is cut short,
    // 2000003 and 2000004 are unmarked although their files are complete, and 2000005 is
    // unmarked with a damaged file.
    fs::remove(datas / "2000001.Nvr");
    fs::resize_file(datas / "2000002.Nvr", fs::file_size(datas / "2000002.Nvr") - 100);
    fs::resize_file(datas / "2000005.Nvr", 1000);
    SetMarks(catalogue,
             "UPDATE [AllStars] SET [DatasForIt] = 0 WHERE [SpkId] IN "
             "(2000003, 2000004, 2000005)");
    const QStringList mark = {"mark", "--catalogue", QString::fromStdString(catalogue), "--datas",
                              QString::fromStdString(datas)};

    // A run stopped dead while it writes leaves the catalogue as it was.
    const std::string before = Slurp(catalogue);
    const ToolRun stopped =
        RunProgram(NIVRA_DATA_FAULTS_EXECUTABLE, mark, {{"NIVRA_DATA_DIE_AFTER_ROWS", "1"}});
    EXPECT_TRUE(stopped.crashed);
    EXPECT_EQ(Slurp(catalogue), before);

    ToolRun run = NivraData(mark);
    EXPECT_EQ(run.exitCode, 3) << run.err;  // done, with damaged files named
    for (const char* damaged : {"/2000002.Nvr: not a complete ephemeris file of star 2000002; "
                                "unmarked",
                                "/2000005.Nvr: not a complete ephemeris file of star 2000005; "
                                "left unmarked"})
        EXPECT_NE(run.err.find(damaged), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("6 of 3808 stars marked as having a complete file (2 newly); marks "
                           "taken back: 1 file missing, 1 damaged; catalogue written"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Marks(catalogue),
              (std::set<std::uint32_t>{2000003, 2000004, 2000006, 2000007, 2000433, 2000588}));

    // Again: the same report, and nothing to write.
    const std::string after = Slurp(catalogue);
    run = NivraData(mark);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.out.find("(0 newly)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("nothing to change"), std::string::npos) << run.out;
    EXPECT_EQ(Slurp(catalogue), after);

    EXPECT_EQ(NivraData({"mark", "--catalogue", QString::fromStdString(folder / "none.db"),
                         "--datas", QString::fromStdString(datas)})
                  .exitCode,
              1);
    EXPECT_EQ(NivraData({"mark", "--datas", QString::fromStdString(datas)}).exitCode, 2);

    // A mistyped folder takes back no mark; a pipe under a star's name is a damaged file, not
    // one to wait on.
    run = NivraData({"mark", "--catalogue", QString::fromStdString(catalogue), "--datas",
                     QString::fromStdString(folder / "Dtas")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Dtas: no such folder"), std::string::npos) << run.err;
    EXPECT_EQ(Slurp(catalogue), after);
    fs::remove(datas / "2000003.Nvr");
    ASSERT_EQ(::mkfifo((datas / "2000003.Nvr").c_str(), 0644), 0);
    run = NivraData(mark);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("/2000003.Nvr: not a complete ephemeris file of star 2000003; unmarked"),
              std::string::npos)
        << run.err;
}
