// The progress of a collect run on a terminal: one status line per
// collection method on stderr, written when the method starts and rewritten
// in place with its item count and elapsed time when it ends.
#pragma once

#include <ostream>

#include "Collection.h"

namespace Storcoll {

class Progress {
public:
    explicit Progress(std::ostream& terminal, bool color);

    // A ProgressListener.
    void operator()(const MethodOutcome& outcome, bool done);

private:
    std::ostream& m_terminal;
    bool m_color;
};

}  // namespace Storcoll
