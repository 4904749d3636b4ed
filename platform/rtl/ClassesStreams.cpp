// Streams (memory, file, string) and the filer base classes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "rtl/Classes.h"

namespace {
[[noreturn]] void ReadError() { throw EReadError("Stream read error"); }
[[noreturn]] void WriteError() { throw EWriteError("Stream write error"); }

// Little-endian bytes of an integer of any width.
template <class T>
void PutLE(TStream& s, T v) {
  using U = std::make_unsigned_t<T>;
  U u = static_cast<U>(v);
  unsigned char b[sizeof(T)];
  for (size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<unsigned char>(u >> (8 * i));
  s.WriteBuffer(b, sizeof(T));
}
template <class T>
T GetLE(TStream& s) {
  using U = std::make_unsigned_t<T>;
  unsigned char b[sizeof(T)];
  s.ReadBuffer(b, sizeof(T));
  U u = 0;
  for (size_t i = 0; i < sizeof(T); ++i) u = static_cast<U>(u | (U(b[i]) << (8 * i)));
  return static_cast<T>(u);
}

// The position a seek in a stream held in memory moves to (not clamped: reads and writes treat
// a position outside the data themselves).
Int64 SeekTarget(Int64 position, Int64 size, Int64 offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning:
      return offset;
    case soCurrent:
      return position + offset;
    case soEnd:
      return size + offset;
  }
  return position;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TStream

KORVAN_IMPLEMENT_CLASS(TStream)

void TStream::ReadBuffer(void* buffer, Int64 count) {
  if (count < 0) ReadError();
  if (count != 0 && Read(buffer, count) != count) ReadError();
}

void TStream::WriteBuffer(const void* buffer, Int64 count) {
  if (count < 0) WriteError();
  if (count != 0 && Write(buffer, count) != count) WriteError();
}

Int64 TStream::CopyFrom(TStream* source, Int64 count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->Size();
  }
  Int64 result = count;
  constexpr Int64 kChunk = 64 * 1024;
  std::vector<char> buffer(size_t(count < kChunk ? (count > 0 ? count : 1) : kChunk));
  while (count > 0) {
    Int64 n = count < kChunk ? count : kChunk;
    source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    count -= n;
  }
  return result;
}

Int64 TStream::Position() { return Seek(0, soCurrent); }

Int64 TStream::Size() {
  Int64 pos = Seek(0, soCurrent);
  Int64 size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(Int64) {}

Byte TStream::ReadByte() { return GetLE<Byte>(*this); }
void TStream::WriteByte(Byte v) { PutLE(*this, v); }
bool TStream::ReadBool() { return ReadByte() != 0; }
void TStream::WriteBool(bool v) { WriteByte(v ? 1 : 0); }
Word TStream::ReadWord() { return GetLE<Word>(*this); }
void TStream::WriteWord(Word v) { PutLE(*this, v); }
SmallInt TStream::ReadSmallInt() { return GetLE<SmallInt>(*this); }
void TStream::WriteSmallInt(SmallInt v) { PutLE(*this, v); }
Integer TStream::ReadInt32() { return GetLE<Integer>(*this); }
void TStream::WriteInt32(Integer v) { PutLE(*this, v); }
Cardinal TStream::ReadUInt32() { return GetLE<Cardinal>(*this); }
void TStream::WriteUInt32(Cardinal v) { PutLE(*this, v); }
Int64 TStream::ReadInt64() { return GetLE<Int64>(*this); }
void TStream::WriteInt64(Int64 v) { PutLE(*this, v); }
Single TStream::ReadSingle() { return std::bit_cast<Single>(GetLE<uint32_t>(*this)); }
void TStream::WriteSingle(Single v) { PutLE(*this, std::bit_cast<uint32_t>(v)); }
double TStream::ReadDouble() { return std::bit_cast<double>(GetLE<uint64_t>(*this)); }
void TStream::WriteDouble(double v) { PutLE(*this, std::bit_cast<uint64_t>(v)); }

String TStream::ReadLString() {
  Integer len = ReadInt32();
  if (len < 0) ReadError();
  return ReadRawString(len);
}

void TStream::WriteLString(const String& s) {
  if (s.size() > size_t(INT32_MAX)) WriteError();
  WriteInt32(Integer(s.size()));
  WriteRawString(s);
}

// Reads in chunks so that a corrupt length cannot allocate more than the stream holds.
String TStream::ReadRawString(Int64 count) {
  if (count < 0) ReadError();
  String r;
  constexpr Int64 kChunk = 1 << 20;
  while (count > 0) {
    Int64 n = count < kChunk ? count : kChunk;
    size_t old = r.size();
    r.resize(old + size_t(n));
    ReadBuffer(r.data() + old, n);
    count -= n;
  }
  return r;
}

void TStream::WriteRawString(const String& s) { WriteBuffer(s.data(), Int64(s.size())); }

// ---------------------------------------------------------------------------------------------
// TCustomMemoryStream / TMemoryStream

KORVAN_IMPLEMENT_CLASS(TCustomMemoryStream)

Int64 TCustomMemoryStream::Read(void* buffer, Int64 count) {
  if (count <= 0 || position_ < 0 || position_ >= size_) return 0;
  Int64 n = size_ - position_;
  if (n > count) n = count;
  std::memcpy(buffer, static_cast<char*>(memory_) + position_, size_t(n));
  position_ += n;
  return n;
}

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
  position_ = SeekTarget(position_, size_, offset, origin);
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) {
  if (size_ != 0) stream->WriteBuffer(memory_, size_);
}

void TCustomMemoryStream::SaveToFile(const String& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

void TCustomMemoryStream::SetPointer(void* ptr, Int64 size) {
  memory_ = ptr;
  size_ = size;
}

KORVAN_IMPLEMENT_CLASS(TMemoryStream)

TMemoryStream::~TMemoryStream() { std::free(memory_); }

void TMemoryStream::SetCapacity(Int64 value) {
  if (value < size_) value = size_;
  if (value == capacity_) return;
  if (value == 0) {
    std::free(memory_);
    memory_ = nullptr;
  } else {
    void* p = std::realloc(memory_, size_t(value));
    if (p == nullptr) throw EOutOfResources("Out of memory while expanding memory stream");
    memory_ = p;
  }
  capacity_ = value;
}

void TMemoryStream::SetSize(Int64 newSize) {
  if (newSize < 0) newSize = 0;
  Int64 oldPos = position_;
  if (newSize > capacity_) {
    // Grow in steps so that many small writes stay cheap.
    Int64 cap = capacity_ < 256 ? 256 : capacity_;
    while (cap < newSize) cap += cap / 2;
    SetCapacity(cap);
  }
  if (newSize > size_) std::memset(static_cast<char*>(memory_) + size_, 0, size_t(newSize - size_));
  size_ = newSize;
  if (oldPos > newSize) position_ = newSize;
}

Int64 TMemoryStream::Write(const void* buffer, Int64 count) {
  if (count <= 0 || position_ < 0) return 0;
  Int64 end = position_ + count;
  if (end > size_) {
    Int64 pos = position_;
    SetSize(end);
    position_ = pos;
  }
  std::memcpy(static_cast<char*>(memory_) + position_, buffer, size_t(count));
  position_ = end;
  return count;
}

void TMemoryStream::Clear() {
  SetCapacity(0);
  size_ = 0;
  position_ = 0;
  SetCapacity(0);
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  Int64 count = stream->Size();
  SetSize(count);
  if (count != 0) stream->ReadBuffer(memory_, count);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

// ---------------------------------------------------------------------------------------------
// THandleStream / TFileStream

KORVAN_IMPLEMENT_CLASS(THandleStream)

Int64 THandleStream::Read(void* buffer, Int64 count) {
  if (count <= 0) return 0;
  Int64 total = 0;
  auto* p = static_cast<char*>(buffer);
  while (total < count) {
    ssize_t n = ::read(handle_, p + total, size_t(count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += n;
  }
  return total;
}

Int64 THandleStream::Write(const void* buffer, Int64 count) {
  if (count <= 0) return 0;
  Int64 total = 0;
  auto* p = static_cast<const char*>(buffer);
  while (total < count) {
    ssize_t n = ::write(handle_, p + total, size_t(count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += n;
  }
  return total;
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(handle_, off_t(offset), whence);
  return Int64(r);
}

void THandleStream::SetSize(Int64 newSize) {
  Seek(newSize, soBeginning);
  if (::ftruncate(handle_, off_t(newSize)) != 0) WriteError();
}

KORVAN_IMPLEMENT_CLASS(TFileStream)

TFileStream::TFileStream(const String& fileName, Word mode) : THandleStream(-1), fileName_(fileName) {
  if ((mode & fmCreate) == fmCreate) {
    handle_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle_ < 0)
      throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
  } else {
    int access = mode & 0x0003;
    int flags = access == fmOpenWrite ? O_WRONLY : access == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    handle_ = ::open(fileName.c_str(), flags | O_CLOEXEC);
    if (handle_ < 0)
      throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    struct stat st {};
    if (::fstat(handle_, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(handle_);
      handle_ = -1;
      throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(EISDIR));
    }
  }
}

TFileStream::~TFileStream() {
  if (handle_ >= 0) ::close(handle_);
}

// ---------------------------------------------------------------------------------------------
// TStringStream

KORVAN_IMPLEMENT_CLASS(TStringStream)

Int64 TStringStream::Read(void* buffer, Int64 count) {
  Int64 size = Int64(data_.size());
  if (count <= 0 || position_ < 0 || position_ >= size) return 0;
  Int64 n = size - position_;
  if (n > count) n = count;
  std::memcpy(buffer, data_.data() + position_, size_t(n));
  position_ += n;
  return n;
}

Int64 TStringStream::Write(const void* buffer, Int64 count) {
  if (count <= 0 || position_ < 0) return 0;
  Int64 end = position_ + count;
  if (end > Int64(data_.size())) data_.resize(size_t(end));
  std::memcpy(data_.data() + position_, buffer, size_t(count));
  position_ = end;
  return count;
}

Int64 TStringStream::Seek(Int64 offset, TSeekOrigin origin) {
  position_ = SeekTarget(position_, Int64(data_.size()), offset, origin);
  return position_;
}

void TStringStream::SetSize(Int64 newSize) {
  data_.resize(size_t(newSize < 0 ? 0 : newSize));
  if (position_ > newSize) position_ = Int64(data_.size());
}

String TStringStream::ReadString(Int64 count) {
  Int64 size = Int64(data_.size());
  if (count <= 0 || position_ < 0 || position_ >= size) return String();
  Int64 n = size - position_;
  if (n > count) n = count;
  String r = data_.substr(size_t(position_), size_t(n));
  position_ += n;
  return r;
}

void TStringStream::WriteString(const String& s) { Write(s.data(), Int64(s.size())); }

// ---------------------------------------------------------------------------------------------
// Filers

KORVAN_IMPLEMENT_CLASS(TFiler)

void TFiler::SetComponentStateFlag(TComponent* c, TComponentStateItem item, bool on) {
  TComponentState state = c->ComponentState();
  if (on) {
    state.Include(item);
  } else {
    state.Exclude(item);
  }
  c->SetComponentState(state);
}
KORVAN_IMPLEMENT_CLASS(TReader)
KORVAN_IMPLEMENT_CLASS(TWriter)

Integer TReader::ReadInteger() {
  Int64 v = ReadInt64();
  if (v < INT32_MIN || v > INT32_MAX) throw EReadError("Integer value out of range");
  return Integer(v);
}

void TReader::DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc&, bool) {
  if (!handled_ && readData && name.size() == propName_.size() &&
      strncasecmp(name.c_str(), propName_.c_str(), name.size()) == 0) {
    readData(*this);
    handled_ = true;
  }
}

void TReader::DefineBinaryProperty(const String& name, const TStreamProc& readData, const TStreamProc&,
                                   bool) {
  if (!handled_ && readData && name.size() == propName_.size() &&
      strncasecmp(name.c_str(), propName_.c_str(), name.size()) == 0) {
    TStringStream stream(ReadBinary());
    readData(stream);
    handled_ = true;
  }
}

void TWriter::DefineProperty(const String& name, const TReaderProc&, const TWriterProc& writeData,
                             bool hasData) {
  if (!hasData || !writeData) return;
  BeginDefined(name);
  writeData(*this);
  EndDefined();
}

void TWriter::DefineBinaryProperty(const String& name, const TStreamProc&, const TStreamProc& writeData,
                                   bool hasData) {
  if (!hasData || !writeData) return;
  TMemoryStream stream;
  writeData(stream);
  BeginDefined(name);
  WriteBinary(String(static_cast<const char*>(stream.Memory()), size_t(stream.Size())));
  EndDefined();
}
