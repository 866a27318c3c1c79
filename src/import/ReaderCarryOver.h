#pragma once
// What a reader carries from one file to the next file of the same kind within one run (readers
// whose state is reset at every file keep it to themselves).

namespace vantrel {

struct ReaderCarryOver {
};

}  // namespace vantrel
