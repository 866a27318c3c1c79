#pragma once
// The help's own parts: the usage lines, the type table and the closing notes with examples.

#include <CLI/CLI.hpp>

#include <string>

namespace vantrel {

// The usage lines say what CLI11 cannot: the one PATH,CODE job, and the desktop program.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App* app, std::string name) const override
    {
        if (app->get_parent()) return CLI::Formatter::make_usage(app, std::move(name));
        return "\nUsage: vantrel [OPTIONS] SUBCOMMAND [ARGS]   (vantrel help SUBCOMMAND for its options)\n"
               "       vantrel [OPTIONS] PATH,CODE\n"
               "       vantrel                              (no argument: the desktop program)\n";
    }
};

// The commands, as a message lists them.
extern const char* const kCommands;
// "File types (...)": one line per row of the format table.
std::string TypeTable();
// After the type table: detection, exit statuses and examples.
extern const char* const kFooter;

}  // namespace vantrel
