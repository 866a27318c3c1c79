// batch --recursive: a folder tree converted into the same tree under the output folder, with the
// conflict rules over the whole tree.

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vantrel::test
