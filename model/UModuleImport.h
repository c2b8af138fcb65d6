#pragma once
// Module files (MOD, XM and the other forms libxmp reads) into a song: the
// notes, instruments, volumes and the effects the sequencer has, the
// patterns, the order list with its restart point, the tempo. Each sample
// an imported pattern plays becomes one of the game's sounds, once:
// converted to 8 bits, resampled so that a whole base note stands for its
// pitch, cut at 2 seconds, its loop kept.
//
// What a song cannot hold is said, not hidden: more than 8 channels or 64
// patterns refuse the file (EGame, nothing changed); effects the sequencer
// lacks are left out and named in the result's note, as are patterns cut
// at 64 rows and samples cut at 2 seconds.
#include <cstddef>
#include <cstdint>
#include <string>

namespace lvk {

class TGame;
class TSong;

struct TModuleImport {
  int Sounds = 0;    // sounds added to the game
  std::string Note;  // what was left out, for a message; empty when nothing was
};

// Reads the file into Song (its data replaced, its name kept) and adds the
// sounds to Song's game, inside the caller's edit. A file that cannot be
// read raises EFileError, one libxmp does not take or a song cannot hold
// EGame; the game is unchanged then.
TModuleImport ImportModule(TSong& Song, const std::string& FileName);
// The same from bytes in memory; Name stands for the file in messages.
TModuleImport ImportModuleBytes(TSong& Song, const std::uint8_t* Bytes, std::size_t Size, const std::string& Name);

}  // namespace lvk
