// The game document: state, names, edit time and the project file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UStream.h"
#include "model/UTile.h"
#include "model/UVariable.h"

using namespace lvk;
using test::TBytes;
using test::Append;
using test::MessageOf;
using test::RecordOf;

namespace {

// Loads a file into a fresh game and gives the error text, or "no error".
std::string LoadMessage(const std::string& FileName) {
  TGame Game;
  return MessageOf([&] { Game.LoadFromFile(FileName); });
}

TBytes Header(int Version = 1) {
  TBytes B = test::ShortString("Lurvik");
  B.insert(B.end(), {2, static_cast<std::uint8_t>(Version)});
  return B;
}

}  // namespace

TEST(Game, NewGame) {
  TGame Game;
  EXPECT_EQ(Game.FileName(), "<no name>");
  EXPECT_EQ(Game.Title(), "<Game title>");
  EXPECT_EQ(Game.Revision(), 0);
  EXPECT_FALSE(Game.Modified());
  EXPECT_EQ(Game.Palette().Count(), 234);
  EXPECT_EQ(Game.TileCount(), 0);
  EXPECT_EQ(&Game.GetTileBitmap(nullptr), &Game.NoTileBitmap());
}

TEST(Game, SettersMarkOnlyRealChanges) {
  TGame Game;
  Game.SetTitle("<Game title>");
  Game.SetFileName("<no name>");
  EXPECT_FALSE(Game.Modified());
  Game.SetTitle("Space");
  EXPECT_TRUE(Game.Modified());
  test::ClearModified(Game);
  Game.SetFileName("/tmp/x.lvk");
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(Game.FileName(), "/tmp/x.lvk");
}

TEST(Game, EditTimeCountsChangesAndCutsPauses) {
  test::TTestClock Clock;
  TGame Game;
  EXPECT_EQ(Game.EditTime(), 0.0);
  Clock.AdvanceMinutes(3);
  Game.SetTitle("a");
  EXPECT_NEAR(Game.EditTime(), 3.0 / 1440, 1e-9);
  Clock.AdvanceMinutes(9.9);
  Game.SetTitle("b");
  EXPECT_NEAR(Game.EditTime(), 12.9 / 1440, 1e-9);
  Clock.AdvanceMinutes(60);
  Game.SetTitle("c");
  EXPECT_NEAR(Game.EditTime(), 12.9 / 1440 + 30.0 / 86400, 1e-9);
  Clock.AdvanceMinutes(10);  // exactly ten minutes is a pause too
  Game.SetTitle("d");
  EXPECT_NEAR(Game.EditTime(), 12.9 / 1440 + 60.0 / 86400, 1e-9);
  EXPECT_EQ(Game.LastTouch(), Clock.Now());
}

TEST(Game, TileLookupsAndMessages) {
  TGame Game;
  EXPECT_EQ(MessageOf([&] { Game.GetTile(0); }), "Tile index must be <0 (is 0)");
  TTile* A = Game.AddTile();
  TTile* B = Game.AddTile();
  EXPECT_EQ(A->Name(), "tTile1");
  EXPECT_EQ(B->Name(), "tTile2");
  EXPECT_EQ(Game.GetTile(1), B);
  EXPECT_EQ(MessageOf([&] { Game.GetTile(-1); }), "Tile index must be >=0 (is -1)");
  EXPECT_EQ(MessageOf([&] { Game.GetTile(2); }), "Tile index must be <2 (is 2)");
  EXPECT_EQ(Game.FindTileByName("TTILE2"), B);
  EXPECT_EQ(Game.FindTileByName("tTile3"), nullptr);
  EXPECT_EQ(Game.IndexOfTile(B), 1);
  TGame Other;
  TTile* Stranger = Other.AddTile();
  EXPECT_THROW(Game.IndexOfTile(Stranger), EAssertionFailed);
  EXPECT_EQ(&Game.GetTileBitmap(A), &A->Bitmap());
}

TEST(Game, NamesFollowTheRules) {
  TGame Game;
  TTile* First = Game.AddTile();
  TTile* Second = Game.AddTile();
  test::ClearModified(Game);
  First->SetName("tTile1");
  EXPECT_FALSE(Game.Modified());
  First->SetName("TTILE1");  // a change of case only is a change
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(First->Name(), "TTILE1");
  EXPECT_EQ(MessageOf([&] { Second->SetName("ttile1"); }), "A tile with name \"ttile1\" already exists");
  EXPECT_EQ(MessageOf([&] { Second->SetName("a-b"); }),
            "\"a-b\" is not a legal name (must start with letter and only have letters and digits)");
  EXPECT_EQ(MessageOf([&] { Second->SetName(""); }),
            "\"\" is not a legal name (must start with letter and only have letters and digits)");
  EXPECT_EQ(Second->Name(), "tTile2");
  Second->SetName("_x1");
  EXPECT_EQ(Second->Name(), "_x1");

  // The default number starts at the count plus one and skips taken names.
  Second->SetName("tTile3");
  EXPECT_EQ(Game.AddTile()->Name(), "tTile4");
}

TEST(ProjectFile, NewGameSavedAtOnce) {
  test::TTestClock Clock;
  test::TTempDir Dir;
  TGame Game;
  Game.SetFileName(Dir.File("new.lvk"));
  Game.Save();
  EXPECT_FALSE(Game.Modified());
  EXPECT_EQ(Game.Revision(), 1);

  TBytes Expected = Header();
  Append(Expected, test::ShortString("[TGame]"));
  Append(Expected, {2, 1});
  TMemoryStream Date;
  {
    TWriter W(Date);
    W.WriteDate(Game.EditTime());
    W.FlushBuffer();
  }
  Append(Expected, Date.Bytes());
  Append(Expected, test::ShortString("<Game title>"));
  TMemoryStream Palette;
  {
    TWriter W(Palette);
    Game.Palette().SaveToStream(Palette, W);
    W.FlushBuffer();
  }
  Append(Expected, Palette.Bytes());
  Append(Expected, {0, 0, 0});
  EXPECT_EQ(test::ReadBytes(Game.FileName()), Expected);

  Game.Save();
  TBytes Second = test::ReadBytes(Game.FileName());
  EXPECT_EQ(Second[Header().size() + 9 + 1], 2);  // the revision value
}

TEST(ProjectFile, RoundTrip) {
  test::TTestClock Clock;  // a load adds the moments it takes to the edit time
  test::TTempDir Dir;
  TGame Game;
  Game.SetFileName(Dir.File("round.lvk"));
  Game.SetTitle("Caf\xC3\xA9 " + std::string(300, 'x'));
  Game.Palette().SetEntryColor(3, RGB(1, 2, 3));
  Game.Palette().DeleteRange(200, 233);
  Game.AddTile()->SetName("Grass");
  Game.AddTile();
  Game.Save();

  TGame Loaded;
  Loaded.LoadFromFile(Game.FileName());
  EXPECT_FALSE(Loaded.Modified());
  EXPECT_EQ(Loaded.FileName(), Game.FileName());
  EXPECT_EQ(Loaded.Title(), Game.Title());
  EXPECT_EQ(Loaded.Revision(), 1);
  EXPECT_EQ(Loaded.Palette().Count(), 200);
  EXPECT_EQ(Loaded.Palette().GetEntryColor(3), RGB(1, 2, 3));
  ASSERT_EQ(Loaded.TileCount(), 2);
  EXPECT_EQ(Loaded.GetTile(0)->Name(), "Grass");
  EXPECT_EQ(Loaded.GetTile(1)->Bitmap(), Game.GetTile(1)->Bitmap());
  // Saved again, the bytes are the same but for the revision.
  Loaded.SetFileName(Dir.File("again.lvk"));
  Loaded.Save();
  TBytes A = test::ReadBytes(Game.FileName()), B = test::ReadBytes(Loaded.FileName());
  ASSERT_EQ(A.size(), B.size());
  A[Header().size() + 10] = B[Header().size() + 10];
  EXPECT_EQ(A, B);
}

TEST(ProjectFile, DuplicateNamesLoadAndTheFirstIsFound) {
  test::TTempDir Dir;
  TGame Game;
  Game.SetFileName(Dir.File("dup.lvk"));
  Game.AddTile()->SetName("Same");
  Game.AddTile()->SetName("Other");
  Game.Save();
  // Rename the second tile to "Same" in the file itself (same length as "Other" is not needed:
  // rebuild the file with a patched name).
  TBytes B = test::ReadBytes(Game.FileName());
  TBytes Other = test::ShortString("Other");
  auto At = std::search(B.begin(), B.end(), Other.begin(), Other.end());
  ASSERT_NE(At, B.end());
  TBytes Same = test::ShortString("same");
  At = B.erase(At, At + Other.size());
  B.insert(At, Same.begin(), Same.end());
  test::WriteBytes(Game.FileName(), B);
  TGame Loaded;
  Loaded.LoadFromFile(Game.FileName());
  ASSERT_EQ(Loaded.TileCount(), 2);
  EXPECT_EQ(Loaded.GetTile(1)->Name(), "same");
  EXPECT_EQ(Loaded.FindTileByName("SAME"), Loaded.GetTile(0));
}

// The reader looks names up in indexes of what it has read: they must find
// what a search of the lists finds, the first of equal names, case aside.
TEST(ProjectFile, NamesReadFindTheFirstOfEqualNamesWhateverTheirCase) {
  TGame Game;
  TTile* Tiles[2] = {Game.AddTile(), Game.AddTile()};
  Tiles[0]->SetName("tOne");
  Tiles[1]->SetName("tTwo");
  TActor* Actors[3] = {Game.AddActor(), Game.AddActor(), Game.AddActor()};
  Actors[0]->SetName("aOne");
  Actors[1]->SetName("aTwo");
  Actors[2]->SetName("aTre");
  Actors[0]->SetTile(Tiles[1]);
  Actors[1]->SetTile(Tiles[0]);
  Actors[2]->SetSolid(true);
  THandler* Meet = Actors[0]->AddHandler();
  Meet->SetEvent(TEventCollision::ClassKind());
  static_cast<TEventCollision*>(Meet->Event())->SetOtherActor(*Actors[2]);  // stored after its own
  TLevel* Level = Game.AddLevel();
  Level->SetSize(3, 1);
  for (int x = 0; x < 3; ++x) Level->SetCell(x, 0, Actors[2 - x]);
  TSound* Sounds[2] = {Game.AddSound(), Game.AddSound()};
  Sounds[0]->SetName("sOne");
  Sounds[1]->SetName("sTwo");
  Level->SetMusic(Sounds[1]);
  // Every "tTwo", "aTwo" and "sTwo" becomes the first item's name in capitals.
  TBytes Bytes = Game.ContentBytes();
  for (auto [From, To] : {std::pair{"tTwo", "TONE"}, {"aTwo", "AONE"}, {"sTwo", "SONE"}}) {
    const TBytes F = test::ShortString(From), T = test::ShortString(To);
    for (auto At = Bytes.begin(); (At = std::search(At, Bytes.end(), F.begin(), F.end())) != Bytes.end();)
      At = std::copy(T.begin(), T.end(), At);
  }
  TGame Loaded;
  Loaded.LoadContent(Bytes);
  EXPECT_EQ(Loaded.GetTile(1)->Name(), "TONE");
  EXPECT_EQ(Loaded.GetActor(0)->Tile(), Loaded.GetTile(0));  // named "TONE", found "tOne"
  EXPECT_EQ(Loaded.GetActor(1)->Tile(), Loaded.GetTile(0));
  EXPECT_FALSE(Loaded.GetActor(0)->Solid());
  EXPECT_TRUE(Loaded.GetActor(2)->Solid());
  EXPECT_EQ(Loaded.GetActor(0)->GetHandler(0)->Event()->Summary(), "OnCollision( aTre, overlap )");
  const TLevel& Read = *Loaded.GetLevel(0);
  EXPECT_EQ(Read.GetCell(0, 0), Loaded.GetActor(2));
  EXPECT_EQ(Read.GetCell(1, 0), Loaded.GetActor(0));  // "AONE" is the first "aOne"
  EXPECT_EQ(Read.GetCell(2, 0), Loaded.GetActor(0));
  EXPECT_EQ(Read.Music(), Loaded.GetSound(0));
  // After reading, look-ups search the lists again.
  Loaded.GetTile(0)->SetName("tZero");
  EXPECT_EQ(Loaded.FindTileByName("tone"), Loaded.GetTile(1));
}

TEST(ProjectFile, BadHeadersAndTruncatedFiles) {
  test::TTempDir Dir;
  const std::string F = Dir.File("bad.lvk");
  auto With = [&](const TBytes& B) {
    test::WriteBytes(F, B);
    return LoadMessage(F);
  };
  const std::string Unexpected = "Read error: file has unexpected format";
  EXPECT_EQ(With({}), Unexpected);
  EXPECT_EQ(With({2, 1}), Unexpected);
  EXPECT_EQ(With(test::ShortString("lurvik")), "File " + F + " does not start with Lurvik signature");
  TBytes V2 = Header(2);
  EXPECT_EQ(With(V2), "File " + F + " has Lurvik file version 2, expected 1");
  TBytes NoMarker = Header();
  Append(NoMarker, test::ShortString("[TGam]"));
  EXPECT_EQ(With(NoMarker), "Read error: expected [TGame], read [TGam]");
  EXPECT_EQ(With(Header()), Unexpected);

  // A real file cut at every length fails with a message, never a crash.
  TGame Game;
  Game.SetFileName(Dir.File("whole.lvk"));
  Game.AddTile();
  Game.Save();
  TBytes Whole = test::ReadBytes(Game.FileName());
  for (std::size_t N = 0; N < Whole.size(); ++N) {
    std::string M = With(TBytes(Whole.begin(), Whole.begin() + N));
    EXPECT_NE(M, "no error") << N;
  }
  // Bytes after the last list end are ignored.
  TBytes Longer = Whole;
  Append(Longer, {1, 2, 3});
  EXPECT_EQ(With(Longer), "no error");
  // An actor list whose end is missing.
  TBytes WithActor(Whole.begin(), Whole.end() - 2);
  Append(WithActor, test::ShortString("[TLevel]"));
  EXPECT_EQ(With(WithActor), "Read error: expected [TActor], read [TLevel]");
}

TEST(ProjectFile, HostileLengthsFailAtOnce) {
  test::TTempDir Dir;
  const std::string F = Dir.File("hostile.lvk");
  TBytes B = Header();
  Append(B, test::ShortString("[TGame]"));
  Append(B, {2, 1, 2, 0});
  Append(B, {12, 0xFF, 0xFF, 0xFF, 0xFF, 'x'});  // a title 4 GiB long
  test::WriteBytes(F, B);
  test::ResetLargestAllocation();
  EXPECT_EQ(LoadMessage(F), "Read error: file has unexpected format");
  EXPECT_LT(test::LargestAllocation(), 1u << 20);

  // A tile picture claiming 100000 x 100000 pixels.
  TGame Game;
  Game.SetFileName(Dir.File("tile.lvk"));
  Game.AddTile();
  Game.Save();
  TBytes T = test::ReadBytes(Game.FileName());
  TBytes Bm{'B', 'M'};
  auto At = std::search(T.begin(), T.end(), Bm.begin(), Bm.end());
  ASSERT_NE(At, T.end());
  std::size_t Info = (At - T.begin()) + 14;
  for (std::size_t Field : {Info + 4, Info + 8}) {
    T[Field] = 0xA0;
    T[Field + 1] = 0x86;
    T[Field + 2] = 0x01;
    T[Field + 3] = 0x00;
  }
  T[Info + 20] = T[Info + 21] = T[Info + 22] = T[Info + 23] = 0;  // image size 0: rows x row size
  test::WriteBytes(F, T);
  test::ResetLargestAllocation();
  EXPECT_EQ(LoadMessage(F), "Read error: file has unexpected format");
  EXPECT_LT(test::LargestAllocation(), 1u << 20);
}

TEST(ProjectFile, NamesInTheWayOfDefaultNamesLoadQuickly) {
  // Item j of each list of Count is called Prefix(Count - j): once half
  // are read, the default name a new item would get is taken by one read
  // before it, and so are the next ones up to Count. A reader that looked
  // for a free default name for every item it reads took most of a minute
  // for these lists.
  constexpr int Count = 3000;
  TGame Game;
  auto Name = [&](const std::function<void(int, const std::string&)>& SetName, const char* Prefix) {
    for (int j = 0; j < Count; ++j) SetName(j, "x" + std::to_string(j));
    for (int j = 0; j < Count; ++j) SetName(j, Prefix + std::to_string(Count - j));
  };
  for (int j = 0; j < Count; ++j) {
    Game.AddTile();
    Game.AddActor();
    Game.AddLevel();
    Game.AddVariable();
    Game.AddSound();
  }
  Name([&](int j, const std::string& N) { Game.GetTile(j)->SetName(N); }, "tTile");
  Name([&](int j, const std::string& N) { Game.GetActor(j)->SetName(N); }, "aActor");
  Name([&](int j, const std::string& N) { Game.GetLevel(j)->SetName(N); }, "lLevel");
  Name([&](int j, const std::string& N) { Game.GetVariable(j)->SetName(N); }, "vVariable");
  Name([&](int j, const std::string& N) { Game.GetSound(j)->SetName(N); }, "sSound");
  const TBytes Bytes = Game.ContentBytes();

  const auto Start = std::chrono::steady_clock::now();
  TGame Loaded;
  Loaded.LoadContent(Bytes);
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(5));
  EXPECT_EQ(Loaded.ContentBytes(), Bytes);
  EXPECT_EQ(Loaded.GetActor(Count - 1)->Name(), "aActor1");
  EXPECT_EQ(Loaded.GetSound(0)->Name(), "sSound" + std::to_string(Count));
  // Items the editor adds still get the first free default name.
  EXPECT_EQ(Loaded.AddVariable()->Name(), "vVariable" + std::to_string(Count + 1));
  EXPECT_EQ(Loaded.AddTile()->Name(), "tTile" + std::to_string(Count + 1));
}

TEST(ProjectFile, FailedSaveKeepsTheOldFile) {
  test::TTempDir Dir;
  TGame Game;
  Game.SetFileName(Dir.File("keep.lvk"));
  Game.Save();
  const TBytes Before = test::ReadBytes(Game.FileName());

  Game.SetTitle("changed");
  if (geteuid() != 0) {
    // Without write permission on the folder no temporary file can be made.
    chmod(Dir.Path().c_str(), 0555);
    EXPECT_THROW(Game.Save(), EFileError);
    chmod(Dir.Path().c_str(), 0755);
    EXPECT_EQ(test::ReadBytes(Game.FileName()), Before);
    EXPECT_EQ(Game.Revision(), 2);
    EXPECT_TRUE(Game.Modified());
  }
  // A target that is a folder.
  std::filesystem::create_directory(Dir.File("folder.lvk"));
  TGame Other;
  Other.SetFileName(Dir.File("folder.lvk"));
  test::ClearModified(Other);
  EXPECT_THROW(Other.Save(), EFileError);
  EXPECT_TRUE(std::filesystem::is_directory(Dir.File("folder.lvk")));
  EXPECT_EQ(Other.Revision(), 1);
  EXPECT_FALSE(Other.Modified());
  // A folder that does not exist.
  Game.SetFileName(Dir.File("missing/x.lvk"));
  EXPECT_THROW(Game.Save(), EFileError);
  // No temporary file is left behind.
  int Files = 0;
  for (auto& E : std::filesystem::directory_iterator(Dir.Path())) Files += E.is_regular_file();
  EXPECT_EQ(Files, 1);
  EXPECT_EQ(test::ReadBytes(Dir.File("keep.lvk")), Before);
}

TEST(ProjectFile, MissingFileIsThePlatformsError) {
  TGame Game;
  EXPECT_THROW(Game.LoadFromFile("/nonexistent/x.lvk"), EFileError);
}
