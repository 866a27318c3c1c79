// batch --recursive: a folder tree converted into the same tree under the output folder, with the
// conflict rules over the whole tree; links followed under their own names, each folder once,
// names in byte order, and every folder or file the walk cannot reach named.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

class BatchTree : public ProgramTest {};

TEST_F(BatchTree, TheTreeIsKeptUnderTheOutputFolder)
{
    const std::string kuab = ReadBytes(kExamples / "kuab" / "small.FWD");
    for (const char* name : {"a.FWD", "sub/a.FWD", "sub/b.FWD", "sub/b.fwd", "sub/deeper/c.FWD", "sub/notes.txt"}) {
        fs::create_directories((dir / name).parent_path());
        WriteBytes(dir / name, kuab);
    }
    WriteBytes(dir / "p.DDX", kSurvey);
    WriteBytes(dir / "sub/q.DDX", kSurvey);
    const struct {
        std::vector<std::string> args;
        int runs;
        int status;  // 1: sub/b.FWD and sub/b.fwd share an output, and the later is not converted
        std::set<std::string> written;  // in out/
    } cases[] = {
        {{"-r", "-t", "kuab", "-j", "1", "a.FWD"}, 1, 1,
         {"acvt.DDX", "sub/acvt.DDX", "sub/bcvt.DDX", "sub/deeper/ccvt.DDX"}},
        {{"--recursive", "-t", "kuab", "sub/deeper/c.FWD"}, 1, 0, {"ccvt.DDX"}},
        {{"-t", "kuab", "sub/a.FWD"}, 1, 1, {"acvt.DDX", "bcvt.DDX"}},
        // The outputs end in the batch's extension, but the output folder is not part of the tree.
        {{"-r", "-t", "pddx", "p.DDX"}, 2, 0, {"pcvt.DDX", "sub/qcvt.DDX"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"batch", "--output-dir", "out"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        for (int run = 0; run < c.runs; ++run) {
            const RunResult result = Run(args);
            EXPECT_EQ(result.status, c.status) << result.err;
            EXPECT_EQ(result.err.find("not converted: its output out/") != std::string::npos, c.status == 1);
        }
        std::set<std::string> written;
        for (const auto& entry : fs::recursive_directory_iterator(dir / "out"))
            if (entry.is_regular_file()) written.insert(fs::relative(entry.path(), dir / "out").generic_string());
        EXPECT_EQ(written, c.written) << c.args.back();
        fs::remove_all(dir / "out");
    }
}

TEST_F(BatchTree, LinkedFoldersAreWalkedOnceUnderTheirOwnNamesInByteOrder)
{
    const std::string f25 = F25Survey(1);
    for (const char* name : {"t/b.F25", "t/B.F25", "t/_.F25", "t/a.F25", "t/\xc3\xa9.F25", "t/sub/c.F25", "t/sub/a.F25",
                             "t/sub/deep/d.F25", "other/x.F25"}) {
        fs::create_directories((dir / name).parent_path());
        WriteBytes(dir / name, f25);
    }
    fs::create_directory_symlink("..", dir / "t/sub/deep/up");
    fs::create_directory_symlink(".", dir / "t/self");
    fs::create_directory_symlink("../other", dir / "t/ext");
    const struct {
        std::vector<std::string> args;
        std::string listed;
    } cases[] = {
        {{"-r", "--output-dir", "out"},
         "t/B.F25 -> out/Bcvt.DDX\nt/_.F25 -> out/_cvt.DDX\nt/a.F25 -> out/acvt.DDX\nt/b.F25 -> out/bcvt.DDX\n"
         "t/\xc3\xa9.F25 -> out/\xc3\xa9" "cvt.DDX\nt/ext/x.F25 -> out/ext/xcvt.DDX\nt/sub/a.F25 -> out/sub/acvt.DDX\n"
         "t/sub/c.F25 -> out/sub/ccvt.DDX\nt/sub/deep/d.F25 -> out/sub/deep/dcvt.DDX\n"},
        {{}, "t/B.F25 -> t/Bcvt.DDX\nt/_.F25 -> t/_cvt.DDX\nt/a.F25 -> t/acvt.DDX\nt/b.F25 -> t/bcvt.DDX\n"
             "t/\xc3\xa9.F25 -> t/\xc3\xa9" "cvt.DDX\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"batch", "-t", "f25"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back("t/a.F25");
        const RunResult result = Run(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, c.listed);
    }
    // Nothing was written beside the output folder, nor into the linked folder.
    EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"other", "out", "t"}));
    EXPECT_EQ(FileNames(dir / "other"), std::set<std::string>{"x.F25"});
}

// Each of these trees holds files the walk cannot reach: every one is converted or named, and
// the batch fails when one is named.
TEST_F(BatchTree, EveryFolderOrFileTheWalkCannotReachIsNamed)
{
    const bool root = ::geteuid() == 0;
    // The other user runs a copy, as the build folder may be closed to it.
    fs::copy_file(VANTREL_BINARY, dir / "vantrel");
    fs::permissions(dir.Path(), fs::perms::all);
    const auto run = [&](const std::string& limits, int user) {
        const std::string script = limits + "exec \"$0\" --settings s.bag batch -r -j 1 -t f25 t/a.F25";
        const int pid = StartVantrel({"-c", script, (dir / "vantrel").string()}, dir.Path(), dir / "err", dir / "out", {},
                                     {.userId = user, .program = "/bin/sh"});
        const int status = WaitForVantrel(pid);
        return RunResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(dir / "out"), ReadBytes(dir / "err")};
    };
    // Folders made one inside the other by names relative to the last, as a path may be too long to name them.
    const auto makeTree = [&](const std::string& name, int depth) {
        std::vector<std::string> files = {"t/a.F25"};
        fs::create_directory(dir / "t");
        WriteBytes(dir / "t/a.F25", F25Survey(1));
        std::string path = "t";
        int folder = ::open((dir / "t").c_str(), O_RDONLY | O_DIRECTORY);
        for (int level = 0; level < depth; ++level) {
            EXPECT_EQ(::mkdirat(folder, name.c_str(), 0777), 0);
            const int inner = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(folder);
            folder = inner;
            const int file = ::openat(folder, "f.F25", O_WRONLY | O_CREAT, 0644);
            const std::string f25 = F25Survey(1);
            EXPECT_EQ(::write(file, f25.data(), f25.size()), static_cast<ssize_t>(f25.size()));
            ::close(file);
            path += "/" + name;
            files.push_back(path + "/f.F25");
        }
        ::close(folder);
        return files;
    };
    const struct {
        const char* what;
        std::string limits;
        std::string folder;  // each level's name
        int depth;
        int status;
    } cases[] = {
        {"a folder as deep as the open files allowed", "ulimit -n 20 && ", "d", 30, 0},
        {"a tree deeper than the longest path", "", std::string(200, 'd'), 25, 1},
        {"a folder no one may list", "", "locked", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> files = makeTree(c.folder, c.depth);
        fs::create_directory(dir / "t/z");
        WriteBytes(dir / "t/z/c.F25", F25Survey(1));
        files.push_back("t/z/c.F25");
        const bool locked = c.folder == "locked";
        if (locked) {
            files.erase(files.begin() + 1);
            for (const char* folder : {"t", "t/z"}) fs::permissions(dir / folder, fs::perms::all);
            fs::permissions(dir / "t/locked", fs::perms::none);
        }
        const RunResult result = run(c.limits, locked && root ? 65534 : -1);
        EXPECT_EQ(result.status, c.status) << result.err;
        std::size_t unaccounted = 0;
        for (const std::string& file : files)
            unaccounted += Count(result.out, file + " -> ") + Count(result.err, file + ": not converted: ") != 1;
        EXPECT_EQ(unaccounted, 0) << "of " << files.size() << " files neither listed nor named once";
        EXPECT_EQ(Count(result.out, " -> "), files.size() - Count(result.err, "not converted"));
        EXPECT_EQ(Count(result.err, "is also the output of"), 0);
        if (locked) {
            EXPECT_NE(result.err.find("t/locked: the folder cannot be listed"), std::string::npos) << result.err;
            fs::permissions(dir / "t/locked", fs::perms::all);
        }
        // rm goes below the longest path, where the library's removal stops.
        EXPECT_EQ(std::system(("rm -rf " + (dir / "t").string()).c_str()), 0);
    }
}

}  // namespace
}  // namespace vantrel::test
