#pragma once
// The C source generator: writes a game's palette, tiles and level maps, and
// the few functions the DS-side program calls, as generated.c in the tool
// chain's working folder; then what the game engine plays (the game's
// behaviour tables, numbers only) as lvk_gamedata.c beside it. It reads the
// game and changes nothing in it.
#include <string>

namespace lvk {

class TGame;
class TBuildLog;
class TSourceWriter;
struct TGameTables;

// WorkingFolder followed by "/arm9/source/generated.c".
std::string GeneratedSourcePath(const std::string& WorkingFolder);
// WorkingFolder followed by "/arm9/source/lvk_gamedata.c".
std::string GameDataSourcePath(const std::string& WorkingFolder);

// Writes both files anew and reports its steps to Log. Too few colours, no
// tiles or no levels are logged as errors and the whole file is still
// written; so are the behaviour tables' errors (BuildBehaviourTables), which
// follow the level block's. A generated.c that cannot be created raises
// EFileError at once. Any later failure (a write error, a level outside
// 32x24 to 256x256 cells, lvk_gamedata.c that cannot be created) closes the file with what
// was written so far, logs "Done" and an empty line, then is raised.
void GenerateSource(const TGame& Game, const std::string& WorkingFolder, TBuildLog& Log);

// lvk_gamedata.c: the tables as C that defines lvk_game (lvk_engine.h).
// User text reaches it only as numbers, and names only inside comments with
// everything but letters, digits and underscores replaced by "?".
void GenerateGameData(const TGameTables& Tables, TSourceWriter& Out);

// What the generated lvk_main prints when the game starts: the welcome line
// and the title, right-aligned in a field of half its length plus 16. Title
// is UTF-8; the DS receives it in Windows-1252, and so does the result.
std::string WelcomeText(const std::string& Title);

// The three data blocks, each appended to the open file.
void GeneratePalette(const TGame& Game, TSourceWriter& Out, TBuildLog& Log);
void GenerateTiles(const TGame& Game, TSourceWriter& Out, TBuildLog& Log);
void GenerateLevels(const TGame& Game, TSourceWriter& Out, TBuildLog& Log);

}  // namespace lvk
