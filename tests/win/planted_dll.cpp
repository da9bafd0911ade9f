// A DLL of our own that a hostile download would leave beside the program: it answers
// VlPlanted, so that a test can tell it from the system's DLL of the same name.
#include <windows.h>

extern "C" __declspec(dllexport) int VlPlanted() { return 42; }
