#pragma once
// Writing a file so that it is either complete or not there: the text goes to a new file beside
// the target, which replaces the target only once everything is written.

#include <functional>
#include <ostream>
#include <string>

namespace vantrel {

// std::runtime_error "Unable to create file NAME: reason" when it cannot be done; nothing of the
// attempt is left behind and an existing target stays as it was. Outputs follow `cp`'s rules: a
// target that exists keeps its permission bits (and its owner and group where the system lets
// the user give them); a symbolic link keeps pointing to the file, which is replaced, unless the
// system's rule for links in shared folders forbids following it or it points to nothing; a
// device or a pipe is written as it is; a folder, or a file the user may not write, is refused.
void WriteFileAtomically(const std::string& fileName, const std::function<void(std::ostream&)>& write);

// From now on a signal that would end the program first removes the temporary files being
// written, then ends the program as the signal would have. Signals ignored at start stay ignored.
void RemoveTemporaryFilesOnSignals();

}  // namespace vantrel
