#pragma once
// JILS configuration files: the setup parameters (Setup.Par, comment lines starting "#" each
// followed by their values) and the load-cell configuration (.CFG, values by line position).
// Both carry gain settings over into the document used for calibration.

#include <string>
#include <string_view>

#include "document/PDDXFile.h"
#include "import/ReaderInput.h"

namespace vantrel {


void ReadJilsSetupPar(ReaderContext& context, ReaderInput& input, PDDXFile& document);
void ReadJilsCfg(ReaderContext& context, ReaderInput& input, PDDXFile& document);

// Where the values of a Setup.Par line go: a recognised comment line names its element, any
// other line holding "#" names none, and a line without "#" keeps the element it had.
void JilsParTarget(std::string_view line, std::string& section, std::string& element);

}  // namespace vantrel
