// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "data/StarFileIndex.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

// Sets a folder's modification time to `secondsAgo` whole seconds before the start of the test.
void SetModified(const std::string& folder, int secondsAgo) {
    static const time_t start = time(nullptr);
    const timespec times[2] = {{start - secondsAgo, 0}, {start - secondsAgo, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, folder.c_str(), times, 0), 0);
}

void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}

}  // namespace

// The index answers what a test for "%s/%lu.Nvr" would, for SpkIds asked in any order.
TEST(StarFileIndex, AnswersAsATestForTheFileWouldInAnyOrder) {
    TempFolder folder;
    namespace fs = std::filesystem;
    for (const char* name : {"2000001.Nvr", "2000005.Nvr", "4294967295.Nvr", "0.Nvr", "7.nvr",
                             "0123.Nvr", "x.Nvr", "4294967296.Nvr", "2000009.Nvr.part-1"}) {
        Touch(folder / name);
    }
    fs::create_directory(folder / "2000002.Nvr");                        // a folder: exists
    fs::create_symlink(folder / "2000001.Nvr", folder / "2000003.Nvr");  // to a file
    fs::create_symlink(folder / "missing", folder / "2000004.Nvr");      // to nothing
    const std::set<SpkId> present = {0, 2000001, 2000002, 2000003, 2000005, 4294967295u};
    const StarFileIndex index = StarFileIndex::Read(folder.Path());
    EXPECT_EQ(index.Size(), present.size());
    EXPECT_TRUE(index.HasLinks());
    std::vector<SpkId> asked = {0,       1,       7,           123,        2000000,
                                2000001, 2000002, 2000003,     2000004,    2000005,
                                2000006, 2000009, 4294967294u, 4294967295u};
    std::size_t from = 0;
    for (const SpkId id : asked) {
        EXPECT_EQ(index.Exists(id), present.count(id) == 1) << id;
        EXPECT_EQ(index.Exists(id, from), present.count(id) == 1) << id;
    }
    std::reverse(asked.begin(), asked.end());
    for (const SpkId id : asked)
        EXPECT_EQ(index.Exists(id, from), present.count(id) == 1) << id << " descending";
    EXPECT_EQ(StarFileIndex::Read(folder / "missing").Size(), 0u);
}

// A listing is kept while the folder is unchanged and had settled; otherwise the folder is
// listed again.
TEST(StarFileIndex, AListingIsKeptOnlyWhileTheFolderIsUnchanged) {
    TempFolder folder;
    const std::string datas = folder / "Datas";
    std::filesystem::create_directory(datas);
    Touch(datas + "/1.Nvr");
    StarFileListing listing(datas);

    // Just changed: listed every time, so a file added within the same tick is seen.
    EXPECT_EQ(listing.Current().Size(), 1u);
    Touch(datas + "/2.Nvr");
    EXPECT_EQ(listing.Current().Size(), 2u);

    // A modification time set back (rsync -a, tar x, touch -r) hides no change: the change time
    // moved with it.
    SetModified(datas, 3600);
    EXPECT_EQ(listing.Current().Size(), 2u);
    Touch(datas + "/3.Nvr");
    SetModified(datas, 3600);
    EXPECT_EQ(listing.Current().Size(), 3u);
    SetModified(datas, 1800);
    EXPECT_EQ(listing.Current().Size(), 3u);
    std::filesystem::remove(datas + "/1.Nvr");
    EXPECT_EQ(listing.Current().Size(), 2u);
    EXPECT_FALSE(listing.Current().Exists(1));

    // A folder with a symbolic link is listed every time: its target may go.
    std::filesystem::create_symlink(datas + "/2.Nvr", datas + "/4.Nvr");
    SetModified(datas, 3600);
    EXPECT_TRUE(listing.Current().Exists(4));
    std::filesystem::remove(datas + "/2.Nvr");
    SetModified(datas, 3600);
    EXPECT_FALSE(listing.Current().Exists(4));

    std::filesystem::remove_all(datas);
    EXPECT_EQ(listing.Current().Size(), 0u);
}

// A listing is kept once the folder has settled, and a change shows even when the folder's
// modification time is set back to the one of the kept listing (as rsync -a, tar x, cp -p and
// touch -r do).
TEST(StarFileIndex, AKeptListingGoesWithAnyChangeWhateverTheModificationTime) {
    TempFolder folder;
    const std::string datas = folder / "Datas";
    std::filesystem::create_directory(datas);
    Touch(datas + "/1.Nvr");
    Touch(datas + "/2.Nvr");
    SetModified(datas, 3600);
    constexpr std::chrono::milliseconds kSettle{500};
    StarFileListing listing(datas, kSettle);

    // Just changed, by this machine's clock: listed until the stamp was seen for the settle
    // time, whatever the folder's own times say; then kept.
    EXPECT_EQ(listing.Current().Size(), 2u);
    EXPECT_EQ(listing.Current().Size(), 2u);
    EXPECT_EQ(listing.Listings(), 2u);
    std::this_thread::sleep_for(kSettle + std::chrono::milliseconds(100));
    EXPECT_EQ(listing.Current().Size(), 2u);
    EXPECT_EQ(listing.Current().Size(), 2u);
    EXPECT_EQ(listing.Listings(), 3u);

    // Changes with the modification time put back where the kept listing saw it.
    Touch(datas + "/3.Nvr");
    SetModified(datas, 3600);
    EXPECT_TRUE(listing.Current().Exists(3));
    std::filesystem::remove(datas + "/1.Nvr");
    SetModified(datas, 3600);
    EXPECT_FALSE(listing.Current().Exists(1));
    EXPECT_EQ(listing.Current().Size(), 2u);

    // A folder whose last change lies further back than the settle time and the clock skew is
    // kept at its first listing.
    std::this_thread::sleep_for(kSettle + std::chrono::milliseconds(100));
    StarFileListing settled(datas, kSettle, std::chrono::milliseconds(0));
    EXPECT_EQ(settled.Current().Size(), 2u);
    EXPECT_EQ(settled.Current().Size(), 2u);
    EXPECT_EQ(settled.Listings(), 1u);
    // With the default skew the same folder waits to be seen settled.
    StarFileListing wary(datas, kSettle);
    wary.Current();
    wary.Current();
    EXPECT_EQ(wary.Listings(), 2u);
}
