#pragma once
// Reads a PDDX (.DDX) file into a new document or appends it to an existing one, looking values
// up by the rules of a profile file (see base/ProfileFile.h). Other programs' files are taken
// whole: every test location, drop and drop history in file order, numbered from 1 whatever
// numbers the file gives them, and every key and section the template lacks, kept in place.

#include <cstdint>

#include "base/NativeText.h"
#include "base/ReadWarnings.h"
#include "document/PDDXFile.h"

namespace vantrel {

// numSensors is the program-wide sensor count; a NumberOfDeflectionSensors above 0 replaces it.
// What was renumbered, which counter disagreed with what the file holds (the document's counters
// then count what was read) and which lines were ignored go to `warnings`. A text that cannot be
// read to its end (too long a line, a file changed meanwhile) is a ReadError and leaves the
// document as it was.
void ReadPDDXFile(ByteSource& input, PDDXFile& document, bool append, int& numSensors, ReadWarnings& warnings);

}  // namespace vantrel
