#pragma once
// A game as one web page: the engine compiled to WebAssembly, the tables the
// play window plays, the pictures, sounds and start text, all inside one
// HTML file that plays from a local file with no server and no network.
// No Qt; the command line and the export dialog both come here.
#include <cstdint>
#include <string>
#include <vector>

namespace lvk {

class TGame;
class TBuildLog;
struct TGameTables;

// The tables as the page's engine reads them (engine/lvk_pack.h): every
// table of the engine's game description, the sounds, the palette, tiles
// and level maps, and the text the game prints when it starts.
std::vector<std::uint8_t> PackGameTables(const TGameTables& Tables, const std::string& StartText);

// Whether this program carries the web engine (it was built with clang and
// lld); without it no page can be made.
bool HaveWebEngine();

// The page's text for Game. Logs, as counted errors, what the table builder
// logs (the play window shows the same problems), and the notes as lines.
// Throws EGame when the program has no web engine.
std::string MakeWebPage(const TGame& Game, TBuildLog& Log);

// Writes the page to FileName so that a failure leaves an older file as it
// was; returns its size in bytes. Throws EGame (no web engine) or
// EFileError (the file cannot be written).
std::uint64_t ExportWebPage(const TGame& Game, const std::string& FileName, TBuildLog& Log);

// Base64 of Bytes (RFC 4648, with padding), as the page carries its binaries.
std::string Base64(const std::uint8_t* Bytes, std::size_t Count);

}  // namespace lvk
