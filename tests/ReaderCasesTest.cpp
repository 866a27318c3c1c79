// The readers' rules as tables of cases in tests/data/readers/*.cases, one file per format: the
// lines of each input file, and what the reading must set, warn of and fail at. A case file says
// in its own words what a case shows, and a new case needs no C++.
//
//   # a comment                      group NAME         starts a group of cases (a test's name)
//   type kuab                        the reader, by its -t name (for the rest of the group)
//   name FVO.INI                     the file name the reader is given (default TEST.IN)
//   unchecked-warnings               the group's warnings are not checked
//   holds [SECTION] KEY = VALUE      a value the document holds before each case (for the rest of the group)
//   setting KEY = VALUE              a setting a reader takes its layout from: LoadPlateRadius, SensorXAxis or
//                                    SensorYAxis (for the rest of the group)
//   case WHAT                        starts a case
//   | TEXT                           a line of the input ("|" alone: an empty line)
//   empty N                          N empty lines of the input
//   file                             the next input file of the same run
//   append                           the input file it stands in is appended to the document, as a merge's are
//   modified YYYY-MM-DD              the day the input files were last written (default 2004-04-07)
//   sensors N                        the sensor count of the settings
//   warn LINE: TEXT                  a warning the reading gives, in order (none listed: none given)
//   fails LINE: TEXT                 the reading ends with this error (what came before is checked too)
//   expect [SECTION] KEY = VALUE     an element's value; without [SECTION], the current location's
//   sensors-after N                  the sensor count of the settings after the reading
//   elements [SECTION] N             the number of elements the section holds after the reading
//
// TEXT and VALUE are taken as written, with \xNN for a byte that is not printable ASCII, for a
// backslash and for a blank at the end of a line, and \*N after a character for N of it in all
// (v\*300 is 300 v's; N ends at the first character that is not a digit).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

struct CaseGroup {
    std::string name;
    std::string where;  // file:line of the group, for messages
    FileType type = FileType::Unknown;
    ReadOptions options = {};
    std::vector<ReadCase> cases = {};
    std::string error = {};  // a case file that cannot be read fails its group with this
};

// A case file's text with \xNN turned into its byte.
std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned byte = 0;
        std::size_t times = 0;
        const char* const end = text.data() + text.size();
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            std::from_chars(text.data() + i + 2, text.data() + i + 4, byte, 16).ptr == text.data() + i + 4) {
            out += static_cast<char>(byte);
            i += 3;
        } else if (text.substr(i).starts_with("\\*") && !out.empty()) {
            const char* const digits = text.data() + i + 2;
            const char* const after = std::from_chars(digits, end, times).ptr;
            if (after == digits || times == 0) throw std::runtime_error("\\* without a count of at least 1");
            out.append(times - 1, out.back());
            i = static_cast<std::size_t>(after - text.data()) - 1;
        } else {
            if (text[i] == '\\') throw std::runtime_error("a backslash that is not \\xNN or \\*N after a character");
            out += text[i];
        }
    }
    return out;
}

// A line number, a count, a sensor count (which may be below 0) or a part of a day as the case file writes it.
int Integer(std::string_view text)
{
    int number = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), number).ptr != text.data() + text.size())
        throw std::runtime_error("\"" + std::string(text) + "\" is not a whole number");
    return number;
}

// YYYY-MM-DD, a day of the calendar (the year may have more digits).
std::chrono::year_month_day Day(std::string_view text)
{
    const std::size_t first = text.find('-'), second = text.rfind('-');
    if (first == std::string_view::npos || first == second) throw std::runtime_error("a day is YYYY-MM-DD");
    const int month = Integer(text.substr(first + 1, second - first - 1)), day = Integer(text.substr(second + 1));
    const std::chrono::year_month_day date{std::chrono::year{Integer(text.substr(0, first))},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) throw std::runtime_error("\"" + std::string(text) + "\" is no day");
    return date;
}

// "LINE: TEXT" of a warn or fails line.
std::pair<int, std::string> LineAndText(std::string_view rest)
{
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos) throw std::runtime_error("no \":\" after the line number");
    std::string_view text = rest.substr(colon + 1);
    if (text.starts_with(' ')) text.remove_prefix(1);
    return {Integer(rest.substr(0, colon)), Unescape(text)};
}

// "[SECTION] KEY = VALUE" or "KEY = VALUE"; the one blank after "=" is not the value's.
Expect Expected(std::string_view rest)
{
    Expect e;
    if (rest.starts_with('[')) {
        const std::size_t close = rest.find("] ");
        if (close == std::string_view::npos) throw std::runtime_error("no \"] \" after the section");
        e.section = Unescape(rest.substr(1, close - 1));
        rest.remove_prefix(close + 2);
    }
    const std::size_t equals = rest.find(" =");
    if (equals == std::string_view::npos) throw std::runtime_error("no \" =\" after the key");
    e.key = Unescape(rest.substr(0, equals));
    std::string_view value = rest.substr(equals + 2);
    if (value.starts_with(' ')) value.remove_prefix(1);
    e.value = Unescape(value);
    return e;
}

// Adds one line of a case file to the groups read so far.
void TakeLine(std::vector<CaseGroup>& groups, std::string_view line, const std::string& where)
{
    const std::size_t blank = line.find(' ');
    const std::string_view word = line.substr(0, blank);
    const std::string_view rest = blank == std::string_view::npos ? "" : line.substr(blank + 1);
    if (word == "group") {
        groups.push_back({std::string(rest), where});
        return;
    }
    if (groups.empty()) throw std::runtime_error("\"" + std::string(word) + "\" before the first group");
    CaseGroup& group = groups.back();
    if (word == "case") {
        group.cases.push_back({Unescape(rest) + " (" + where + ")", {}});
        return;
    }
    if (word == "type") {
        const std::optional<FileType> type = FileTypeFromText(rest);
        if (!type) throw std::runtime_error("no type \"" + std::string(rest) + "\"");
        group.type = *type;
    } else if (word == "name") {
        group.options.name = Unescape(rest);
    } else if (word == "unchecked-warnings") {
        group.options.warnings = false;
    } else if (word == "holds") {
        group.options.holds.push_back(Expected(rest));
        if (group.options.holds.back().section.empty()) throw std::runtime_error("holds without a [section]");
    } else if (word == "setting") {
        group.options.settings.push_back(Expected(rest));
        if (!ReaderRun().Setting(group.options.settings.back().key)) throw std::runtime_error("no such setting");
    } else {
        if (group.cases.empty()) throw std::runtime_error("\"" + std::string(word) + "\" before the first case");
        ReadCase& c = group.cases.back();
        if (word == "|") {
            if (c.files.empty()) c.files.emplace_back();
            c.files.back().push_back(Unescape(rest));
        } else if (word == "empty") {
            if (c.files.empty()) c.files.emplace_back();
            const int lines = Integer(rest);
            if (lines < 0) throw std::runtime_error("no number of empty lines below 0");
            c.files.back().insert(c.files.back().end(), static_cast<std::size_t>(lines), "");
        } else if (word == "file") {
            c.files.emplace_back();
        } else if (word == "append") {
            if (c.files.empty()) c.files.emplace_back();
            c.appended.push_back(c.files.size() - 1);
        } else if (word == "modified") {
            c.modified = Day(rest);
        } else if (word == "sensors") {
            c.sensors = Integer(rest);
        } else if (word == "sensors-after") {
            c.sensorsAfter = Integer(rest);
        } else if (word == "elements") {
            const std::size_t close = rest.find("] ");
            if (!rest.starts_with('[') || close == std::string_view::npos)
                throw std::runtime_error("no \"[SECTION] \" before the count");
            c.elements.emplace_back(Unescape(rest.substr(1, close - 1)), Integer(rest.substr(close + 2)));
        } else if (word == "warn") {
            auto [number, text] = LineAndText(rest);
            c.warned.push_back({number, text});
        } else if (word == "fails") {
            auto [number, text] = LineAndText(rest);
            c.fails = {number, text};
        } else if (word == "expect") {
            c.expect.push_back(Expected(rest));
        } else {
            throw std::runtime_error("unknown word \"" + std::string(word) + "\"");
        }
    }
}

std::vector<CaseGroup> ReadCaseFiles()
{
    std::vector<CaseGroup> groups;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(VANTREL_TEST_DATA) / "readers"))
        if (entry.path().extension() == ".cases") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        const std::string stem = path.stem().string();
        for (int number = 1; std::getline(in, line); ++number) {
            const std::string where = path.filename().string() + ":" + std::to_string(number);
            if (line.empty() || line.starts_with('#')) continue;
            try {
                TakeLine(groups, line, where);
                if (line.starts_with("group ")) groups.back().name = stem + "_" + groups.back().name;
            } catch (const std::exception& e) {
                groups.push_back({"unreadable", where});
                groups.back().error = where + ": " + e.what();
                break;
            }
        }
    }
    return groups;
}

const std::vector<CaseGroup>& CaseGroups()
{
    static const std::vector<CaseGroup> groups = ReadCaseFiles();
    return groups;
}

std::vector<std::size_t> GroupIndexes()
{
    std::vector<std::size_t> indexes(CaseGroups().size());
    for (std::size_t i = 0; i < indexes.size(); ++i) indexes[i] = i;
    return indexes;
}

class ReaderCases : public testing::TestWithParam<std::size_t> {};

TEST_P(ReaderCases, ReadAsTheCaseFileSays)
{
    const CaseGroup& group = CaseGroups()[GetParam()];
    ASSERT_EQ(group.error, "");
    ASSERT_NE(group.type, FileType::Unknown) << group.where << ": no type";
    ASSERT_FALSE(group.cases.empty()) << group.where << ": no case";
    SCOPED_TRACE(group.where);
    ExpectReads(group.type, group.cases, group.options);
}

// Named by the group; a name given twice gets its place in the files.
std::string GroupName(const testing::TestParamInfo<std::size_t>& info)
{
    const CaseGroup& group = CaseGroups()[info.param];
    std::string name;
    for (const char c : group.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    for (std::size_t i = 0; i < info.param; ++i)
        if (CaseGroups()[i].name == group.name) return name + "_" + std::to_string(info.param);
    return name;
}

INSTANTIATE_TEST_SUITE_P(Readers, ReaderCases, testing::ValuesIn(GroupIndexes()), GroupName);

// The bundled examples of each format, read as the program reads them, give no warning.
TEST(ReaderExamples, GiveNoWarning)
{
    const std::tuple<FileType, std::string, int> examples[] = {
        {FileType::DynatestF20, "f20", 0},     {FileType::CarlBroIni, "carlbro-ini", 0}, {FileType::JilsDat, "jils-dat", 7},
        {FileType::JilsPar, "jils-par", 0},    {FileType::JilsCfg, "jils-cfg", 0},       {FileType::KuabFwd, "kuab", 0},
        {FileType::KuabIni, "kuab-ini", 0}};
    for (const auto& [type, folder, sensors] : examples) {
        int files = 0;
        for (const auto& entry : fs::directory_iterator(kExamples / folder)) {
            const std::string name = entry.path().filename().string();
            if (name.ends_with(".DDX") || name.ends_with(".bag")) continue;
            ReaderRun run;
            run.NumSensors = sensors;
            run.ReadInto(type, run.Document, ReadBytes(entry.path()), name);
            ExpectWarnings(run.Warnings, {}, folder + "/" + name);
            ++files;
        }
        EXPECT_GT(files, 0) << folder;
    }
}

}  // namespace
}  // namespace vantrel::test
