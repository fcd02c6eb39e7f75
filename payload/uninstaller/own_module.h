// The running program's own file, read whole or not at all.
#pragma once

#include <string>

// The full path of the process's executable, in its long form; empty when it cannot be read
// or only cut short: a shortened path would name another file.
std::string OwnModulePath();
