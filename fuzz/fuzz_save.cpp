// A saved-data store as a host finds it (a file, the save chip, the web
// page's localStorage): any bytes read as a save of this game, or are
// refused and leave nothing behind. What reads is within the limits, writes
// back and reads again the same.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "engine/lvk_save.h"

using namespace lvk;

namespace {

const std::uint32_t GameKey = lvk_save_key("Fuzz", 4);

void Check(const std::uint8_t* Data, std::size_t Size) {
  lvk_save_t Save;
  int Result = lvk_save_read(Data, Size, GameKey, &Save);
  if (Result < LVK_SAVE_EMPTY || Result > LVK_SAVE_OTHER_GAME) fuzz::Fault("an unknown result");
  if (Result != LVK_SAVE_OK) {
    if (Save.copy != -1 || Save.score_count != 0) fuzz::Fault("a refused store left data behind");
    for (const lvk_save_slot_t& Slot : Save.slot_data)
      if (Slot.flags != 0 || Slot.pair_count != 0) fuzz::Fault("a refused store left a slot behind");
    return;
  }
  if (Size != LVK_SAVE_STORE_SIZE || Save.copy < 0 || Save.copy > 1) fuzz::Fault("a store of a wrong size or copy read");
  if (Save.score_count > LVK_SAVE_MAX_PLACES || Save.letters > LVK_SAVE_MAX_LETTERS) fuzz::Fault("a table too large");
  for (int i = 0; i < Save.score_count; ++i)
    for (char C : Save.scores[i].letters)
      if (C != 0 && (C < ' ' || C > '~')) fuzz::Fault("a letter no player can enter");
  for (const lvk_save_slot_t& Slot : Save.slot_data)
    if (Slot.pair_count > LVK_SAVE_MAX_PAIRS) fuzz::Fault("a slot too large");

  // Written back over what it came from, it reads the same, from the other copy.
  std::vector<std::uint8_t> Store(Data, Data + Size);
  lvk_save_t Written = Save;
  if (!lvk_save_write(&Written, GameKey, Store.data())) fuzz::Fault("a save that read does not fit");
  lvk_save_t Again;
  if (lvk_save_read(Store.data(), Store.size(), GameKey, &Again) != LVK_SAVE_OK) fuzz::Fault("a written save does not read");
  if (Again.copy == Save.copy) fuzz::Fault("a write replaced the copy it came from");
  for (int s = 0; s < LVK_SAVE_SLOTS; ++s) {
    const lvk_save_slot_t &A = Save.slot_data[s], &B = Again.slot_data[s];
    if (A.flags != B.flags || A.pair_count != B.pair_count || A.level != B.level ||
        std::memcmp(A.pairs, B.pairs, A.pair_count * sizeof A.pairs[0]) != 0)
      fuzz::Fault("a slot reads back otherwise");
  }
  if (Again.score_count != Save.score_count) fuzz::Fault("the table reads back otherwise");
  for (int i = 0; i < Save.score_count; ++i)
    if (Again.scores[i].score != Save.scores[i].score ||
        std::memcmp(Again.scores[i].letters, Save.scores[i].letters, Save.letters) != 0)
      fuzz::Fault("an entry reads back otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  Check(Data, Size);
  // Most inputs are not a store's size: also as a store, cut or padded, so
  // the copies' reader sees every input.
  std::vector<std::uint8_t> Store(LVK_SAVE_STORE_SIZE, 0);
  std::memcpy(Store.data(), Data, Size < Store.size() ? Size : Store.size());
  Check(Store.data(), Store.size());
  return 0;
}
