#pragma once

#include "combat/combatant.h"
#include "combat/random.h"
#include "data/lock_wait_notice.h"
#include "data/platform_file_system.h"
#include "data/section_file.h"

namespace skarn {

// The objects the window shares for as long as the program runs: the two
// fighters every run fills, the generator every run draws from (the main
// window seeds it once when it opens), and the two data files of the working
// directory, on the platform's file system. One ProgramObjects holds them all; SimulatorApp owns it, and a
// test that opens the main window without the application holds its own.
//
// They are constructed in the order of the members, the files last (which
// open, and if need be create, "charfile.cfg" and "equifile.cfg" at once),
// and destroyed in reverse.
//
// Not thread-safe: use from the user-interface thread only.
class ProgramObjects {
public:
    // REQUIRES: no other ProgramObjects lives.
    ProgramObjects();
    ~ProgramObjects();
    ProgramObjects(const ProgramObjects&) = delete;
    ProgramObjects& operator=(const ProgramObjects&) = delete;

    Combatant yourCombatant;
    Combatant oppCombatant;
    Random generator;
    PlatformFileSystem fileSystem;
    // The files' file system, which tells the window when an edit waits for
    // another program's lock; so it comes before them.
    LockWaitNotice lockNotice{fileSystem};
    SectionFile charFile;
    SectionFile equiFile;
};

// The objects of the ProgramObjects that lives now.
// REQUIRES: a ProgramObjects lives (the program aborts otherwise).
ProgramObjects& programObjects();
inline Combatant& yourCombatant() { return programObjects().yourCombatant; }
inline Combatant& oppCombatant() { return programObjects().oppCombatant; }
inline Random& generator() { return programObjects().generator; }
inline SectionFile& charFile() { return programObjects().charFile; }
inline SectionFile& equiFile() { return programObjects().equiFile; }

}  // namespace skarn
