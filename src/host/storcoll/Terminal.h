// What storcoll asks of the terminal it may be writing to.
#pragma once

#include <cstdio>

namespace Storcoll {

// Whether the stream (stdout or stderr) is a terminal.
bool IsTerminal(std::FILE* stream);

// The terminal's width in columns; 80 when it cannot be told. COLUMNS, when
// set to a number, wins, as shells and tests set it.
int TerminalWidth(std::FILE* stream);

// Colour only on a terminal, and never when NO_COLOR is set (to any non-empty text).
bool ColorWanted(std::FILE* stream);

}  // namespace Storcoll
