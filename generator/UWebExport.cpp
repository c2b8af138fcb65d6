#include "generator/UWebExport.h"

#include "model/UFormat.h"
#include "model/ULevel.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "engine/lvk_pack.h"
#include "generator/UBuildLog.h"
#include "generator/UGameTables.h"
#include "generator/UGenerator.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UStream.h"
#include "web/UWebAssets.h"

namespace lvk {

namespace {

// Every pointer and count of the engine's game description is packed below
// and read in engine/lvk_pack.c. A field added to lvk_game_t changes its
// size: pack it there and here, then set the new size.
static_assert(sizeof(void*) != 8 || sizeof(lvk_game_t) == 168,
              "lvk_game_t changed: pack the new field in PackGameTables and read it in lvk_pack.c");

class TPackWriter {
public:
  TPackWriter() { Bytes.resize(12); }

  void Section(std::uint32_t Tag, std::uint32_t Size, std::size_t Count, const void* Data) {
    Put(Tag);
    Put(Size);
    Put(static_cast<std::uint32_t>(Count));
    const auto* From = static_cast<const std::uint8_t*>(Data);
    if (Count > 0) Bytes.insert(Bytes.end(), From, From + Size * Count);
    Bytes.resize((Bytes.size() + 3) & ~std::size_t(3), 0);
    ++FSections;
  }

  // The engine's entries go as they are, field for field and in the C
  // layout the module shares with this host (checked where it reads them).
  template <typename T>
  void Table(std::uint32_t Tag, const std::vector<T>& Entries) {
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) <= 4);
    Section(Tag, sizeof(T), Entries.size(), Entries.data());
  }

  std::vector<std::uint8_t> Finish() {
    std::memcpy(Bytes.data(), "LVKP", 4);
    const std::uint32_t Header[2] = {LVK_PACK_VERSION, FSections};
    for (int i = 0; i < 2; ++i)
      for (int b = 0; b < 4; ++b) Bytes[4 + 4 * i + b] = static_cast<std::uint8_t>(Header[i] >> (8 * b));
    return std::move(Bytes);
  }

private:
  void Put(std::uint32_t Value) {
    for (int b = 0; b < 4; ++b) Bytes.push_back(static_cast<std::uint8_t>(Value >> (8 * b)));
  }

  std::vector<std::uint8_t> Bytes;
  std::uint32_t FSections = 0;
};

constexpr std::uint32_t Tag(const char (&Name)[5]) { return LVK_PACK_TAG(Name[0], Name[1], Name[2], Name[3]); }

std::string HtmlEscaped(const std::string& Text) {
  std::string Out;
  for (char C : Text) {
    switch (C) {
      case '&': Out += "&amp;"; break;
      case '<': Out += "&lt;"; break;
      case '>': Out += "&gt;"; break;
      case '"': Out += "&quot;"; break;
      default: Out += static_cast<unsigned char>(C) < 32 ? ' ' : C; break;
    }
  }
  return Out;
}

// Replaces the one Marker of Page with Text.
void Fill(std::string& Page, const std::string& Marker, const std::string& Text) {
  const std::size_t At = Page.find(Marker);
  if (At == std::string::npos) throw EGame("The web page's template has no place for " + Marker + ".");
  Page.replace(At, Marker.size(), Text);
}

}  // namespace

std::vector<std::uint8_t> PackGameTables(const TGameTables& T, const std::string& StartText) {
  TPackWriter W;
  W.Table(Tag("ACTR"), T.Actors);
  W.Table(Tag("HNDL"), T.Handlers);
  W.Table(Tag("ACTN"), T.Actions);
  W.Table(Tag("LEVL"), T.Levels);
  W.Table(Tag("SPWN"), T.Spawns);
  W.Table(Tag("SCEN"), T.Scenery);
  W.Table(Tag("VARS"), T.Variables);
  W.Table(Tag("TEXT"), T.Texts);
  W.Table(Tag("SEGM"), T.Segments);
  W.Section(Tag("CHRS"), 1, T.Chars.size(), T.Chars.data());
  W.Table(Tag("ANIM"), T.Animations);
  W.Table(Tag("FRMS"), T.Frames);
  W.Table(Tag("FRTL"), T.FrameTiles);
  const std::uint32_t Counts[2] = {T.TileCount, T.SoundCount};
  W.Section(Tag("GAME"), 4, 2, Counts);
  // Field by field into zeros: the padding's bytes would differ page to page.
  lvk_saving_t Saving;
  std::memset(&Saving, 0, sizeof Saving);
  Saving.game_key = T.Saving.game_key;
  Saving.score_variable = T.Saving.score_variable;
  Saving.score_places = T.Saving.score_places;
  Saving.score_letters = T.Saving.score_letters;
  Saving.score_higher = T.Saving.score_higher;
  W.Section(Tag("SAVE"), sizeof Saving, 1, &Saving);
  std::vector<std::uint32_t> Lengths;
  std::vector<std::int8_t> Samples;
  for (const std::vector<std::int8_t>& Sound : T.Sounds) {
    Lengths.push_back(static_cast<std::uint32_t>(Sound.size()));
    Samples.insert(Samples.end(), Sound.begin(), Sound.end());
  }
  W.Table(Tag("SNDL"), Lengths);
  W.Table(Tag("SNDS"), Samples);
  W.Table(Tag("PALT"), T.Palette);
  W.Table(Tag("TILE"), T.Tiles);
  // The maps one after another, as one table of map entries.
  std::vector<std::uint16_t> Maps;
  for (const TLevelMap& Map : T.Backgrounds) Maps.insert(Maps.end(), Map.begin(), Map.end());
  W.Section(Tag("BGND"), sizeof(std::uint16_t), Maps.size(), Maps.data());
  W.Section(Tag("STRT"), 1, StartText.size(), StartText.data());
  return W.Finish();
}

bool HaveWebEngine() { return !WebEngineModule().empty(); }

std::string MakeWebPage(const TGame& Game, TBuildLog& Log) {
  if (!HaveWebEngine())
    throw EGame("This program was built without the web engine (clang and lld were missing); it cannot export web pages.");
  TGameTables Tables = BuildGameTables(Game, Log);
  for (const std::string& Note : Tables.Notes) Log.LogLine(Note);
  const std::vector<std::uint8_t> Packed = PackGameTables(Tables, WelcomeText(Game.Title()));
  const std::string_view Module = WebEngineModule();
  std::string Page(WebPageTemplate());
  Fill(Page, "@LVK_TITLE@", HtmlEscaped(Game.Title().empty() ? std::string("Lurvik game") : Game.Title()));
  Fill(Page, "@LVK_ENGINE@", Base64(reinterpret_cast<const std::uint8_t*>(Module.data()), Module.size()));
  Fill(Page, "@LVK_GAME@", Base64(Packed.data(), Packed.size()));
  // Last: the script's own text is never searched for markers.
  Fill(Page, "@LVK_SCRIPT@", std::string(WebPageScript()));
  return Page;
}

std::uint64_t ExportWebPage(const TGame& Game, const std::string& FileName, TBuildLog& Log) {
  const std::string Page = MakeWebPage(Game, Log);
  TSafeFileWriter Writer(FileName);
  Writer.Stream().Write(Page.data(), Page.size());
  Writer.Commit();
  return Page.size();
}

std::string Base64(const std::uint8_t* Bytes, std::size_t Count) {
  static const char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string Out;
  Out.reserve((Count + 2) / 3 * 4);
  for (std::size_t i = 0; i < Count; i += 3) {
    const std::uint32_t Chunk = static_cast<std::uint32_t>(Bytes[i]) << 16 |
                                (i + 1 < Count ? static_cast<std::uint32_t>(Bytes[i + 1]) << 8 : 0u) |
                                (i + 2 < Count ? static_cast<std::uint32_t>(Bytes[i + 2]) : 0u);
    Out += Digits[(Chunk >> 18) & 63];
    Out += Digits[(Chunk >> 12) & 63];
    Out += i + 1 < Count ? Digits[(Chunk >> 6) & 63] : '=';
    Out += i + 2 < Count ? Digits[Chunk & 63] : '=';
  }
  return Out;
}

}  // namespace lvk
