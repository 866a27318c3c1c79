#pragma once
// Reads a PDDX (.DDX) file into a new document or appends it to an existing one, looking values
// up by the rules of a profile file (see base/ProfileFile.h). Every step that fails (a counter
// that is not a number, a clashing section) is skipped and reading goes on; nothing is reported.

#include <cstdint>

#include "base/NativeText.h"
#include "document/PDDXFile.h"

namespace vantrel {

// numSensors is the program-wide sensor count; a NumberOfDeflectionSensors above 0 replaces it.
// A text that cannot be read to its end (too long a line, a file changed meanwhile) is a ReadError
// and leaves the document as it was.
void ReadPDDXFile(ByteSource& input, PDDXFile& document, bool append, int& numSensors);

}  // namespace vantrel
