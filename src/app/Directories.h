#pragma once
// The program's directories. The working directory holds LISTA (printed
// lists), KULD (files for the fund), DATA and TEMP (work files); the data
// directory holds MENT (backup archives). A directory that already exists
// under another spelling of its name (data copied from a system that ignores
// case) is used as it is.
#include "app/Session.h"

#include <string>

namespace velmora::app {

// The data directory of a program installed in programDir: its DATA
// subdirectory, with a trailing separator.
std::string ProgramDataDir(const std::string& programDir);

// The installation whose DATA the program uses: `home` (the VELMORA_HOME
// variable, which the installed package's launcher sets to the user's own
// folder) when it is given, else the program's own directory.
std::string InstallationDir(const std::string& programDir, const char* home);

// The path of folder `name` in `dir` as it is spelled there (any letter
// case), without creating it: the name itself when there is none.
std::string FolderIn(const std::string& dir, const std::string& name);

// Sets gdir to workingDir, creates whichever of LISTA, KULD, DATA, TEMP (in
// the working directory) and MENT (in session.dataDir) is missing, then sets
// kadat, ktemp, klista, kkuld and mentdir. A directory that cannot be created
// throws UserError "Nem lehet a <NAME> könyvtárat létrehozni"; the paths are
// then left as they were.
void Konyvtaraz(Session& session, const std::string& workingDir);
// The same for the process's current directory.
void Konyvtaraz(Session& session);

} // namespace velmora::app
