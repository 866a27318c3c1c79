#include "cli/HelpText.h"

#include <cstdio>

#include "import/FileFormats.h"

namespace vantrel {

const char* const kCommands = "convert, merge, batch, blank, detect, check, export";

std::string TypeTable()
{
    std::string table = "File types (-t TYPE, and CODE of PATH,CODE):\n";
    for (const FileFormat& format : FileFormats()) {
        // The usual extensions, "(.F20, .FWD)", so that a user can tell which type a file is.
        std::string extensions;
        for (const std::string_view extension : UsualExtensions(format)) {
            extensions += extensions.empty() ? " (." : ", .";
            extensions += extension;
        }
        if (!extensions.empty()) extensions += ')';
        char line[160];
        std::snprintf(line, sizeof line, "  %2d  %-12s %s%s%s\n", CodeOf(format.Type),
                      format.ShortName ? format.ShortName : "-", format.Name, extensions.c_str(),
                      format.Read ? "" : " (no reader)");
        table += line;
    }
    return table;
}

const char* const kFooter =
    "Without -t, convert, merge, check and export tell each file's type from its content (detect\n"
    "shows what they see), and take the default type of the settings for a file that matches none;\n"
    "-t auto does the same, but refuses such a file. FILE - is standard input.\n"
    "\n"
    "Outputs follow cp's rules: an output that is an input, or two inputs given one output, is\n"
    "refused before anything is written; a file is written whole or not at all and keeps its\n"
    "permissions and owner; a device or pipe is written as it is; a folder, a write-protected file,\n"
    "a link to nothing and a link another user planted in a shared folder are refused. In export's\n"
    "CSV, text a spreadsheet would run as a formula (=, +, -, @ ...) gets a leading apostrophe.\n"
    "\n"
    "Exit status: 0 done; 1 a file could not be read or written (or, with --strict, a warning;\n"
    "or a batch passed over a file); 2 a usage error, an unknown file type, or clashing outputs;\n"
    "detect: 1 when a file matches no type; check: 4 when it found something the calibration lacks.\n"
    "\n"
    "Examples:\n"
    "  vantrel convert RUN1.FWD                  writes RUN1.DDX beside RUN1.FWD, of the type it looks like\n"
    "  vantrel convert -t kuab RUN1.FWD          reads it as KUAB FWD whatever it looks like\n"
    "  vantrel merge -o road.DDX -t kuab RUN1.FWD -t kuab-ini FVO.INI\n"
    "  vantrel batch -t auto --output-dir out data/A.F25   every .F25 file of data/ into out/\n"
    "  vantrel detect data/*                     one line per file: data/A.F25: f25\n"
    "  vantrel check road.DDX                    what road.DDX lacks for a calibration\n"
    "  vantrel export -o drops.csv road.DDX      every drop as a row of a CSV table\n"
    "  vantrel convert -t f25 -- -odd.F25        a file whose name starts with \"-\"\n"
    "  vantrel 'C:\\data\\run1.fwd,8'              writes C:\\data\\run1cvt.DDX, keeps 8 as the default type";

}  // namespace vantrel
