#pragma once

#include <string>

// Splitting and joining of file names. "/" is the separator and a name is absolute when it
// begins with "/"; every other name is relative to the folder of the document that refers to it.

// Splits at the last "/": path is everything before it, file everything after it (both may be
// empty). Without any "/" it fails with
// "Function PathOfPathFile: PathFile (\"<pathFile>\") has no path\"." and leaves path and file
// unchanged.
bool PathOfPathFile(const std::string& pathFile, std::string& path, std::string& file,
                    std::string& message);

// Splits at the last "." of the last name component; without one, name is the whole text and
// extension is "". A dot in a folder name is not an extension ("/a.b/c" has none).
void SplitFileExtension(const std::string& fileName, std::string& name, std::string& extension);

// True when the name begins with "/".
bool IsAbsoluteFileName(const std::string& name);

// The text before the last "/" ("" when there is none, and for a file in the root folder).
std::string FolderOfFile(const std::string& pathFile);

// folder + "/" + name.
std::string JoinPath(const std::string& folder, const std::string& name);

// The file that a picture name in documentFile refers to: an absolute name as it is, a relative
// one in the folder of documentFile (as it is when documentFile names no folder).
std::string ResolveFileName(const std::string& documentFile, const std::string& name);

// The name of file relative to the folder of documentFile, or "" when there is none: both must be
// absolute and file must lie in that folder or a folder below it (a relative name never climbs to
// a parent folder). Folder names are compared exactly.
std::string MakeRelativeFileName(const std::string& documentFile, const std::string& file);

// Turns every backslash into "/", for picture names read from documents written on systems that
// separate folders with backslashes.
std::string NormalizeSeparators(std::string name);
