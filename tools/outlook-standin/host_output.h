// The stand-in's report: one fact per line on standard output. The host's main thread and the
// editor driver's thread both write to it, so each line goes out whole and at once.
#pragma once

#include <string>

namespace standin {

// Writes Line and a line break, and flushes, so that the lines of the two threads never mix
// and a reader sees each line when it happens.
void PrintLine(const std::string& Line);

}  // namespace standin
