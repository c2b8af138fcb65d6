// The song sequencer's rules, frame by frame: row timing at every tempo,
// each effect's pitch and volume on the frames it acts, note-off and cut,
// the order list (loop point, jump, end of pattern, end), play and stop;
// and songs through the mixer: pitch, held loops, one pass rendered.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lvk_seq.h"
#include "lvk_seq_mix.h"

namespace {

constexpr std::uint8_t C4 = LVK_SEQ_DEFAULT_BASE_NOTE, Off = LVK_SEQ_NOTE_OFF, NoVol = LVK_SEQ_NO_VOLUME;
constexpr int Fine = LVK_SEQ_FINE;

lvk_seq_cell_t Cell(std::uint8_t Note = 0, std::uint8_t Instrument = 0, std::uint8_t Volume = NoVol,
                    std::uint8_t Effect = 0, std::uint8_t Value = 0) {
  return {Note, Instrument, Volume, Effect, Value};
}

// A song held in vectors, its tables pointing into them.
struct TSong {
  int Channels = 1;
  std::vector<std::vector<lvk_seq_cell_t>> Patterns;  // rows x channels, row after row
  std::vector<std::uint8_t> Orders{0};
  std::uint8_t Tempo = 6, Loop = LVK_SEQ_NO_LOOP;
  std::vector<std::uint16_t> Instruments{0, 1};

  std::vector<lvk_seq_cell_t> Cells;
  std::vector<std::uint16_t> Start;
  std::vector<std::uint8_t> Rows;
  lvk_seq_song_t Song{};

  // Pattern of Rows rows, every cell empty.
  std::vector<lvk_seq_cell_t>& Add(int RowCount = 16) {
    Patterns.emplace_back(static_cast<std::size_t>(RowCount * Channels), Cell());
    return Patterns.back();
  }
  const lvk_seq_song_t* Finish() {
    Cells.clear();
    Start.clear();
    Rows.clear();
    for (const auto& P : Patterns) {
      Start.push_back(static_cast<std::uint16_t>(Cells.size()));
      Rows.push_back(static_cast<std::uint8_t>(P.size() / static_cast<std::size_t>(Channels)));
      Cells.insert(Cells.end(), P.begin(), P.end());
    }
    Song = {Cells.data(),
            Start.data(),
            Rows.data(),
            Orders.data(),
            Instruments.data(),
            static_cast<std::uint16_t>(Cells.size()),
            static_cast<std::uint8_t>(Channels),
            Tempo,
            static_cast<std::uint8_t>(Patterns.size()),
            static_cast<std::uint8_t>(Orders.size()),
            static_cast<std::uint8_t>(Instruments.size()),
            Loop};
    return &Song;
  }
};

struct TSeq {
  lvk_seq_t S{};
  TSeq() { lvk_seq_init(&S, nullptr, 4); }
};

// The pitch a channel plays, from its rate; -1 when silent.
int PitchOf(const lvk_seq_channel_t& C) {
  if (C.sound == LVK_SEQ_NONE) return -1;
  for (int P = LVK_SEQ_MIN_NOTE * Fine; P <= LVK_SEQ_MAX_NOTE * Fine; ++P)
    if (lvk_seq_rate(P, C4) == C.rate) return P;
  return -2;
}

TEST(Seq, RatesFollowTheEqualScale) {
  // The base note plays at the sound's own rate, an octave doubles it, and
  // every fine step is 2^(1/192) apart, from C1 to B7, whatever the base.
  EXPECT_EQ(lvk_seq_rate(C4 * Fine, C4), LVK_SEQ_SOURCE_RATE * 256u);
  EXPECT_EQ(lvk_seq_rate(C4 * Fine, 0), LVK_SEQ_SOURCE_RATE * 256u);
  EXPECT_EQ(lvk_seq_rate((C4 + 12) * Fine, C4), LVK_SEQ_SOURCE_RATE * 512u);
  EXPECT_EQ(lvk_seq_rate((C4 - 24) * Fine, C4), LVK_SEQ_SOURCE_RATE * 64u);
  EXPECT_EQ(lvk_seq_rate(50 * Fine, 50), LVK_SEQ_SOURCE_RATE * 256u);
  for (int Base : {1, int{C4}, 84})
    for (int P = LVK_SEQ_MIN_NOTE * Fine; P <= LVK_SEQ_MAX_NOTE * Fine; P += 7) {
      const double Want = LVK_SEQ_SOURCE_RATE * 256.0 * std::pow(2.0, (P - Base * Fine) / 192.0);
      EXPECT_NEAR(lvk_seq_rate(P, Base) / Want, 1.0, 2e-5) << P << " base " << Base;
    }
}

TEST(Seq, RowsStartEveryTempoFrames) {
  // At every tempo, row r of a pattern of notes starts on frame r x tempo,
  // and nowhere else; SET_TEMPO changes it from its own row on.
  for (int Tempo = LVK_SEQ_MIN_TEMPO; Tempo <= LVK_SEQ_MAX_TEMPO; ++Tempo) {
    TSong Song;
    Song.Tempo = static_cast<std::uint8_t>(Tempo);
    auto& P = Song.Add(16);
    for (int r = 0; r < 16; ++r) P[static_cast<std::size_t>(r)] = Cell(static_cast<std::uint8_t>(20 + r), 1);
    P[4].effect = LVK_SEQ_FX_SET_TEMPO;
    P[4].value = 3;
    TSeq Seq;
    lvk_seq_play(&Seq.S, Song.Finish(), 1);
    std::vector<int> Starts, Want;
    for (int r = 0; r < 16; ++r) Want.push_back(r < 4 ? r * Tempo : 4 * Tempo + (r - 4) * 3);
    for (int f = 0; f < 4 * Tempo + 12 * 3; ++f) {
      lvk_seq_step(&Seq.S);
      if (Seq.S.channels[0].trigger) {
        Starts.push_back(f);
        EXPECT_EQ(PitchOf(Seq.S.channels[0]), (20 + static_cast<int>(Starts.size()) - 1) * Fine);
      }
    }
    EXPECT_EQ(Starts, Want) << "tempo " << Tempo;
    lvk_seq_step(&Seq.S);  // past the end: the song without a loop ends
    EXPECT_FALSE(Seq.S.playing);
    EXPECT_EQ(Seq.S.channels[0].sound, LVK_SEQ_NONE);
  }
}

struct TEffectCase {
  const char* Name;
  int Tempo;
  std::vector<lvk_seq_cell_t> Rows;  // channel 0, from row 0
  std::vector<int> Pitch;            // each frame, in fine steps; -1 silent
  std::vector<int> Level;            // each frame, the volume in quarter steps (0..60)
};

TEST(Seq, EffectsActOnTheirFrames) {
  const int P = C4 * Fine;
  const std::vector<TEffectCase> Cases = {
      {"arpeggio", 6, {Cell(C4, 1, NoVol, LVK_SEQ_FX_ARPEGGIO, 0x47)},
       {P, P + 64, P + 112, P, P + 64, P + 112, P},
       {60, 60, 60, 60, 60, 60, 60}},
      {"slide up, not on a row's first frame", 4,
       {Cell(C4, 1, NoVol, LVK_SEQ_FX_SLIDE_UP, 5), Cell(0, 0, NoVol, LVK_SEQ_FX_SLIDE_UP, 5), Cell()},
       {P, P + 5, P + 10, P + 15, P + 15, P + 20, P + 25, P + 30, P + 30},
       {60, 60, 60, 60, 60, 60, 60, 60, 60}},
      {"slide down, held at C1", 3,
       {Cell(2, 1, NoVol, LVK_SEQ_FX_SLIDE_DOWN, 7)},
       {32, 25, 18, 18}, {60, 60, 60, 60}},
      {"slide up, held at B7", 3,
       {Cell(84, 1, NoVol, LVK_SEQ_FX_SLIDE_UP, 255)},
       {84 * Fine, 84 * Fine, 84 * Fine}, {60, 60, 60}},
      {"slide to note: no new start, stops at the note; 0 keeps the speed", 4,
       {Cell(C4, 1), Cell(C4 + 2, 0, NoVol, LVK_SEQ_FX_SLIDE_TO_NOTE, 11),
        Cell(C4 - 1, 0, NoVol, LVK_SEQ_FX_SLIDE_TO_NOTE, 0)},
       {P, P, P, P, P, P + 11, P + 22, P + 32, P + 32, P + 21, P + 10, P - 1, P - 1},
       {60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60}},
      {"vibrato: a sine of 64 steps, x steps a frame, 2y fine steps deep", 6,
       {Cell(C4, 1, NoVol, LVK_SEQ_FX_VIBRATO, 0x88), Cell(0, 0, NoVol, LVK_SEQ_FX_VIBRATO, 0)},
       // sine at 0, 8, 16, ... of 64: 0, 180, 255, 180, 0, -180, -255, -180, 0 (x 8 / 128)
       {P, P + 11, P + 15, P + 11, P, P - 11, P - 15, P - 11, P, P + 11},
       {60, 60, 60, 60, 60, 60, 60, 60, 60, 60}},
      {"volume slide up from the volume column, held at 15", 4,
       {Cell(C4, 1, 13, LVK_SEQ_FX_VOLUME_SLIDE, 0x30), Cell(0, 0, NoVol, LVK_SEQ_FX_VOLUME_SLIDE, 0x30)},
       {P, P, P, P, P, P, P, P}, {52, 55, 58, 60, 60, 60, 60, 60}},
      {"volume slide down; x wins over y", 3,
       {Cell(C4, 1, NoVol, LVK_SEQ_FX_VOLUME_SLIDE, 0x0F), Cell(0, 0, NoVol, LVK_SEQ_FX_VOLUME_SLIDE, 0x1F)},
       {P, P, P, P, P, P}, {60, 45, 30, 30, 31, 32}},
      {"note cut on frame 2", 4, {Cell(C4, 1, NoVol, LVK_SEQ_FX_NOTE_CUT, 2), Cell()},
       {P, P, -1, -1, -1}, {60, 60, 0, 0, 0}},
      {"note-off", 2, {Cell(C4, 1), Cell(Off), Cell()}, {P, P, -1, -1, -1}, {60, 60, 0, 0, 0}},
      {"a note keeps the volume; an instrument resets it", 1,
       {Cell(C4, 1, 4), Cell(C4 + 1), Cell(C4 + 2, 1), Cell(C4 + 3, 1, 0)},
       {P, P + 16, P + 32, P + 48}, {16, 16, 60, 0}},
      {"a note with no instrument yet plays nothing", 1, {Cell(C4), Cell(0, 1), Cell(C4 + 1)}, {-1, -1, P + 16},
       {60, 60, 60}},
  };
  for (const TEffectCase& Case : Cases) {
    TSong Song;
    Song.Tempo = static_cast<std::uint8_t>(Case.Tempo);
    auto& Pat = Song.Add(16);
    for (std::size_t r = 0; r < Case.Rows.size(); ++r) Pat[r] = Case.Rows[r];
    TSeq Seq;
    lvk_seq_play(&Seq.S, Song.Finish(), 1);
    std::vector<int> Pitch, Volume, WantVolume;
    for (std::size_t f = 0; f < Case.Pitch.size(); ++f) {
      lvk_seq_step(&Seq.S);
      const lvk_seq_channel_t& C = Seq.S.channels[0];
      Pitch.push_back(PitchOf(C));
      Volume.push_back(C.sound == LVK_SEQ_NONE ? 0 : C.volume);
      WantVolume.push_back(Case.Pitch[f] < 0 ? 0 : (Case.Level[f] * 127 + 30) / 60);
      // Only a row's own note starts the sound anew.
      const std::size_t Row = f / static_cast<std::size_t>(Case.Tempo);
      const bool NewNote = f % static_cast<std::size_t>(Case.Tempo) == 0 && Row < Case.Rows.size() &&
                           Case.Rows[Row].note != 0 && Case.Rows[Row].effect != LVK_SEQ_FX_SLIDE_TO_NOTE &&
                           Case.Pitch[f] >= 0;
      EXPECT_EQ(C.trigger != 0, NewNote) << Case.Name << ", frame " << f;
    }
    EXPECT_EQ(Pitch, Case.Pitch) << Case.Name;
    EXPECT_EQ(Volume, WantVolume) << Case.Name;
  }
}

struct TFlowCase {
  const char* Name;
  std::vector<std::uint8_t> Orders;
  std::uint8_t Loop;
  std::vector<std::pair<int, int>> Breaks;  // pattern 0's row 1: effect, value
  std::vector<std::pair<int, int>> Want;    // (order, row) of each row played
  int Passes;                               // counted by the last row
  bool Ends;
};

TEST(Seq, OrderListLoopJumpAndEnd) {
  // Two patterns of 16 rows (row 1 of pattern 0 may jump or end it), played
  // by order; each row's first frame is seen, tempo 1.
  auto Rows = [](int Order, int From, int To) {
    std::vector<std::pair<int, int>> R;
    for (int r = From; r < To; ++r) R.emplace_back(Order, r);
    return R;
  };
  auto Join = [](std::initializer_list<std::vector<std::pair<int, int>>> Parts) {
    std::vector<std::pair<int, int>> R;
    for (const auto& P : Parts) R.insert(R.end(), P.begin(), P.end());
    return R;
  };
  const std::vector<TFlowCase> Cases = {
      {"plays the orders once and ends", {0, 1}, LVK_SEQ_NO_LOOP, {}, Join({Rows(0, 0, 16), Rows(1, 0, 16)}), 0, true},
      {"goes on from the loop point", {1, 0, 1}, 1, {},
       Join({Rows(0, 0, 16), Rows(1, 0, 16), Rows(2, 0, 16), Rows(1, 0, 16), Rows(2, 0, 3)}), 1, false},
      {"end pattern goes on at the row given", {0, 1}, LVK_SEQ_NO_LOOP, {{LVK_SEQ_FX_END_PATTERN, 14}},
       Join({Rows(0, 0, 2), Rows(1, 14, 16)}), 0, true},
      {"end pattern past a pattern's rows: row 0", {0, 1}, LVK_SEQ_NO_LOOP, {{LVK_SEQ_FX_END_PATTERN, 40}},
       Join({Rows(0, 0, 2), Rows(1, 0, 16)}), 0, true},
      {"a jump forward", {0, 1, 1}, LVK_SEQ_NO_LOOP, {{LVK_SEQ_FX_JUMP, 2}}, Join({Rows(0, 0, 2), Rows(2, 0, 16)}), 0,
       true},
      {"a jump back counts a pass", {1, 0}, LVK_SEQ_NO_LOOP, {{LVK_SEQ_FX_JUMP, 0}},
       Join({Rows(0, 0, 16), Rows(1, 0, 2), Rows(0, 0, 16), Rows(1, 0, 2)}), 2, false},
      {"a jump past the end goes to the loop point", {0}, 0, {{LVK_SEQ_FX_JUMP, 9}}, Join({Rows(0, 0, 2), Rows(0, 0, 2)}), 2,
       false},
  };
  for (const TFlowCase& Case : Cases) {
    TSong Song;
    Song.Tempo = 1;
    Song.Orders = Case.Orders;
    Song.Loop = Case.Loop;
    auto& P0 = Song.Add(16);
    for (const auto& [Effect, Value] : Case.Breaks) P0[1] = Cell(0, 0, NoVol, static_cast<std::uint8_t>(Effect),
                                                                 static_cast<std::uint8_t>(Value));
    Song.Add(16);
    TSeq Seq;
    lvk_seq_play(&Seq.S, Song.Finish(), 1);
    std::vector<std::pair<int, int>> Seen;
    for (std::size_t f = 0; f < Case.Want.size(); ++f) {
      Seen.emplace_back(Seq.S.order, Seq.S.row);
      lvk_seq_step(&Seq.S);
    }
    EXPECT_EQ(Seen, Case.Want) << Case.Name;
    EXPECT_EQ(Seq.S.passes, Case.Passes) << Case.Name;
    lvk_seq_step(&Seq.S);
    EXPECT_EQ(Seq.S.playing == 0, Case.Ends) << Case.Name;
  }
}

TEST(Seq, PlayStopRestartAndDamagedSongs) {
  TSong Song;
  Song.Tempo = 2;
  auto& P = Song.Add(16);
  for (int r = 0; r < 16; ++r) P[static_cast<std::size_t>(r)] = Cell(static_cast<std::uint8_t>(30 + r), 1);
  const lvk_seq_song_t* S = Song.Finish();
  TSeq Seq;
  lvk_seq_step(&Seq.S);  // nothing plays: nothing happens
  EXPECT_EQ(Seq.S.channels[0].sound, LVK_SEQ_NONE);
  lvk_seq_play(&Seq.S, S, 1);
  for (int f = 0; f < 7; ++f) lvk_seq_step(&Seq.S);
  EXPECT_EQ(Seq.S.row, 3);
  // Stopped: silent and still; played on: from where it was.
  lvk_seq_stop(&Seq.S);
  EXPECT_EQ(Seq.S.channels[0].sound, LVK_SEQ_NONE);
  lvk_seq_step(&Seq.S);
  EXPECT_EQ(Seq.S.row, 3);
  lvk_seq_play(&Seq.S, S, 0);
  lvk_seq_step(&Seq.S);
  EXPECT_EQ(Seq.S.row, 4);
  // From the start again: the first row's note is heard on the first frame.
  lvk_seq_play(&Seq.S, S, 1);
  lvk_seq_step(&Seq.S);
  EXPECT_TRUE(Seq.S.channels[0].trigger);
  EXPECT_EQ(PitchOf(Seq.S.channels[0]), 30 * Fine);
  // Another song always starts at its start.
  TSong Other = Song;
  const lvk_seq_song_t* O = Other.Finish();
  lvk_seq_play(&Seq.S, O, 0);
  EXPECT_EQ(Seq.S.row, 0);
  EXPECT_EQ(Seq.S.frame, 0);

  // Damaged tables are refused, the sequencer left silent.
  struct TDamage {
    const char* Name;
    void (*Spoil)(TSong&);
  };
  const TDamage Damages[] = {
      {"order names no pattern", [](TSong& T) { T.Orders = {3}; }},
      {"loop past the orders", [](TSong& T) { T.Loop = 1; }},
      {"instrument names no sound", [](TSong& T) { T.Instruments = {0, 9}; }},
      {"cell names no instrument", [](TSong& T) { T.Patterns[0][5].instrument = 3; }},
  };
  for (const TDamage& D : Damages) {
    TSong Bad = Song;
    D.Spoil(Bad);
    const lvk_seq_song_t* B = Bad.Finish();
    EXPECT_FALSE(lvk_seq_check(B, 4)) << D.Name;
    lvk_seq_play(&Seq.S, B, 1);
    EXPECT_FALSE(Seq.S.playing) << D.Name;
    lvk_seq_step(&Seq.S);
    EXPECT_EQ(Seq.S.channels[0].sound, LVK_SEQ_NONE) << D.Name;
  }
  for (std::uint8_t Channels : {0, 9}) {
    TSong Bad = Song;
    Bad.Finish();
    Bad.Song.channels = Channels;
    EXPECT_FALSE(lvk_seq_check(&Bad.Song, 4)) << int{Channels};
  }
  TSong Short = Song;
  Short.Finish();
  Short.Song.cell_count = 15;  // a pattern reaching past the cells
  EXPECT_FALSE(lvk_seq_check(&Short.Song, 4));
  EXPECT_TRUE(lvk_seq_check(S, 2));
  EXPECT_FALSE(lvk_seq_check(S, 1)) << "instrument 1 is sound 1: two sounds needed";
}

TEST(SeqMix, PitchLoopsAndOnePass) {
  // A sound of 16 rising samples that loops over its second half, heard
  // through the mixer at the source rate.
  std::vector<std::int8_t> Ramp;
  for (int i = 0; i < 16; ++i) Ramp.push_back(static_cast<std::int8_t>(i * 4));
  const lvk_seq_sound_t Sounds[2] = {{Ramp.data(), 16, 0, 0}, {Ramp.data(), 16, 8, 16}};
  TSong Song;
  Song.Tempo = 1;
  Song.Channels = 2;
  auto& P = Song.Add(16);
  // Row 0: the looping sound at its base, the plain one an octave up on
  // channel 1; row 1: note-off on channel 0.
  P[0] = Cell(C4, 2);
  P[1] = Cell(C4 + 12, 1);
  P[2] = Cell(Off);
  const lvk_seq_song_t* S = Song.Finish();
  lvk_seq_t Seq;
  lvk_seq_init(&Seq, nullptr, 2);
  lvk_mixer_t Mix;
  lvk_mix_init(&Mix, LVK_MIX_SOURCE_RATE);
  lvk_seq_play(&Seq, S, 1);
  lvk_seq_step(&Seq);
  lvk_seq_mix_apply(&Mix, &Seq, Sounds, 2);
  std::vector<std::int16_t> Out(40);
  lvk_mix_render(&Mix, Out.data(), 40);
  for (std::size_t i = 0; i < Out.size(); ++i) {
    const int Looped = i < 16 ? static_cast<int>(i) : 8 + static_cast<int>((i - 16) % 8);
    const int Octave = 2 * i < 16 ? 2 * static_cast<int>(i) : 0;  // twice as fast, then over
    EXPECT_EQ(Out[i], (Looped + Octave) * 4 * 127) << i;
  }
  // The note-off silences the held loop.
  lvk_seq_step(&Seq);
  lvk_seq_mix_apply(&Mix, &Seq, Sounds, 2);
  EXPECT_EQ(lvk_mix_active(&Mix), 0);

  // The frames of a second share its samples; one pass of a song of 16 rows
  // at tempo 1 is 16 frames, a looping song rendered once round too.
  std::uint32_t Second = 0;
  for (std::uint32_t f = 0; f < 60; ++f) Second += lvk_seq_frame_samples(44100, f + 600);
  EXPECT_EQ(Second, 44100u);
  std::uint32_t Sixteen = 0;
  for (std::uint32_t f = 0; f < 16; ++f) Sixteen += lvk_seq_frame_samples(LVK_MIX_SOURCE_RATE, f);
  for (std::uint8_t Loop : {std::uint8_t{LVK_SEQ_NO_LOOP}, std::uint8_t{0}}) {
    Song.Loop = Loop;
    std::vector<std::int16_t> Whole(20000, 7);
    lvk_mix_init(&Mix, LVK_MIX_SOURCE_RATE);
    EXPECT_EQ(lvk_seq_render(&Seq, &Mix, Song.Finish(), Sounds, 2, nullptr, 20000, 100000), Sixteen);
    EXPECT_EQ(lvk_seq_render(&Seq, &Mix, &Song.Song, Sounds, 2, Whole.data(), 20000, 100000), Sixteen);
    EXPECT_EQ(Whole[0], 0);
    EXPECT_EQ(Whole[1], (1 + 2) * 4 * 127);
    EXPECT_EQ(Whole[Sixteen], 7) << "nothing written past the song";
    EXPECT_EQ(lvk_mix_active(&Mix), 0) << "the channels silent after it";
  }

  // Live, in blocks of any size, the player gives the samples the export
  // renders.
  Song.Loop = LVK_SEQ_NO_LOOP;
  std::vector<std::int16_t> Whole(Sixteen);
  lvk_mix_init(&Mix, LVK_MIX_SOURCE_RATE);
  lvk_seq_render(&Seq, &Mix, Song.Finish(), Sounds, 2, Whole.data(), Sixteen, 1000);
  lvk_seq_player_t Player;
  lvk_seq_player_init(&Player, Sounds, nullptr, 2);
  lvk_mix_init(&Mix, LVK_MIX_SOURCE_RATE);
  lvk_seq_player_play(&Player, &Mix, &Song.Song, 1);
  std::vector<std::int16_t> Live;
  for (std::uint32_t n : {1u, 300u, 7u, 1000u, 4000u}) {
    std::vector<std::int16_t> Block(n);
    lvk_seq_player_render(&Player, &Mix, Block.data(), n);
    Live.insert(Live.end(), Block.begin(), Block.end());
  }
  Live.resize(Sixteen);
  EXPECT_EQ(Live, Whole);
  lvk_seq_player_stop(&Player, &Mix);
  EXPECT_EQ(lvk_mix_active(&Mix), 0);
}

}  // namespace
