#pragma once
// JILS configuration files: the setup parameters (Setup.Par, comment lines starting "#" each
// followed by their values) and the load-cell configuration (.CFG, values by line position).
// Both carry gain settings over into the document used for calibration.

#include <string>
#include <string_view>

#include "document/PDDXFile.h"

namespace vantrel {

struct ProgramState;

void ReadJilsSetupPar(ProgramState& state, const std::string& fileName, PDDXFile& document);
void ReadJilsCfg(ProgramState& state, const std::string& fileName, PDDXFile& document);

// Where the values of a Setup.Par line go: a recognised comment line names its element, any
// other line holding "#" names none, and a line without "#" keeps the element it had.
void JilsParTarget(std::string_view line, std::string& section, std::string& element);

}  // namespace vantrel
