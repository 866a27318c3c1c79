#pragma once
// The settings file: a small INI text, one "[Settings]" section with one key per field. Text
// values are written in double quotes so that blanks around them survive; numbers stand bare.

#include <ostream>
#include <string_view>

#include "core/ProgramState.h"

namespace vantrel {

// Fills state.Settings from state.SettingsFile (defaults for what is absent; the JILS values only
// when FileType is 6) and sets the working folders and CurrentType. A missing file is created
// empty when createIfMissing is set. A file that cannot be read, and a value of the wrong kind,
// are reported on `warnings` and the defaults are used.
void LoadSettings(ProgramState& state, bool createIfMissing, std::ostream& warnings);

// Replaces state.SettingsFile with the current settings; the JILS values are written when
// Settings.Type is 6. A file that cannot be written is reported on `warnings`.
void SaveSettings(const ProgramState& state, std::ostream& warnings);

// Puts a file at the top of state.RecentFiles (once, by its path), keeping the newest
// kRecentFileCount.
void RememberRecentFile(ProgramState& state, const std::string& path, FileType fileType);

// Sets one field by its name (any letter case) from text, as the command line's --set does;
// std::invalid_argument for an unknown name or a number that is not one.
void SetSettingsField(SettingsRecord& settings, std::string_view name, std::string_view value);

}  // namespace vantrel
