#pragma once
// The user's own copy of the tool chain folder, for a program that may not
// build in its installed one: made on the first build, brought up to date by
// later versions without losing what the user changed in it.
#include <string>

namespace lvk {

class TBuildLog;

// The record of the files as last installed, in the copy's devkitPro folder.
inline constexpr const char* InstalledManifest = ".lurvik-installed";

// Brings the devkitPro folder To in line with the installed one From. A file
// To lacks is copied; one the user has not changed since it was last
// installed is replaced by the installed version; one the user changed is
// kept, and the log names it and where the new version lies, once for each
// new version. Files of the user's own (generated.c, the build's output) are
// never touched. Throws EFileError naming the file when one cannot be copied.
void UpdateToolChainCopy(const std::string& From, const std::string& To, TBuildLog& Log);

// The copy for a build of the program in ProgramFolder: nothing when it
// builds in its data folder itself.
void PrepareToolChainFolder(const std::string& ProgramFolder, TBuildLog& Log);

}  // namespace lvk
