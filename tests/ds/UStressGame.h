#pragma once
// The engine's stress game: one level with the most live instances a
// level may hold, every one moving all the time, bouncing off the screen's
// walls, sliding round posts and running through instances of the other
// kind. Built with the DS program's meter ("make LVK_METER=1") it shows what
// share of a frame the engine needs at its worst; the host's figures for it
// are in bench/BenchEngine.cpp.
//
// With --sounds one red ball is a beeper: as it moves it starts two sounds
// every quarter of a second (8 a second, two in one frame), and the level
// loops a third as its music; the meter then counts the sound starts too,
// and its sound row shows the channels they get.
//
// With --rules every ball also runs a rule on every frame: an OnTimer(1,
// repeat) handler whose guard compares the ball's own counter and whose
// SetVariable adds to it, the worst a game with rules asks each frame.
//
// With --scroll the level is 256x64 cells and the camera follows a hero
// ball that crosses it from wall to wall, the other 127 spread along it:
// the meter then counts a world that scrolls on every frame.
// With --sprites every ball is 16x16, animated (a loop of four frames of
// four tiles, a new frame every 4 frames) and faces the way it moves; the
// 128 balls stand two cells apart, and there are no posts.
#include <string>

namespace lvk {

class TGame;

enum class TStress { Plain, Sounds, Rules, Scroll, Sprites };

// Builds the stress game of that kind into an empty Game, its tiles read from
// TilesFolder (the sample's tiles). Throws what the tiles' import throws.
void BuildStressGame(TGame& Game, const std::string& TilesFolder, TStress Kind);

}  // namespace lvk
