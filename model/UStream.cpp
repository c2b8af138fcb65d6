#include "model/UStream.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/UErrors.h"

namespace lvk {

namespace {

std::string Reason() { return std::strerror(errno); }

[[noreturn]] void Fail(const std::string& What, const std::string& FileName) {
  throw EFileError(What + " \"" + FileName + "\". " + Reason());
}

}  // namespace

void TStream::ReadBuffer(void* Buffer, std::size_t Count) {
  if (Count > Remaining() || Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

TMemoryStream::TMemoryStream(const void* Bytes, std::size_t Count)
    : FData(static_cast<const std::uint8_t*>(Bytes), static_cast<const std::uint8_t*>(Bytes) + Count) {}

std::size_t TMemoryStream::Read(void* Buffer, std::size_t Count) {
  if (FPos >= FData.size()) return 0;
  std::size_t N = std::min<std::uint64_t>(Count, FData.size() - FPos);
  // A picture without pixels reads nothing into no buffer at all.
  if (N == 0) return 0;
  std::memcpy(Buffer, FData.data() + FPos, N);
  FPos += N;
  return N;
}

void TMemoryStream::Write(const void* Buffer, std::size_t Count) {
  if (Count == 0) return;
  if (FPos + Count > FData.size()) FData.resize(FPos + Count);
  std::memcpy(FData.data() + FPos, Buffer, Count);
  FPos += Count;
}

TFileStream::TFileStream(const std::string& FileName, TMode Mode) : FFileName(FileName) {
  if (Mode == fmOpenRead) {
    FFd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (FFd < 0) Fail("Cannot open file", FileName);
    struct stat St {};
    if (::fstat(FFd, &St) == 0 && S_ISDIR(St.st_mode)) {
      ::close(FFd);
      FFd = -1;
      errno = EISDIR;
      Fail("Cannot open file", FileName);
    }
  } else {
    FFd = ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FFd < 0) Fail("Cannot create file", FileName);
  }
}

TFileStream::~TFileStream() { Close(); }

void TFileStream::Close() {
  if (FFd >= 0) ::close(FFd);
  FFd = -1;
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count) {
  std::size_t Done = 0;
  while (Done < Count) {
    ssize_t N = ::read(FFd, static_cast<char*>(Buffer) + Done, Count - Done);
    if (N < 0 && errno == EINTR) continue;
    if (N < 0) throw EReadError("Stream read error");
    if (N == 0) break;
    Done += static_cast<std::size_t>(N);
  }
  return Done;
}

void TFileStream::Write(const void* Buffer, std::size_t Count) {
  std::size_t Done = 0;
  while (Done < Count) {
    ssize_t N = ::write(FFd, static_cast<const char*>(Buffer) + Done, Count - Done);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) Fail("Error writing file", FFileName);
    Done += static_cast<std::size_t>(N);
  }
}

std::uint64_t TFileStream::Position() const {
  off_t P = ::lseek(FFd, 0, SEEK_CUR);
  return P < 0 ? 0 : static_cast<std::uint64_t>(P);
}

void TFileStream::Seek(std::uint64_t Position) {
  if (::lseek(FFd, static_cast<off_t>(Position), SEEK_SET) < 0) Fail("Cannot seek in file", FFileName);
}

std::uint64_t TFileStream::Size() const {
  struct stat St {};
  if (::fstat(FFd, &St) != 0) return 0;
  return static_cast<std::uint64_t>(St.st_size);
}

void TFileStream::Commit() {
  if (::fsync(FFd) != 0 && errno != EINVAL) Fail("Error writing file", FFileName);
}

TSafeFileWriter::TSafeFileWriter(const std::string& FileName) : FFileName(FileName) {
  // A directory cannot be replaced by a file: refuse before writing anything.
  struct stat St {};
  if (::stat(FileName.c_str(), &St) == 0 && S_ISDIR(St.st_mode)) {
    errno = EISDIR;
    Fail("Cannot create file", FileName);
  }
  std::string Dir = ".";
  std::string Base = FileName;
  if (auto Slash = FileName.rfind('/'); Slash != std::string::npos) {
    Dir = Slash == 0 ? "/" : FileName.substr(0, Slash);
    Base = FileName.substr(Slash + 1);
  }
  std::string Pattern = Dir + "/." + Base + ".XXXXXX";
  std::vector<char> Name(Pattern.begin(), Pattern.end());
  Name.push_back('\0');
  int Fd = ::mkstemp(Name.data());
  if (Fd < 0) Fail("Cannot create file", FileName);
  ::close(Fd);
  FTempName = Name.data();
  try {
    FStream = new TFileStream(FTempName, TFileStream::fmCreate);
  } catch (...) {
    ::unlink(FTempName.c_str());
    throw;
  }
}

TSafeFileWriter::~TSafeFileWriter() {
  delete FStream;
  if (!FDone) ::unlink(FTempName.c_str());
}

void TSafeFileWriter::Commit() {
  FStream->Commit();
  // Keep the permissions of the file we replace; a new file gets the usual ones.
  struct stat St {};
  mode_t Mode = 0666;
  if (::stat(FFileName.c_str(), &St) == 0) {
    Mode = St.st_mode & 07777;
  } else {
    mode_t Mask = ::umask(0);
    ::umask(Mask);
    Mode &= ~Mask;
  }
  ::chmod(FTempName.c_str(), Mode);  // best effort: the content matters more
  FStream->Close();
  if (::rename(FTempName.c_str(), FFileName.c_str()) != 0) Fail("Cannot create file", FFileName);
  FDone = true;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& FileName) {
  TFileStream F(FileName, TFileStream::fmOpenRead);
  std::uint64_t Size = F.Size();
  std::vector<std::uint8_t> Bytes(static_cast<std::size_t>(Size));
  if (Size && F.Read(Bytes.data(), Bytes.size()) != Bytes.size()) throw EReadError("Stream read error");
  return Bytes;
}

}  // namespace lvk
