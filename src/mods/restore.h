// Going back to the original game: every game file that has a backup gets the
// backup's bytes again. The backups stay.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/layout.h"
#include "io/error_report.h"

namespace quorvane {

struct RestoreFile {
    GameFile file = GameFile::ItemPow;
    bool hasBackup = false;
    bool backupNotRegular = false;  // something other than a regular file stands at the backup's name
    bool backupRead = false;  // the backup could be read
    bool identical = false;   // the game file already holds the backup's bytes
    int values = 0;           // values that change back
    bool restored = false;    // the file was replaced with the backup's bytes
    bool failed = false;      // writing it failed; it is as it was, unless partly
    bool partly = false;      // an in-place write failed on the way: some bytes may be new
};

struct RestoreResult {
    bool ran = false;  // false when a run in progress held the game folder
    std::vector<RestoreFile> files;  // every game file, in the order the file actions open them
    int Values() const;
};

// Replaces every game file of the folder that has a backup, and differs from
// it, with the backup's bytes: atomically, with the game folder locked (and
// every folder a game file resolves into through a link), the file keeping
// its owner, permission bits and extended attributes; the backup stays. A
// game file with other names is written in place instead, after every other
// file, so that all its names hold the original bytes. Only a regular file
// counts as a backup. With dryRun nothing is written (not even a lock file)
// and the result tells what would change. Each backup that cannot be read,
// each file that cannot be written and each attribute a replacement lost is
// reported; the other files are restored all the same.
RestoreResult RestoreOriginalGame(const std::filesystem::path& folder, ErrorSink& errors, bool dryRun);

// One line about one file of the result, for example "Restored MAGIC.EXE
// from MAGIC.EXE.bak: 3 values changed back." or, in a dry run, "MAGIC.EXE
// would be restored from MAGIC.EXE.bak: 3 values change back."
std::string RestoreLine(const RestoreFile& file, bool dryRun);

}  // namespace quorvane
