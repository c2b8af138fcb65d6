#pragma once
// The memory-use watch: counts the heap blocks of the program's own objects
// while it runs and, when it stops, reports blocks still allocated.
//
// Only classes that adopt the counting allocator are seen: derive from
// lvk::TCounted, or put LVK_COUNTED in the class body where a base class would
// get in the way. Qt's and the standard library's own allocations are not
// counted; their process-long caches would otherwise make every run look
// leaky.
//
// One thread: the counters are plain integers, like the GUI that allocates.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <optional>
#include <string>

namespace lvk {

struct TMemCounters {
  std::int32_t CurrentBytes = 0;
  std::int32_t CurrentBlocks = 0;
  std::int32_t MaxBytes = 0;
  std::int32_t MaxBlocks = 0;
};

enum class TMemReportIcon { None, Information, Warning };

struct TMemReport {
  std::string Caption;
  std::string Text;
  TMemReportIcon Icon = TMemReportIcon::None;
};

// Shows a report to the user; the program's UI supplies it.
using TMemReportFunc = std::function<void(const TMemReport&)>;

namespace MemWatch {

// Resets the current counters and starts counting. The maxima are not reset:
// they belong to the process, as the counters themselves do.
void Start();

// Stops counting and, if bytes or blocks are still counted, hands the report
// to Report (an empty function shows nothing). Returns the report that was
// due, for callers that want to log it as well.
std::optional<TMemReport> Stop(const TMemReportFunc& Report);

bool Active();
TMemCounters Counters();

// The counting allocator. Outside Start..Stop it allocates and frees without
// counting; a block allocated before Start and freed while counting makes
// the counters go below zero, which the report shows as it is.
void* Allocate(std::size_t Size);
void* AllocateAligned(std::size_t Size, std::size_t Alignment);
void Free(void* Block);
// Resize with realloc's contract: a null block allocates, a size of zero
// frees and returns null, a failed resize keeps the old block (and its count)
// and returns null.
void* Resize(void* Block, std::size_t Size);

// The size the underlying allocator keeps for a block (at least what was
// asked for); 0 for null.
std::size_t BlockSize(const void* Block);

// The report for the given counters and run time, or nothing when both
// current counters are zero.
std::optional<TMemReport> MakeReport(const TMemCounters& Counters, double Seconds);

// For tests: every counter back to zero, counting off.
void Reset();

}  // namespace MemWatch

// The allocation hook that TCounted and LVK_COUNTED install in a class.
namespace MemWatchDetail {
void* NewBlock(std::size_t Size);
void* NewBlock(std::size_t Size, std::align_val_t Alignment);
}  // namespace MemWatchDetail

}  // namespace lvk

// Class-level allocation functions that route a class (and its subclasses)
// through the watch. All forms are declared, because declaring any operator
// new in a class hides the global ones, placement new included.
#define LVK_COUNTED                                                                         \
  static void* operator new(std::size_t Size) { return ::lvk::MemWatchDetail::NewBlock(Size); } \
  static void* operator new[](std::size_t Size) {                                             \
    return ::lvk::MemWatchDetail::NewBlock(Size);                                             \
  }                                                                                           \
  static void* operator new(std::size_t Size, std::align_val_t Al) {                          \
    return ::lvk::MemWatchDetail::NewBlock(Size, Al);                                         \
  }                                                                                           \
  static void* operator new[](std::size_t Size, std::align_val_t Al) {                        \
    return ::lvk::MemWatchDetail::NewBlock(Size, Al);                                         \
  }                                                                                           \
  static void* operator new(std::size_t Size, const std::nothrow_t&) noexcept {               \
    return ::lvk::MemWatch::Allocate(Size);                                                   \
  }                                                                                           \
  static void* operator new[](std::size_t Size, const std::nothrow_t&) noexcept {             \
    return ::lvk::MemWatch::Allocate(Size);                                                   \
  }                                                                                           \
  static void* operator new(std::size_t, void* Place) noexcept { return Place; }              \
  static void* operator new[](std::size_t, void* Place) noexcept { return Place; }            \
  static void operator delete(void* Block) noexcept { ::lvk::MemWatch::Free(Block); }         \
  static void operator delete[](void* Block) noexcept { ::lvk::MemWatch::Free(Block); }       \
  static void operator delete(void* Block, std::align_val_t) noexcept {                       \
    ::lvk::MemWatch::Free(Block);                                                             \
  }                                                                                           \
  static void operator delete[](void* Block, std::align_val_t) noexcept {                     \
    ::lvk::MemWatch::Free(Block);                                                             \
  }                                                                                           \
  static void operator delete(void* Block, const std::nothrow_t&) noexcept {                  \
    ::lvk::MemWatch::Free(Block);                                                             \
  }                                                                                           \
  static void operator delete[](void* Block, const std::nothrow_t&) noexcept {                \
    ::lvk::MemWatch::Free(Block);                                                             \
  }                                                                                           \
  static void operator delete(void*, void*) noexcept {}                                       \
  static void operator delete[](void*, void*) noexcept {}

namespace lvk {

// A base for counted classes. Several counted bases in one hierarchy would
// make the operators ambiguous; such a class repeats LVK_COUNTED itself.
class TCounted {
public:
  LVK_COUNTED
};

}  // namespace lvk
