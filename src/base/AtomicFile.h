#pragma once
// Writing a file so that it is either complete or not there: the text goes to a new file beside
// the target, which replaces the target only once everything is written.

#include <functional>
#include <ostream>
#include <string>

namespace vantrel {

// std::runtime_error "Unable to create file NAME: reason" when it cannot be done; nothing of the
// attempt is left behind and an existing target stays as it was. A target that exists keeps its
// permission bits; a symbolic link keeps pointing to the file, which is replaced.
void WriteFileAtomically(const std::string& fileName, const std::function<void(std::ostream&)>& write);

// From now on an interrupt, terminate or hang-up signal first removes the temporary files being
// written, then ends the program as the signal would have.
void RemoveTemporaryFilesOnSignals();

}  // namespace vantrel
