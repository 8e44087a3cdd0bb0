#pragma once
// Where skins live. Skin paths are written as the stored layout has them ("c:\Skins",
// "..\Skins", "\" or "/" as separators); SkinFsPath turns one into a path of this file
// system at the moment a file is touched.
#include <string>

// Where the program file lies: its path up to and including the last separator.
std::string ProgramFolder();
// The file system's path for a skin path: "\" becomes "/", and a drive-letter path stands
// for the user's own folder: "c:\Skins\Amber" is $HOME/Skins/Amber (the drive letter and
// its root map to the home folder, whatever the letter).
std::string SkinFsPath(const std::string& path);
// The user's home folder: $HOME, else the password database's entry; no trailing "/".
std::string HomeFolder();
// Resolves a skin folder setting against a program folder (both as written, "\" or "/").
std::string ResolveSkinDirectory(const std::string& skinDirectory, const std::string& programFolder);
// The skins that ship with the program: <program folder>/../share/maruk-rom-viewer/skins/.
std::string ShippedSkinDirectory();
// A file named in a skin's options: relative to the skin's folder unless it contains ":".
std::string SkinFilePath(const std::string& skinPath, const std::string& name);
// The existing file that a skin names (a relative name may say "\" or "/" between folders):
// the name as written when that file exists, else, for a relative name, the one whose every
// part below the skin's folder matches without regard to case (of several, the first in byte
// order). Skins are often written on disks that ignore case. Empty when there is none.
std::string FindSkinFile(const std::string& skinPath, const std::string& name);
bool SkinFileExists(const std::string& path);
bool SkinDirExists(const std::string& path);
