#pragma once
// Byte streams under the value reader and writer, the picture reader and the
// palette files. A stream knows its size, so every reader can check a length
// against the bytes that are left before it allocates anything.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lvk {

class TStream {
public:
  virtual ~TStream() = default;
  // Reads up to Count bytes; fewer only at the end of the stream.
  virtual std::size_t Read(void* Buffer, std::size_t Count) = 0;
  // Writes all Count bytes or throws EFileError.
  virtual void Write(const void* Buffer, std::size_t Count) = 0;
  virtual std::uint64_t Position() const = 0;
  virtual void Seek(std::uint64_t Position) = 0;
  virtual std::uint64_t Size() const = 0;

  std::uint64_t Remaining() const {
    std::uint64_t S = Size(), P = Position();
    return P < S ? S - P : 0;
  }
  // Reads exactly Count bytes or throws EReadError.
  void ReadBuffer(void* Buffer, std::size_t Count);
};

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> Bytes) : FData(std::move(Bytes)) {}
  TMemoryStream(const void* Bytes, std::size_t Count);

  std::size_t Read(void* Buffer, std::size_t Count) override;
  void Write(const void* Buffer, std::size_t Count) override;
  std::uint64_t Position() const override { return FPos; }
  void Seek(std::uint64_t Position) override { FPos = Position; }
  std::uint64_t Size() const override { return FData.size(); }

  const std::vector<std::uint8_t>& Bytes() const { return FData; }

private:
  std::vector<std::uint8_t> FData;
  std::uint64_t FPos = 0;
};

// A file opened for reading, or created for writing. Errors are EFileError
// with the platform's reason.
class TFileStream : public TStream {
public:
  enum TMode { fmOpenRead, fmCreate };
  TFileStream(const std::string& FileName, TMode Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::size_t Read(void* Buffer, std::size_t Count) override;
  void Write(const void* Buffer, std::size_t Count) override;
  std::uint64_t Position() const override;
  void Seek(std::uint64_t Position) override;
  std::uint64_t Size() const override;

  // Pushes the written bytes to the disk (fsync); throws EFileError.
  void Commit();
  void Close();

private:
  int FFd = -1;
  std::string FFileName;
};

// Writes a file so that a failure never destroys the previous one: the bytes
// go to a temporary file beside the target, which replaces the target only
// when Commit has written and flushed everything. Without Commit the
// temporary file is removed and the target stays as it was.
class TSafeFileWriter {
public:
  explicit TSafeFileWriter(const std::string& FileName);
  ~TSafeFileWriter();
  TSafeFileWriter(const TSafeFileWriter&) = delete;
  TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

  TStream& Stream() { return *FStream; }
  void Commit();

private:
  std::string FFileName;
  std::string FTempName;
  TFileStream* FStream = nullptr;
  bool FDone = false;
};

// Reads a whole file into memory; EFileError when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& FileName);

}  // namespace lvk
