#include "document/modPDDXRead.h"

#include <exception>
#include <optional>

#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/ReadError.h"
#include "base/modConvert.h"

namespace vantrel {
namespace {

// A whole number read the reader's way; nullopt where the text is not one.
std::optional<int> WholeNumber(std::string_view text)
{
    try {
        return ToInt16(text);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

// Runs one step of the reading; a step that fails is skipped.
template <typename Step>
void Skippable(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

void ReadNewTestLocation(const ProfileFile& profile, PDDXFile& document, int i)
{
    PDDXSection& location = document.AddTestLocation(i);
    const int section = profile.FindSection(location.Handle());
    for (PDDXElement& element : location.Elements())
        Skippable([&] { element.SetValue(profile.Lookup(section, element.Handle())); });
    // A location whose drop count is not a number gets no drops.
    const int drops = WholeNumber(location.Element("NumberOfDrops").Value()).value_or(0);
    for (int j = 1; j <= drops; ++j)
        Skippable([&] {
            PDDXElement& drop = location.AddDropData(j);
            drop.SetValue(profile.Lookup(section, drop.Handle()));
        });
}

void AppendTestLocation(const ProfileFile& profile, PDDXFile& document, int i)
{
    PDDXSection& location = document.AddTestLocation();
    const int section = profile.FindSection("Test Location " + std::to_string(i));
    for (PDDXElement& element : location.Elements())
        Skippable([&] { element.SetValue(profile.Lookup(section, element.Handle())); });
    const int drops = WholeNumber(profile.Lookup(section, "NumberOfDrops")).value_or(0);
    for (int j = 1; j <= drops; ++j)
        Skippable([&] {
            PDDXElement& drop = location.AddDropData(j);
            drop.SetValue(profile.Lookup(section, drop.Handle()));
        });
}

}  // namespace

void ReadPDDXElement(const ProfileFile& profile, const PDDXElement& element, PDDXFile& document, bool append)
{
    if (append && (EqualsIgnoreCase(element.Handle(), "NumberOfTestLocations") ||
                   EqualsIgnoreCase(element.Handle(), "NumberOfDrops")))
        return;
    const std::string& section = element.Parent()->Handle();
    std::string value = profile.Lookup(section, element.Handle());
    if (!value.empty() || !append) document.Element(section, element.Handle()).SetValue(std::move(value));
}

void ReadPDDXProfile(const ProfileFile& profile, PDDXFile& document, bool append, std::int16_t& numSensors)
{
    const PDDXFile scratch;
    for (const PDDXSection& section : scratch.Sections())
        for (const PDDXElement& element : section.Elements())
            Skippable([&] { ReadPDDXElement(profile, element, document, append); });

    Skippable([&] {
        const int n = ToInt16(document.Element("Device Configuration", "NumberOfDeflectionSensors").Value());
        if (n > 0) numSensors = static_cast<std::int16_t>(n);
    });

    const int locations = WholeNumber(profile.Lookup("Deflection Data", "NumberOfTestLocations")).value_or(0);
    for (int i = 1; i <= locations; ++i)
        Skippable([&] {
            if (append) AppendTestLocation(profile, document, i);
            else ReadNewTestLocation(profile, document, i);
        });
}

void ReadPDDXFile(ByteSource& input, PDDXFile& document, bool append, std::int16_t& numSensors)
{
    ReadPDDXProfile(ProfileFile(ReadAllText(input, true)), document, append, numSensors);
}

}  // namespace vantrel
