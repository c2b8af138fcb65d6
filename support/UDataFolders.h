#pragma once
// Where the program's data lies: the help pages, the tool chain's devkitPro
// folder (launcher and DS project) and the sample game. An installed program
// keeps them in <prefix>/share/lurvik-studio beside <prefix>/bin; a build
// tree keeps them beside the executable. The editor, the help, the build
// and the headless commands all ask here, so they cannot disagree.
#include <string>

namespace lvk {

// The application's folder in the user's data folder. The editor hands it to
// Qt as the application's name, so QStandardPaths::AppDataLocation names the
// same folder as UserDataFolder. No blank in it: devkitPro's make rules
// cannot build below a path that has one.
inline constexpr const char* AppFolderName = "lurvik-studio";

// ProgramFolder/../share/lurvik-studio when that folder exists, else the
// program's folder itself.
std::string DataFolder(const std::string& ProgramFolder);

// The sample game in the data folder; empty when there is none.
std::string SampleGamePath(const std::string& DataFolder);

// $XDG_DATA_HOME, or $HOME/.local/share, followed by AppFolderName.
std::string UserDataFolder();

// The folder whose devkitPro folder the tool chain builds in. A build tree
// builds beside the executable where it may write there; an installed
// program, or one whose data folder is not writable, builds in a copy in the
// user's data folder (an installed program never writes below its prefix,
// even when run by root). Without any devkitPro folder to copy, the data
// folder, so that the build names the folder that is missing.
std::string ToolChainRoot(const std::string& ProgramFolder);

}  // namespace lvk
