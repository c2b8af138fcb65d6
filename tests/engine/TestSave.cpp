// The saved data's bytes: slots, the high-score table, the two copies that
// survive a write cut short, and the initials' entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lvk_engine.h"
#include "lvk_save.h"

namespace {

using TStore = std::vector<std::uint8_t>;

std::uint32_t Key(const std::string& Text) { return lvk_save_key(Text.data(), Text.size()); }

const std::uint32_t Game = Key("Ghost Hunt");

// Save written into Store as it stands (a fresh store when empty).
TStore Written(lvk_save_t& Save, TStore Store = TStore(LVK_SAVE_STORE_SIZE, 0)) {
  EXPECT_EQ(lvk_save_write(&Save, Game, Store.data()), 1);
  return Store;
}

int Read(const TStore& Store, lvk_save_t& Save, std::uint32_t GameKey = Game) {
  return lvk_save_read(Store.data(), Store.size(), GameKey, &Save);
}

void PutSlot(lvk_save_t& Save, int Slot, const std::vector<std::string>& Names, const std::vector<std::int32_t>& Values,
             int Level) {
  std::vector<std::uint32_t> Keys;
  for (const std::string& Name : Names) Keys.push_back(Key(Name));
  lvk_save_put_slot(&Save, Slot, Keys.data(), Values.data(), static_cast<int>(Values.size()), Level);
}

std::string Table(const lvk_save_t& Save) {
  std::string Out;
  for (int i = 0; i < Save.score_count; ++i)
    Out += std::string(Save.scores[i].letters, strnlen(Save.scores[i].letters, LVK_SAVE_MAX_LETTERS)) + "=" +
           std::to_string(Save.scores[i].score) + " ";
  return Out;
}

}  // namespace

// Every saved variable and the level come back from their own slot, a slot
// never written finds nothing, and a later game with other variables finds
// those whose names it shares, the full 64 included.
TEST(SaveStore, SlotsRoundTripApartAndByName) {
  lvk_save_t Save;
  lvk_save_clear(&Save);
  std::vector<std::string> Many;
  std::vector<std::int32_t> ManyValues;
  for (int i = 0; i < LVK_SAVE_MAX_PAIRS; ++i) {
    Many.push_back("v" + std::to_string(i));
    ManyValues.push_back(i % 2 ? INT32_MIN + i : INT32_MAX - i);
  }
  PutSlot(Save, 0, {"score", "lives", "coins"}, {1200, -3, 0}, 4);
  PutSlot(Save, 2, Many, ManyValues, -1);
  TStore Store = Written(Save);

  lvk_save_t Back;
  ASSERT_EQ(Read(Store, Back), LVK_SAVE_OK);
  struct {
    int Slot;
    const char* Name;
    bool Found;
    std::int32_t Value;
  } const Cases[] = {
      {0, "score", true, 1200}, {0, "lives", true, -3}, {0, "coins", true, 0},
      {0, "v1", false, 0},      {1, "score", false, 0}, {2, "score", false, 0},
      {2, "v0", true, INT32_MAX}, {2, "v63", true, INT32_MIN + 63},
      {3, "score", false, 0},   {-1, "score", false, 0},
  };
  for (const auto& C : Cases) {
    std::int32_t Value = 77;
    EXPECT_EQ(lvk_save_find(&Back, C.Slot, Key(C.Name), &Value), C.Found ? 1 : 0) << C.Slot << " " << C.Name;
    EXPECT_EQ(Value, C.Found ? C.Value : 77) << C.Slot << " " << C.Name;
  }
  EXPECT_EQ(Back.slot_data[0].flags, LVK_SAVE_SLOT_WRITTEN | LVK_SAVE_SLOT_LEVEL);
  EXPECT_EQ(Back.slot_data[0].level, 4);
  EXPECT_EQ(Back.slot_data[1].flags, 0);
  EXPECT_EQ(Back.slot_data[2].flags, LVK_SAVE_SLOT_WRITTEN);

  // Saving slot 1 keeps the others; a full store still fits its copy.
  for (int Place = 0; Place < LVK_SAVE_MAX_PLACES; ++Place)
    lvk_score_insert(&Back, LVK_SAVE_MAX_PLACES, Place, "ABCDEFGH", LVK_SAVE_MAX_LETTERS, 100 - Place);
  PutSlot(Back, 1, Many, ManyValues, 255);
  PutSlot(Back, 0, Many, ManyValues, 0);
  Store = Written(Back, Store);
  lvk_save_t Again;
  ASSERT_EQ(Read(Store, Again), LVK_SAVE_OK);
  for (int Slot = 0; Slot < LVK_SAVE_SLOTS; ++Slot) {
    std::int32_t Value = 0;
    EXPECT_EQ(lvk_save_find(&Again, Slot, Key("v63"), &Value), 1);
    EXPECT_EQ(Value, INT32_MIN + 63);
  }
  EXPECT_EQ(Again.slot_data[1].level, 255);
  EXPECT_EQ(Again.score_count, LVK_SAVE_MAX_PLACES);
}

// The store as bytes: the documented header, and each way a store is
// refused. A store that reads is another game's only when it reads whole.
TEST(SaveStore, RefusesWhatIsNotThisGamesSave) {
  lvk_save_t Save;
  lvk_save_clear(&Save);
  PutSlot(Save, 0, {"best"}, {0x01020304}, -1);
  TStore Good = Written(Save);
  // "LVKS", version 1, length 1 + 3*4 + 8 + 2, the key, sequence 1, then the CRC.
  const std::uint8_t Head[] = {'L', 'V', 'K', 'S', 1, 0, 23, 0};
  EXPECT_EQ(std::memcmp(Good.data(), Head, sizeof Head), 0);
  EXPECT_EQ(Good[12], 1);
  EXPECT_EQ(Good[LVK_SAVE_COPY_SIZE], 0);

  auto Changed = [&](int At, std::uint8_t Xor) {
    TStore S = Good;
    S[At] ^= Xor;
    return S;
  };
  TStore Long = Good;
  Long.push_back(0);
  TStore CountTooLarge = Good;
  CountTooLarge[LVK_SAVE_HEADER + 2] = 5;  // slot 0's pairs beyond the payload, with a matching sum
  std::vector<std::uint8_t> Summed(CountTooLarge.begin(), CountTooLarge.begin() + 16);
  Summed.insert(Summed.end(), CountTooLarge.begin() + LVK_SAVE_HEADER, CountTooLarge.begin() + LVK_SAVE_HEADER + 23);
  std::uint32_t Crc = lvk_save_crc32(Summed.data(), Summed.size());
  for (int i = 0; i < 4; ++i) CountTooLarge[16 + i] = static_cast<std::uint8_t>(Crc >> (8 * i));
  struct {
    const char* What;
    TStore Store;
    std::uint32_t GameKey;
    int Result;
  } const Cases[] = {
      {"sound", Good, Game, LVK_SAVE_OK},
      {"never written", TStore(LVK_SAVE_STORE_SIZE, 0), Game, LVK_SAVE_EMPTY},
      {"erased chip", TStore(LVK_SAVE_STORE_SIZE, 0xFF), Game, LVK_SAVE_EMPTY},
      {"too short", TStore(Good.begin(), Good.end() - 1), Game, LVK_SAVE_WRONG_SIZE},
      {"empty file", TStore(), Game, LVK_SAVE_WRONG_SIZE},
      {"too long", Long, Game, LVK_SAVE_WRONG_SIZE},
      {"payload bit", Changed(LVK_SAVE_HEADER + 5, 0x10), Game, LVK_SAVE_DAMAGED},
      {"sum bit", Changed(17, 1), Game, LVK_SAVE_DAMAGED},
      {"newer version", Changed(4, 3), Game, LVK_SAVE_DAMAGED},
      {"length past the copy", Changed(7, 0x40), Game, LVK_SAVE_DAMAGED},
      {"count past the payload", CountTooLarge, Game, LVK_SAVE_DAMAGED},
      {"other game", Good, Key("Ghost Hunt 2"), LVK_SAVE_OTHER_GAME},
  };
  for (const auto& C : Cases) {
    lvk_save_t Back;
    EXPECT_EQ(Read(C.Store, Back, C.GameKey), C.Result) << C.What;
    std::int32_t Value = 0;
    EXPECT_EQ(lvk_save_find(&Back, 0, Key("best"), &Value), C.Result == LVK_SAVE_OK) << C.What;
    if (C.Result != LVK_SAVE_OK) {
      EXPECT_EQ(Back.copy, -1) << C.What;
    }
  }
}

// Each write goes to the copy the last one did not; the newer copy wins,
// also when the sequence wraps; a write cut short after any byte, in place
// or as a shortened file, reads as the old save, the new one or none.
TEST(SaveStore, WriteCutShortLeavesTheOldOrTheNew) {
  lvk_save_t Save;
  lvk_save_clear(&Save);
  PutSlot(Save, 0, {"best"}, {1}, -1);
  TStore Old = Written(Save);
  EXPECT_EQ(Save.copy, 0);
  for (std::int32_t Best = 2; Best <= 4; ++Best) {
    lvk_save_t Back;
    ASSERT_EQ(Read(Old, Back), LVK_SAVE_OK);
    PutSlot(Back, 0, {"best"}, {Best}, -1);
    TStore New = Written(Back, Old);
    EXPECT_EQ(Back.copy, Best % 2 == 0 ? 1 : 0);
    for (std::size_t Cut = 0; Cut <= New.size(); ++Cut) {
      TStore InPlace(New.begin(), New.begin() + Cut);
      InPlace.insert(InPlace.end(), Old.begin() + Cut, Old.end());
      TStore Shortened(New.begin(), New.begin() + Cut);
      std::int32_t Value = 0;
      lvk_save_t Got;
      ASSERT_EQ(Read(InPlace, Got), LVK_SAVE_OK) << Cut;
      ASSERT_EQ(lvk_save_find(&Got, 0, Key("best"), &Value), 1);
      ASSERT_TRUE(Value == Best || Value == Best - 1) << Cut << " read " << Value;
      int Result = Read(Shortened, Got);
      ASSERT_EQ(Result, Cut == New.size() ? LVK_SAVE_OK : LVK_SAVE_WRONG_SIZE) << Cut;
    }
    Old = New;
  }
  // Sequence numbers round the wrap: 0xFFFFFFFF is older than 0.
  lvk_save_t Back;
  ASSERT_EQ(Read(Old, Back), LVK_SAVE_OK);
  Back.sequence = 0xFFFFFFFEu;
  PutSlot(Back, 0, {"best"}, {10}, -1);
  TStore A = Written(Back, Old);
  PutSlot(Back, 0, {"best"}, {11}, -1);
  TStore B = Written(Back, A);
  EXPECT_EQ(Back.sequence, 0u);
  std::int32_t Value = 0;
  ASSERT_EQ(Read(B, Back), LVK_SAVE_OK);
  lvk_save_find(&Back, 0, Key("best"), &Value);
  EXPECT_EQ(Value, 11);
  // A damaged newer copy leaves the older one.
  B[Back.copy * LVK_SAVE_COPY_SIZE + LVK_SAVE_HEADER + 4] ^= 1;
  ASSERT_EQ(Read(B, Back), LVK_SAVE_OK);
  lvk_save_find(&Back, 0, Key("best"), &Value);
  EXPECT_EQ(Value, 10);
}

// A score earns the place below every equal or better one; the table keeps
// Places entries, the last falling off; a lower-is-better table the other
// way round; and it survives the store.
TEST(SaveStore, HighScoreInsertionAtEveryPlace) {
  struct {
    std::vector<std::int32_t> Held;
    int Places;
    int Higher;
    std::int32_t Score;
    int Place;
    const char* After;
  } const Cases[] = {
      {{}, 5, 1, 0, 0, "NEW=0 "},
      {{50, 40, 30}, 5, 1, 60, 0, "NEW=60 A=50 B=40 C=30 "},
      {{50, 40, 30}, 5, 1, 45, 1, "A=50 NEW=45 B=40 C=30 "},
      {{50, 40, 30}, 5, 1, 35, 2, "A=50 B=40 NEW=35 C=30 "},
      {{50, 40, 30}, 5, 1, 10, 3, "A=50 B=40 C=30 NEW=10 "},
      {{50, 40, 30}, 5, 1, 40, 2, "A=50 B=40 NEW=40 C=30 "},  // a tie goes below
      {{50, 40, 30}, 3, 1, 30, -1, "A=50 B=40 C=30 "},        // a tie with the last of a full table: none
      {{50, 40, 30}, 3, 1, 31, 2, "A=50 B=40 NEW=31 "},
      {{50, 40, 30}, 3, 1, 99, 0, "NEW=99 A=50 B=40 "},
      {{50, 50, 50}, 4, 1, 50, 3, "A=50 B=50 C=50 NEW=50 "},
      {{10, 20, 30}, 3, 0, 15, 1, "A=10 NEW=15 B=20 "},       // lower is better: fastest time
      {{10, 20, 30}, 3, 0, 40, -1, "A=10 B=20 C=30 "},
      {{1}, 1, 1, 2, 0, "NEW=2 "},
      {{}, 20, 1, 5, 0, "NEW=5 "},                             // places held to the most there are
  };
  for (const auto& C : Cases) {
    lvk_save_t Save;
    lvk_save_clear(&Save);
    const char* Names[] = {"A", "B", "C"};
    for (std::size_t i = 0; i < C.Held.size(); ++i) lvk_score_insert(&Save, C.Places, static_cast<int>(i), Names[i], 1, C.Held[i]);
    int Place = lvk_score_place(&Save, C.Places, C.Higher, C.Score);
    EXPECT_EQ(Place, C.Place) << C.After;
    lvk_score_insert(&Save, C.Places, Place, "NEW", 3, C.Score);
    lvk_save_t Back;
    ASSERT_EQ(Read(Written(Save), Back), LVK_SAVE_OK);
    EXPECT_EQ(Table(Back), C.After);
  }
}

// Up and down walk the letters round, left and right move within the
// entry, A ends it with what it shows.
TEST(SaveStore, InitialsFromTheDPad) {
  struct {
    int Count;
    std::vector<std::uint16_t> Keys;
    const char* Letters;
    int Cursor;
    bool Done;
  } const Cases[] = {
      {3, {}, "AAA", 0, false},
      {3, {LVK_KEY_UP, LVK_KEY_UP, LVK_KEY_A}, "CAA", 0, true},
      {3, {LVK_KEY_DOWN}, " AA", 0, false},
      {3, {LVK_KEY_DOWN, LVK_KEY_DOWN}, "9AA", 0, false},
      {3, {LVK_KEY_RIGHT, LVK_KEY_UP, LVK_KEY_RIGHT, LVK_KEY_RIGHT, LVK_KEY_DOWN}, "AB ", 2, false},
      {3, {LVK_KEY_LEFT, LVK_KEY_UP}, "BAA", 0, false},
      {2, {LVK_KEY_RIGHT, LVK_KEY_RIGHT, LVK_KEY_RIGHT}, "AA", 1, false},
      {1, {LVK_KEY_UP | LVK_KEY_A}, "A", 0, true},  // A wins over what goes down with it
      {0, {LVK_KEY_UP}, "B", 0, false},
      {12, {}, "AAAAAAAA", 0, false},
      {3, {LVK_KEY_B, LVK_KEY_START, LVK_KEY_TOUCH}, "AAA", 0, false},
  };
  for (const auto& C : Cases) {
    lvk_initials_t Entry;
    lvk_initials_start(&Entry, C.Count);
    int Done = 0;
    for (std::uint16_t Keys : C.Keys) Done = lvk_initials_keys(&Entry, Keys);
    EXPECT_EQ(std::string(Entry.letters), C.Letters) << C.Letters;
    EXPECT_EQ(Entry.cursor, C.Cursor) << C.Letters;
    EXPECT_EQ(Done, C.Done ? 1 : 0) << C.Letters;
  }
  // 37 steps up come round to where they began.
  lvk_initials_t Entry;
  lvk_initials_start(&Entry, 3);
  for (int i = 0; i < 37; ++i) lvk_initials_keys(&Entry, LVK_KEY_UP);
  EXPECT_EQ(std::string(Entry.letters), "AAA");
}

// The example of docs/ProjectFile.md (the saved games' store), byte for byte.
TEST(SaveStore, TheDocumentedExample) {
  lvk_save_t Save;
  lvk_save_clear(&Save);
  PutSlot(Save, 0, {"best"}, {1200}, 2);
  lvk_score_insert(&Save, 5, 0, "ABC", 3, 1200);
  const TStore Store = Written(Save);
  const std::vector<std::uint8_t> Copy = {
      0x4c, 0x56, 0x4b, 0x53, 0x01, 0x00, 0x1e, 0x00, 0x0d, 0x3e, 0x70, 0xb6, 0x01, 0x00, 0x00, 0x00,
      0x10, 0x07, 0xf0, 0x32, 0x03, 0x03, 0x01, 0x02, 0x00, 0x47, 0x88, 0x7f, 0x9c, 0xb0, 0x04, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x03, 0x41, 0x42, 0x43, 0xb0, 0x04,
      0x00, 0x00};
  ASSERT_EQ(Store.size(), static_cast<std::size_t>(LVK_SAVE_STORE_SIZE));
  EXPECT_TRUE(std::equal(Copy.begin(), Copy.end(), Store.begin()));
  EXPECT_TRUE(std::all_of(Store.begin() + static_cast<std::ptrdiff_t>(Copy.size()), Store.end(),
                          [](std::uint8_t B) { return B == 0; }));
}
