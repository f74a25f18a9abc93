#pragma once
// Start-up code of our own. MinGW's is left out of the shipped programs: it was compiled for
// later processors and sets up much that they never use. Each program defines its entry
// (WinMainCRTStartup or mainCRTStartup), calls RunConstructors first, and ends with ExitProcess.

// Runs the constructors of namespace-scope objects, in the order the compiler's own start-up
// code runs them.
void RunConstructors();
