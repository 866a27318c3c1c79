#pragma once
// Reads a PDDX (.DDX) file into a new document or appends it to an existing one. Every step that
// fails (a counter that is not a number, a clashing section) is skipped and reading goes on;
// nothing is reported.

#include <cstdint>
#include <string>

#include "document/PDDXFile.h"
#include "base/NativeText.h"
#include "base/ProfileFile.h"

namespace vantrel {

// numSensors is the program-wide sensor count; a NumberOfDeflectionSensors above 0 replaces it.
// A text that cannot be read to its end (too long a line, a file changed meanwhile) is a ReadError.
void ReadPDDXFile(ByteSource& input, PDDXFile& document, bool append, std::int16_t& numSensors);
void ReadPDDXProfile(const ProfileFile& profile, PDDXFile& document, bool append, std::int16_t& numSensors);

// One value: looked up under the element's own section and handle, and set on the element of
// that name in `document` unless appending would blank it out (or it is a counter).
void ReadPDDXElement(const ProfileFile& profile, const PDDXElement& element, PDDXFile& document, bool append);

}  // namespace vantrel
