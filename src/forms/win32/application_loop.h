#pragma once
// The program's loop on Windows: runs until quitEventLoop, then the tasks given to
// whenQuitting, once.

namespace tw::forms::win32 {

int runApplication();

}  // namespace tw::forms::win32
