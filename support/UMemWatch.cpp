#include "support/UMemWatch.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <malloc.h>

namespace lvk {

namespace {

TMemCounters GCounters;
bool GActive = false;
std::chrono::steady_clock::time_point GStart;

// The counters are 32 bits wide, as the report shows them; adding in unsigned
// arithmetic makes an overflow wrap instead of being undefined.
std::int32_t Add(std::int32_t Counter, std::int64_t Delta) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(Counter) +
                                   static_cast<std::uint32_t>(Delta));
}

// Non-const: a fresh block is uninitialised, and gcc takes a const pointer as
// a promise to read the bytes behind it.
std::int64_t SizeOf(void* Block) { return static_cast<std::int64_t>(malloc_usable_size(Block)); }

void CountNew(void* Block) {
  if (!GActive || !Block) return;
  GCounters.CurrentBlocks = Add(GCounters.CurrentBlocks, 1);
  if (GCounters.CurrentBlocks > GCounters.MaxBlocks) GCounters.MaxBlocks = GCounters.CurrentBlocks;
  GCounters.CurrentBytes = Add(GCounters.CurrentBytes, SizeOf(Block));
  if (GCounters.CurrentBytes > GCounters.MaxBytes) GCounters.MaxBytes = GCounters.CurrentBytes;
}

void CountGrown(void* Block) {
  GCounters.CurrentBytes = Add(GCounters.CurrentBytes, SizeOf(Block));
  if (GCounters.CurrentBytes > GCounters.MaxBytes) GCounters.MaxBytes = GCounters.CurrentBytes;
}

}  // namespace

namespace MemWatch {

void Start() {
  GCounters.CurrentBytes = 0;
  GCounters.CurrentBlocks = 0;
  GActive = true;
  GStart = std::chrono::steady_clock::now();
}

std::optional<TMemReport> Stop(const TMemReportFunc& Report) {
  // A steady clock: a change of the system time during a run must not make
  // the run time negative.
  const double Seconds =
      GActive ? std::chrono::duration<double>(std::chrono::steady_clock::now() - GStart).count() : 0.0;
  GActive = false;
  auto Due = MakeReport(GCounters, Seconds);
  if (Due && Report) Report(*Due);
  return Due;
}

bool Active() { return GActive; }

TMemCounters Counters() { return GCounters; }

void Reset() {
  GCounters = TMemCounters{};
  GActive = false;
}

std::size_t BlockSize(const void* Block) {
  // glibc's usable size: what the block really occupies, not what was asked.
  return Block ? malloc_usable_size(const_cast<void*>(Block)) : 0;
}

void* Allocate(std::size_t Size) {
  // A request of zero still yields a distinct block, as operator new must.
  void* Block = std::malloc(Size ? Size : 1);
  CountNew(Block);
  return Block;
}

void* AllocateAligned(std::size_t Size, std::size_t Alignment) {
  if (Alignment <= alignof(std::max_align_t)) return Allocate(Size);
  if (Alignment & (Alignment - 1)) return nullptr;  // not a power of two
  // posix_memalign's blocks go back through free(), like every other block.
  void* Block = nullptr;
  if (posix_memalign(&Block, Alignment, Size ? Size : 1) != 0) return nullptr;
  CountNew(Block);
  return Block;
}

void Free(void* Block) {
  if (!Block) return;
  if (GActive) {
    GCounters.CurrentBytes = Add(GCounters.CurrentBytes, -SizeOf(Block));
    GCounters.CurrentBlocks = Add(GCounters.CurrentBlocks, -1);
  }
  std::free(Block);
}

void* Resize(void* Block, std::size_t Size) {
  if (!Block) return Allocate(Size);
  if (Size == 0) {
    Free(Block);
    return nullptr;
  }
  const bool Counting = GActive;
  if (Counting) GCounters.CurrentBytes = Add(GCounters.CurrentBytes, -SizeOf(Block));
  void* Moved = std::realloc(Block, Size);
  if (Counting) CountGrown(Moved ? Moved : Block);
  return Moved;
}

std::optional<TMemReport> MakeReport(const TMemCounters& C, double Seconds) {
  if (C.CurrentBytes == 0 && C.CurrentBlocks == 0) return std::nullopt;
  char Text[256];
  std::snprintf(Text, sizeof Text,
                "Memory still allocated: %d bytes in %d blocks \nMax allocated: %d bytes and/or %d "
                "blocks\nRuntime: %.2f sec",
                static_cast<int>(C.CurrentBytes), static_cast<int>(C.CurrentBlocks), static_cast<int>(C.MaxBytes),
                static_cast<int>(C.MaxBlocks), Seconds);
  TMemReport Report;
  Report.Caption = "Run diagnostics";
  Report.Text = Text;
  Report.Icon = C.CurrentBytes > 0    ? TMemReportIcon::Warning
                : C.CurrentBytes == 0 ? TMemReportIcon::Information
                                      : TMemReportIcon::None;
  return Report;
}

}  // namespace MemWatch

namespace MemWatchDetail {

void* NewBlock(std::size_t Size) {
  void* Block = MemWatch::Allocate(Size);
  if (!Block) throw std::bad_alloc();
  return Block;
}

void* NewBlock(std::size_t Size, std::align_val_t Alignment) {
  void* Block = MemWatch::AllocateAligned(Size, static_cast<std::size_t>(Alignment));
  if (!Block) throw std::bad_alloc();
  return Block;
}

}  // namespace MemWatchDetail

}  // namespace lvk
