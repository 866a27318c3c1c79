#pragma once
// What a reader carries from one file to the next file of the same kind within one run (readers
// whose state is reset at every file keep it to themselves).

#include "import/CarlBroCarryOver.h"
#include "import/KuabCarryOver.h"

namespace vantrel {

struct ReaderCarryOver {
    CarlBroCarryOver CarlBro;
    KuabCarryOver Kuab;
};

}  // namespace vantrel
