#pragma once

#include "foundation/ZArray.h"
#include "foundation/ZString.h"

// Per-user files live under the documents folder, in the game's folder inside
// the games folder: <documents>\My Games\<game folder>\<sub-folder>. Paths use
// backslashes as the rest of the engine does; the os layer translates them.

// The documents folder followed by "\<games folder>" (from the application
// description), "\<game folder>" and "\<sub-folder>", each only when not empty.
// Sub-folder names already end in a backslash ("Logs\"), so a file name is
// appended directly. With create set, every folder on the way is made (an
// existing one is no error; one that cannot be made leaves the path as built,
// and later opens in it fail).
ZString GetUserFolderPath(const char* gameFolder, const char* subFolder, bool create);

// True exactly when the path opens for reading; false for null or empty.
bool FileExists(const char* path);

// Appends prefix + name for every file matching pattern in folder + prefix
// (folder ends in a backslash; null pattern or prefix count as empty). Hidden
// entries are skipped. With recurse set, sub-folders whose names match the
// pattern are walked too, their files listed as prefix + "sub\name".
// Nothing found leaves the list as it was.
void ListFiles(const char* folder, const char* pattern, ZArray<ZString>& out, bool recurse,
               const char* prefix = nullptr);

// The same walk listing sub-folders (prefix + name) instead of files. With
// recurse clear nothing is listed.
void ListSubFolders(const char* folder, const char* pattern, ZArray<ZString>& out, bool recurse,
                    const char* prefix = nullptr);
