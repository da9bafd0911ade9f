// Where the program's process looks for the DLLs it and the system code it calls load by
// name.
//
// The launcher keeps its settings beside itself, so its folder is writable by the user, and
// people run it from Downloads, where any web page can leave a DLL. By default Windows
// looks for a DLL by name in the program's folder before the system folder, so a planted
// "version.dll" or a DLL that shell extensions load by name would run inside the launcher.
#pragma once

namespace vl {

// Restricts loading by name to the system folder: drops the program's folder, the current
// folder and PATH from the search of every later LoadLibrary in the process (ours and the
// shell's). Call it first in the program, before anything loads a DLL. Returns whether the
// system took both settings.
bool RestrictDllSearch();

}  // namespace vl
