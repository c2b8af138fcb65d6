#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace lvk::fuzz {

namespace {
std::string GScratch;

void RemoveScratch() {
  if (!GScratch.empty()) ::unlink(GScratch.c_str());
}
}  // namespace

const std::string& ScratchFile(const char* Suffix) {
  if (!GScratch.empty()) return GScratch;
  // tmpfs keeps the per-input write off the disk.
  const char* Dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string Pattern = std::string(Dir) + "/lurvik-fuzz-XXXXXX" + Suffix;
  std::vector<char> Name(Pattern.begin(), Pattern.end());
  Name.push_back('\0');
  int Fd = ::mkstemps(Name.data(), static_cast<int>(std::string(Suffix).size()));
  if (Fd < 0) Fault("cannot make the scratch file " + Pattern);
  ::close(Fd);
  GScratch = Name.data();
  std::atexit(RemoveScratch);
  return GScratch;
}

void WriteScratch(const std::string& FileName, const std::uint8_t* Data, std::size_t Size) {
  int Fd = ::open(FileName.c_str(), O_WRONLY | O_TRUNC);
  if (Fd < 0) Fault("cannot open the scratch file " + FileName);
  std::size_t Done = 0;
  while (Done < Size) {
    ssize_t N = ::write(Fd, Data + Done, Size - Done);
    if (N <= 0) Fault("cannot write the scratch file " + FileName);
    Done += static_cast<std::size_t>(N);
  }
  ::close(Fd);
}

void Fault(const std::string& What) {
  std::fprintf(stderr, "==fuzz fault== %s\n", What.c_str());
  std::fflush(stderr);
  std::abort();
}

void ExpectMessage(const std::string& Message, const char* const* Prefixes) {
  for (; *Prefixes; ++Prefixes)
    if (Message.starts_with(*Prefixes)) return;
  Fault("unexpected message: " + Message);
}

}  // namespace lvk::fuzz
