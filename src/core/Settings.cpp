#include "core/Settings.h"

#include <array>
#include <cstdio>
#include <functional>
#include <utility>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Latin1.h"
#include "base/ProfileFile.h"
#include "base/NativeText.h"
#include "base/NumberText.h"

namespace vantrel {
namespace {

constexpr std::string_view kSection = "Settings";
constexpr std::string_view kCheckSection = "Check";

// Reads a setting from the store; absent keys give their default.
class SettingsReader {
public:
    SettingsReader(const ProfileFile& profile, const std::filesystem::path& file, std::ostream& warnings,
                   std::string_view section = kSection)
        : profile_(profile), section_(profile.FindSection(section)), file_(file), warnings_(warnings)
    {
    }

    std::string Text(std::string_view key, const std::string& fallback) const
    {
        const std::optional<std::string_view> value = profile_.Find(section_, key);
        return value ? std::string(*value) : fallback;
    }

    template <typename Int>
    Int Number(std::string_view key, Int fallback, Int (*convert)(std::string_view)) const
    {
        const std::optional<std::string_view> value = profile_.Find(section_, key);
        if (!value) return fallback;
        try {
            return convert(*value);
        } catch (const ConversionError& e) {
            warnings_ << "vantrel: " << file_.string() << ": " << key << ": " << e.what() << "; using " << fallback
                      << "\n";
            return fallback;
        }
    }

private:
    const ProfileFile& profile_;
    int section_;
    std::filesystem::path file_;
    std::ostream& warnings_;
};

// A sensor count as the settings file has always held it: a 16-bit whole number.
int ReadSensorCount(std::string_view text) { return ToInt16(text); }
std::int32_t ReadInt32(std::string_view text) { return ToInt32(text); }

// In double quotes, on one line: a line break would start another key in the file.
std::string QuotedText(std::string text)
{
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return "\"" + text + "\"";
}

// The window sizes of the desktop settings by their keys.
std::array<std::pair<std::string_view, std::reference_wrapper<int>>, 4> DesktopSizes(DesktopSettings& desktop)
{
    return {{{"MainWidth", desktop.MainWidth},
             {"MainHeight", desktop.MainHeight},
             {"ReviewWidth", desktop.ReviewWidth},
             {"ReviewHeight", desktop.ReviewHeight}}};
}

// The user's settings folder may not be there yet; a settings file named elsewhere gets no folder
// made for it.
void MakeUserSettingsFolder(const ProgramState& state)
{
    std::error_code error;
    if (!state.UserSettingsFolder.empty() && state.SettingsFile.parent_path() == state.UserSettingsFolder)
        std::filesystem::create_directories(state.UserSettingsFolder, error);
}

}  // namespace

void LoadSettings(ProgramState& state, bool createIfMissing, std::ostream& warnings)
{
    const std::filesystem::path& file = state.SettingsFile;
    std::string text;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A pipe would never end, a device would be read for ever: only a file holds settings.
        warnings << "vantrel: " << file.string() << ": the settings file is not a regular file; it was not read "
                 << "and will not be written; using the defaults\n";
    } else if (std::filesystem::exists(status)) {
        try {
            text = ReadFileBytes(file.string());
        } catch (const std::exception& e) {
            warnings << "vantrel: settings not read: " << e.what() << "; using the defaults\n";
        }
    } else if (createIfMissing) {
        MakeUserSettingsFolder(state);
        std::ofstream created(file, std::ios::binary);
        if (!created) warnings << "vantrel: " << file.string() << ": cannot create the settings file\n";
    }

    const ProfileFile profile(text);
    const SettingsReader reader(profile, file, warnings);
    SettingsRecord& s = state.Settings;
    const std::string folder = state.DefaultFolder.string();
    s.InputPath = reader.Text("InputPath", folder);
    s.HistoryPath = reader.Text("HistoryPath", folder);
    s.ConfigPath = reader.Text("ConfigPath", folder);
    s.Type = static_cast<FileType>(reader.Number<std::int32_t>("FileType", 1, &ReadInt32));

    state.WorkingInputPath = s.InputPath;
    state.WorkingHistoryPath = s.HistoryPath;
    state.WorkingConfigPath = s.ConfigPath;
    state.CurrentType = s.Type;

    if (s.Type == FileType::JilsDat) {
        s.NumSensors = reader.Number<int>("NumSensors", 7, &ReadSensorCount);
        s.LoadPlateRadius = reader.Text("LoadPlateRadius", "6");
        s.SensorXAxis = reader.Text("SensorXAxis", "");
        s.SensorYAxis = reader.Text("SensorYAxis", "");
    }

    // Keys of our own beside the described ones: RecentFile1 (newest) to RecentFile8, each with
    // the type it was read as. A gap ends the list.
    state.RecentFiles.clear();
    for (std::size_t i = 1; i <= kRecentFileCount; ++i) {
        const std::string number = std::to_string(i);
        const std::string path = reader.Text("RecentFile" + number, "");
        if (path.empty()) break;
        state.RecentFiles.push_back({path, static_cast<FileType>(reader.Number<std::int32_t>("RecentType" + number, 1,
                                                                                             &ReadInt32))});
    }

    // The desktop's own keys, written only once they differ from a fresh program's.
    DesktopSettings& desktop = state.Desktop;
    state.WorkingInputPath = reader.Text("LastFolder", state.WorkingInputPath);
    desktop.ShowInstructionsAtStart = reader.Number<std::int32_t>("ShowInstructions", 1, &ReadInt32) != 0;
    desktop.MainMaximized = reader.Number<std::int32_t>("MainMaximized", 0, &ReadInt32) != 0;
    for (const auto& [key, field] : DesktopSizes(desktop))
        field.get() = reader.Number<std::int32_t>(key, 0, &ReadInt32);

    const SettingsReader limits(profile, file, warnings, kCheckSection);
    s.Check = {};
    for (const CheckLimitKey& key : CheckLimitKeys())
        s.Check.*key.Field = limits.Number<double>(key.Name, s.Check.*key.Field, &ToNumber);
}

void SaveSettings(const ProgramState& state, std::ostream& warnings)
{
    const SettingsRecord& s = state.Settings;
    std::string text = "[Settings]\r\n";
    const auto line = [&text](std::string_view key, const std::string& value) {
        text.append(key).append(" = ").append(value).append("\r\n");
    };
    line("InputPath", QuotedText(s.InputPath));
    line("HistoryPath", QuotedText(s.HistoryPath));
    line("ConfigPath", QuotedText(s.ConfigPath));
    line("FileType", std::to_string(CodeOf(s.Type)));
    if (s.Type == FileType::JilsDat) {
        line("NumSensors", std::to_string(s.NumSensors));
        line("LoadPlateRadius", QuotedText(s.LoadPlateRadius));
        line("SensorXAxis", QuotedText(s.SensorXAxis));
        line("SensorYAxis", QuotedText(s.SensorYAxis));
    }
    for (std::size_t i = 0; i < state.RecentFiles.size() && i < kRecentFileCount; ++i) {
        const std::string number = std::to_string(i + 1);
        line("RecentFile" + number, QuotedText(state.RecentFiles[i].Path));
        line("RecentType" + number, std::to_string(CodeOf(state.RecentFiles[i].Type)));
    }
    // The folder a file was chosen in last, when it is not the one the settings start in anyway.
    if (!state.WorkingInputPath.empty() && state.WorkingInputPath != s.InputPath)
        line("LastFolder", QuotedText(state.WorkingInputPath));
    DesktopSettings desktop = state.Desktop;
    if (!desktop.ShowInstructionsAtStart) line("ShowInstructions", "0");
    if (desktop.MainMaximized) line("MainMaximized", "1");
    for (const auto& [key, field] : DesktopSizes(desktop))
        if (field.get() > 0) line(key, std::to_string(field.get()));
    // The calibration checks' limits that differ from their defaults.
    const CheckLimits defaults;
    bool checkGroup = false;
    for (const CheckLimitKey& key : CheckLimitKeys()) {
        if (s.Check.*key.Field == defaults.*key.Field) continue;
        if (!checkGroup) text += "[Check]\r\n";
        checkGroup = true;
        line(key.Name, DoubleText(s.Check.*key.Field));
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(state.SettingsFile, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return;  // said when loaded
    MakeUserSettingsFolder(state);
    try {
        WriteFileAtomically(state.SettingsFile.string(), [&text](std::ostream& out) { out << text; });
    } catch (const std::exception& e) {
        warnings << "vantrel: settings not saved: " << e.what() << "\n";
    }
}

void RememberRecentFile(ProgramState& state, const std::string& path, FileType fileType)
{
    std::vector<RecentFile>& files = state.RecentFiles;
    std::erase_if(files, [&path](const RecentFile& file) { return file.Path == path; });
    files.insert(files.begin(), {path, fileType});
    if (files.size() > kRecentFileCount) files.resize(kRecentFileCount);
}

void SetSettingsField(SettingsRecord& settings, std::string_view name, std::string_view value)
{
    // A line break would end the value in the settings file and start another key there.
    if (value.find_first_of("\r\n") != std::string_view::npos)
        throw std::invalid_argument(std::string(name) + ": a value cannot hold a line break");
    const auto number = [&](auto convert) {
        try {
            return convert(value);
        } catch (const ConversionError& e) {
            throw std::invalid_argument(std::string(name) + ": " + e.what());
        }
    };
    if (EqualsIgnoreCase(name, "InputPath")) settings.InputPath = value;
    else if (EqualsIgnoreCase(name, "HistoryPath")) settings.HistoryPath = value;
    else if (EqualsIgnoreCase(name, "ConfigPath")) settings.ConfigPath = value;
    else if (EqualsIgnoreCase(name, "FileType")) settings.Type = static_cast<FileType>(number(&ReadInt32));
    else if (EqualsIgnoreCase(name, "NumSensors")) settings.NumSensors = number(&ReadSensorCount);
    else if (EqualsIgnoreCase(name, "LoadPlateRadius")) settings.LoadPlateRadius = value;
    else if (EqualsIgnoreCase(name, "SensorXAxis")) settings.SensorXAxis = value;
    else if (EqualsIgnoreCase(name, "SensorYAxis")) settings.SensorYAxis = value;
    else if (double* limit = FindCheckLimit(settings.Check, name)) *limit = number(&ToNumber);
    else
        throw std::invalid_argument("\"" + std::string(name) +
                                    "\" is not a setting (InputPath, HistoryPath, ConfigPath, FileType, "
                                    "NumSensors, LoadPlateRadius, SensorXAxis, SensorYAxis, or a limit of "
                                    "check --rules)");
}

}  // namespace vantrel
