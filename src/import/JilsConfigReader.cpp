// JILS configuration files: the setup parameters (Setup.Par, comment lines starting "#" each
// followed by their values) and the load-cell configuration (.CFG, values by line position).
// Both carry gain settings over into the document used for calibration.

#include <algorithm>
#include <charconv>

#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/NumberText.h"
#include "base/ReadError.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

// The gains of Setup.Par, one per sensor channel.
constexpr const SectionAndKey& kGainElement = pddx::DeviceCalibration::SensorCalibrationCenterGain;

// A value line of Setup.Par holds its value first; the gains, one per sensor channel, fill the line.
constexpr std::size_t kColParValue = 0;
// A CFG line read by its position holds its count, or the load-cell gain, first.
constexpr std::size_t kColCfgValue = 0;

std::int16_t WholeNumberField(std::string_view field, const char* what)
{
    if (!ParseNumber(field)) throw ConversionError(std::string(what) + " " + Quoted(field) + " is not a number");
    return ToInt16(field);
}

// Every `extension` (exact letter case) in the input's name gives way to ".DDX".
void SetFileNameAndLoadType(const std::string& fileName, std::string_view extension, PDDXFile& document)
{
    document.Element(pddx::OperationsInformation::FileName).SetValue(ReplaceAll(fileName, extension, ".DDX"));
    document.Element(pddx::DeviceInformation::DeviceLoadType).SetValue("Impulse");
}

// The element the value lines after `line` fill: a comment line ends the current one, and two
// known comments start theirs (tested in this order, a later match overriding an earlier one).
const SectionAndKey* JilsParTarget(std::string_view line, const SectionAndKey* current)
{
    if (line.find('#') != std::string_view::npos) current = nullptr;
    if (line.find("# number of sensor channel") != std::string_view::npos)
        current = &pddx::DeviceConfiguration::NumberOfDeflectionSensors;
    if (line.find("# Sensor channels EU conversion factor") != std::string_view::npos) current = &kGainElement;
    return current;
}

// The element Setup.Par's value lines fill, and the comment line that named it.
struct ParTarget {
    const SectionAndKey* Element = nullptr;  // none after any other comment
    int CommentLine = 0;                     // 0 while no element is named
    int Values = 0;                          // the value lines after the comment
};

// A comment with no value line after it is what its element keeps.
void WarnIfNoValue(ReaderContext& context, const ParTarget& target)
{
    if (target.CommentLine > 0 && target.Values == 0)
        context.Warnings.Add(target.CommentLine, "no value line follows; the comment itself was stored as " +
                                                     std::string(target.Element->Key));
}

// One gain per sensor channel: values beyond the sensor count are not the sensors'.
std::string SensorGains(const LineFields& fields, const PDDXFile& document)
{
    const std::string_view sensors = document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).Value();
    const int n = WholeNumberField(sensors, "the number of deflection sensors");
    const int kept = std::min(static_cast<int>(fields.size()), n);
    std::string gains;
    for (int i = 0; i < kept; ++i) {
        if (i > 0) gains += ",";
        gains += fields[static_cast<std::size_t>(i)];
    }
    return gains;
}

// The value a line gives its element: the gains, or the first field (the comment line's too).
std::string ParValue(ReaderContext& context, const LineFields& fields, bool comment, const ParTarget& target,
                     int number, const PDDXFile& document)
{
    const bool gains = target.Element == &kGainElement;
    if (gains && fields.size() > 1) return SensorGains(fields, document);
    std::string value(fields[kColParValue]);
    if (comment || gains) return value;
    if (fields.size() > 1) context.Warnings.Add(number, "only the first field, " + Quoted(value) + ", was read");
    if (!IsWholeNumberText(value))
        context.Warnings.Add(number, "the number of sensor channels " + Quoted(value) + " is not a whole number");
    return value;
}

void ReadParLine(ReaderContext& context, std::string_view line, int number, LineFields& fields, ParTarget& target,
                 PDDXFile& document)
{
    const bool comment = line.find('#') != std::string_view::npos;
    if (comment) WarnIfNoValue(context, target);
    target.Element = JilsParTarget(line, target.Element);
    if (target.Element == nullptr) {
        target.CommentLine = 0;
        return;
    }
    SplitOnCommas(line, fields);
    if (comment) {
        target.CommentLine = number, target.Values = 0;
    } else if (++target.Values > 1) {
        context.Warnings.Add(number, "a further value line for " + std::string(target.Element->Key) + "; it replaces " +
                                         Quoted(document.Element(*target.Element).Value()));
    }
    document.Element(*target.Element).SetValue(ParValue(context, fields, comment, target, number, document));
}

}  // namespace

void ReadJilsSetupPar(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    LineFields fields;
    ParTarget target;
    ForEachLine(input, [&](std::string_view line, int number) {
        ReadParLine(context, line, number, fields, target, document);
    });
    WarnIfNoValue(context, target);
    SetFileNameAndLoadType(input.Name, ".PAR", document);
}

void ReadJilsCfg(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    context.NumSensors = 0;
    LineFields fields;
    int countLine = 0, rowsLine = 0, gainLine = 0;
    bool gainRead = false;
    // A count by position must be a whole number of at least 0 to find the lines after it.
    const auto count = [&](int number, const char* what) {
        const std::int16_t value = WholeNumberField(fields[kColCfgValue], what);
        if (value < 0 || !IsWholeNumberText(fields[kColCfgValue]))
            context.Warnings.Add(number, std::string(what) + " " + Quoted(fields[kColCfgValue]) +
                                             " is not a whole number of at least 0; " + std::to_string(value) +
                                             " was taken");
        return value;
    };
    // Positions count empty lines too.
    ForEachLine(input, [&](std::string_view line, int number) {
        if (number == 1) {
            SplitOnCommas(line, fields);
            const std::int16_t sensors = count(number, "the number of sensor channels");
            context.NumSensors = sensors;
            countLine = number;
            document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(std::to_string(sensors));
            document.Element(pddx::DeviceInformation::SensorSerialNumbers).SetValue("");
        }
        if (number > 1 && number == context.NumSensors + 3) {
            SplitOnCommas(line, fields);
            const int skipped = count(number, "the line count");
            rowsLine = number;
            gainLine = context.NumSensors + skipped + 4;
        }
        if (number > 1 && number == gainLine) {
            SplitOnCommas(line, fields);
            if (!IsNumberText(fields[kColCfgValue]))
                context.Warnings.Add(number, "the load-cell gain " + Quoted(fields[kColCfgValue]) + " is not a number");
            gainRead = true;
            document.Element(pddx::DeviceCalibration::LoadCellCalibrationCenterGain).SetValue(fields[kColCfgValue]);
        }
    });
    // What the positions could not find, line 0: the line may lie beyond the end of the file.
    if (countLine == 0)
        context.Warnings.Add(0, "line 1, where the number of sensor channels belongs, is empty; 0 was taken");
    else if (rowsLine == 0 && context.NumSensors + 3 > 1)
        context.Warnings.Add(0, "line " + std::to_string(context.NumSensors + 3) +
                                    ", where the line count belongs, is empty or missing; no load-cell gain was read");
    else if (!gainRead)
        context.Warnings.Add(0, "line " + std::to_string(gainLine) +
                                    ", where the load-cell gain belongs, is empty or missing");
    SetFileNameAndLoadType(input.Name, ".CFG", document);
}

// Comment lines ("#") above the values; marks: the two comments the reader looks for, and any
// other comment.
int SniffJilsPar(const SniffSample& sample)
{
    bool sensors = false, factors = false, comments = false;
    for (std::string_view line : sample.Filled()) {
        if (line.find('#') == std::string_view::npos) continue;
        comments = true;
        sensors = sensors || line.find("# number of sensor channel") != std::string_view::npos;
        factors = factors || line.find("# Sensor channels EU conversion factor") != std::string_view::npos;
    }
    return sensors || factors ? Score(sensors + factors + comments) : 0;
}

// Known by its structure alone, whatever the lines between hold (numbers, names): line 1 the
// sensor count N, line N + 3 a row count k, line N + k + 4 the load-cell gain (three marks; two
// while the gain may lie beyond the head).
int SniffJilsCfg(const SniffSample& sample)
{
    const auto& lines = sample.Lines();
    // The first field of line n as a small whole number; -1 where it is none or not there.
    const auto count = [&](std::size_t n) {
        const std::string_view field = n <= lines.size() ? FirstField(lines[n - 1], ',') : "";
        return IsWholeNumberText(field) && field.size() <= 4 ? std::stoi(std::string(field)) : -1;
    };
    const int sensors = count(1);
    if (sensors < 1 || sensors > 40) return 0;
    const auto beyond = [&](std::size_t n) { return n > lines.size(); };
    const std::size_t rows = static_cast<std::size_t>(sensors) + 3;
    if (beyond(rows)) return sample.Complete() ? 0 : Score(2);
    if (count(rows) < 0) return 0;
    const std::size_t gain = rows + static_cast<std::size_t>(count(rows)) + 1;
    if (beyond(gain)) return sample.Complete() ? 0 : Score(2);
    return IsNumberText(FirstField(lines[gain - 1], ',')) ? Score(3) : 0;
}
}  // namespace vantrel
