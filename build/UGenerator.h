#pragma once
// The C source generator: writes a game's palette, tiles and level maps, and
// the few functions the DS-side program calls, as one C file in the tool
// chain's working folder. It reads the game and changes nothing in it; it
// knows nothing of event handlers.
#include <string>

namespace lvk {

class TGame;
class TBuildLog;
class TSourceWriter;

// WorkingFolder followed by "/arm9/source/generated.c".
std::string GeneratedSourcePath(const std::string& WorkingFolder);

// Writes the file anew and reports its steps to Log. Too few colours, no
// tiles or no levels are logged as errors and the whole file is still
// written. A file that cannot be created raises EFileError at once. Any
// later failure (a write error, a level that is not 32 by 24) closes the file
// with what was written so far, logs "Done" and an empty line, then is raised.
void GenerateSource(const TGame& Game, const std::string& WorkingFolder, TBuildLog& Log);

// The three data blocks, each appended to the open file.
void GeneratePalette(const TGame& Game, TSourceWriter& Out, TBuildLog& Log);
void GenerateTiles(const TGame& Game, TSourceWriter& Out, TBuildLog& Log);
void GenerateLevels(const TGame& Game, TSourceWriter& Out, TBuildLog& Log);

}  // namespace lvk
