// A profile or a database that is not a regular file (a FIFO, a link to an endless
// device) is refused at once instead of hanging the start; a link to a regular file
// still works.
#include "e2e/run.h"

#include <sys/stat.h>

#include <gmock/gmock.h>

namespace qv::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Long enough for a slow machine, short enough that a hang fails the test quickly;
// a run killed at the limit ends with -1.
RunResult run_text(const TempRoot& root) { return run({.root = root.str()}, {"-t"}, 10s); }

fs::path etc(const TempRoot& root)
{
    fs::create_directories(root.path() / "etc");
    return root.path() / "etc";
}

void make_fifo(const fs::path& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path; }

TEST(ProfileNotAFile, IsRefusedAtOnceWithTheLoadersError)
{
    for (const std::string kind : {"fifo", "link to an endless device", "folder"}) {
        SCOPED_TRACE(kind);
        TempRoot root;
        const fs::path profile = etc(root) / "Quorvel.ini";
        if (kind == "fifo") make_fifo(profile);
        else if (kind.starts_with("link")) fs::create_symlink("/dev/zero", profile);
        else fs::create_directory(profile);
        const RunResult r = run_text(root);
        EXPECT_EQ(r.status, 255);
        EXPECT_THAT(r.out, HasSubstr("Error: the ini file is not found!\n"));
        EXPECT_EQ(r.err, "Error: something wrong in file Quorvel.ini.\n");
    }
}

TEST(ProfileLink, ToARegularFileIsReadThroughTheLink)
{
    TempRoot root;
    const RunResult first = run_text(root);
    ASSERT_EQ(first.status, 0) << first.err;
    const fs::path profile = etc(root) / "Quorvel.ini";
    fs::rename(profile, etc(root) / "Board.ini");
    fs::create_symlink(etc(root) / "Board.ini", profile);

    const RunResult r = run_text(root);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_THAT(r.out, HasSubstr("Monitored Item"));
    EXPECT_TRUE(fs::is_symlink(profile)) << "a second start leaves the profile alone";
}

TEST(DatabaseNotAFile, FifoDatabasesOnAFirstStartAreRefusedAsMissingOnes)
{
    TempRoot root;
    for (const char* name : {"AllQuorvel.ini", "OldRevMB.ini", "OldRevMB_2.ini", "OldRevMB_3.ini"})
        make_fifo(etc(root) / name);
    const RunResult r = run_text(root);
    EXPECT_EQ(r.status, 255);
    EXPECT_THAT(r.err, HasSubstr("Error: Cannot find the file '/etc/"));
    EXPECT_THAT(r.err, HasSubstr("Error: Cannot create the initial file for Quorvel!\n"));
    EXPECT_FALSE(fs::exists(etc(root) / "Quorvel.ini"));
}

}  // namespace
}  // namespace qv::test
