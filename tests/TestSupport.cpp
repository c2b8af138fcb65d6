#include "TestSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "model/UClock.h"

namespace {
std::atomic<std::size_t> Largest{0};
}

// Replaced for the whole test program: every allocation is recorded.
void* operator new(std::size_t Size) {
  std::size_t Seen = Largest.load();
  while (Size > Seen && !Largest.compare_exchange_weak(Seen, Size)) {
  }
  if (void* P = std::malloc(Size ? Size : 1)) return P;
  throw std::bad_alloc();
}
void operator delete(void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }
// The nothrow forms too (std::stable_sort's buffer), or they would come
// from the library's allocator and go back to this one's.
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(Size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* P, const std::nothrow_t&) noexcept { std::free(P); }

namespace lvk::test {

void ResetLargestAllocation() { Largest = 0; }
std::size_t LargestAllocation() { return Largest.load(); }

TTempDir::TTempDir() {
  std::string Pattern = (std::filesystem::temp_directory_path() / "lurvik-test-XXXXXX").string();
  std::vector<char> Buf(Pattern.begin(), Pattern.end());
  Buf.push_back('\0');
  if (!mkdtemp(Buf.data())) throw std::runtime_error("cannot make a temporary folder");
  FPath = Buf.data();
}

TTempDir::~TTempDir() {
  std::error_code Ec;
  // A test may have taken write permission away; give it back to clean up.
  std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, Ec);
  std::filesystem::remove_all(FPath, Ec);
}

TTestClock::TTestClock(double Start) : FNow(Start) {
  SetClock([this] { return FNow; });
}

TTestClock::~TTestClock() { SetClock({}); }

std::string Slurp(const std::string& FileName) {
  std::ifstream In(FileName);
  std::stringstream S;
  S << In.rdbuf();
  return S.str();
}

std::string Quote(const std::string& S) {
  std::string Q = "'";
  for (char C : S) Q += C == '\'' ? std::string("'\\''") : std::string(1, C);
  return Q + "'";
}

TBytes ReadBytes(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) throw std::runtime_error("cannot read " + FileName);
  return TBytes(std::istreambuf_iterator<char>(In), {});
}

void WriteBytes(const std::string& FileName, const TBytes& Bytes) {
  std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
  if (!Out) throw std::runtime_error("cannot write " + FileName);
}

std::string MessageOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const std::exception& E) {
    return E.what();
  }
  return "no error";
}

TBytes ShortString(const std::string& S) {
  TBytes B(2 + S.size());
  B[0] = 6;
  B[1] = static_cast<std::uint8_t>(S.size());
  std::copy(S.begin(), S.end(), B.begin() + 2);
  return B;
}

TPeekBitmap SolidBitmap(int Width, int Height, int BitCount, std::uint32_t Color, std::uint32_t Compression,
                        std::array<std::uint32_t, 3> Masks) {
  int RowSize = ((Width * BitCount + 31) / 32) * 4;
  std::vector<std::uint8_t> Rows(static_cast<std::size_t>(RowSize) * Height, 0);
  std::vector<std::uint32_t> Table;
  if (BitCount <= 8) {
    Table = {0, Color};
    // Index 1 everywhere.
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) {
        std::uint8_t* Row = Rows.data() + static_cast<std::size_t>(y) * RowSize;
        if (BitCount == 8) Row[x] = 1;
        if (BitCount == 4) Row[x / 2] |= (x % 2 == 0) ? 0x10 : 0x01;
        if (BitCount == 1) Row[x / 8] |= 0x80 >> (x % 8);
      }
  } else {
    std::uint8_t R = Color & 0xFF, G = (Color >> 8) & 0xFF, B = (Color >> 16) & 0xFF;
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) {
        std::uint8_t* P = Rows.data() + static_cast<std::size_t>(y) * RowSize + x * (BitCount / 8);
        if (BitCount == 24 || BitCount == 32) {
          P[0] = B;
          P[1] = G;
          P[2] = R;
        } else if (BitCount == 16) {
          std::uint16_t W = static_cast<std::uint16_t>(((R >> 3) << 10) | ((G >> 3) << 5) | (B >> 3));
          P[0] = W & 0xFF;
          P[1] = W >> 8;
        }
      }
  }
  TPeekBitmap Bmp;
  Bmp.Assign(Width, Height, BitCount, Compression, Masks, Table, Rows);
  return Bmp;
}

}  // namespace lvk::test
