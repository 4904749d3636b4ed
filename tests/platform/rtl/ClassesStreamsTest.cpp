#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <vector>

#include "rtl/Classes.h"

namespace {

// A fresh directory per test, removed afterwards.
class StreamFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/korvan-streams-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    String cmd = "rm -rf '" + dir_ + "'";
    (void)system(cmd.c_str());
  }
  String Path(const String& name) const { return dir_ + "/" + name; }
  String dir_;
};

String Bytes(TMemoryStream& m) { return String(static_cast<const char*>(m.Memory()), size_t(m.Size())); }

TEST(Stream, TypedValuesAreLittleEndian) {
  struct Case {
    const char* what;
    std::function<void(TStream&)> write;
    String bytes;
    std::function<bool(TStream&)> readBack;
  };
  const Case cases[] = {
      {"int32", [](TStream& s) { s.WriteInt32(0x01020304); }, String("\x04\x03\x02\x01", 4),
       [](TStream& s) { return s.ReadInt32() == 0x01020304; }},
      {"negative int32", [](TStream& s) { s.WriteInt32(-2); }, String("\xFE\xFF\xFF\xFF", 4),
       [](TStream& s) { return s.ReadInt32() == -2; }},
      {"int64", [](TStream& s) { s.WriteInt64(0x0102030405060708LL); }, String("\x08\x07\x06\x05\x04\x03\x02\x01", 8),
       [](TStream& s) { return s.ReadInt64() == 0x0102030405060708LL; }},
      {"word", [](TStream& s) { s.WriteWord(0xABCD); }, String("\xCD\xAB", 2),
       [](TStream& s) { return s.ReadWord() == 0xABCD; }},
      {"double", [](TStream& s) { s.WriteDouble(1.0); }, String("\0\0\0\0\0\0\xF0\x3F", 8),
       [](TStream& s) { return s.ReadDouble() == 1.0; }},
      {"bool", [](TStream& s) { s.WriteBool(true); }, String("\x01", 1), [](TStream& s) { return s.ReadBool(); }},
      {"string", [](TStream& s) { s.WriteLString("hé"); }, String("\x03\0\0\0h\xC3\xA9", 7),
       [](TStream& s) { return s.ReadLString() == "hé"; }},
      {"empty string", [](TStream& s) { s.WriteLString(""); }, String("\0\0\0\0", 4),
       [](TStream& s) { return s.ReadLString().empty(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryStream m;
    c.write(m);
    EXPECT_EQ(Bytes(m), c.bytes);
    m.SetPosition(0);
    EXPECT_TRUE(c.readBack(m));
    EXPECT_EQ(m.Position(), m.Size());
  }
}

TEST(Stream, ReadsPastTheEndRaise) {
  struct Case {
    const char* what;
    String content;
    std::function<void(TStream&)> read;
  };
  const Case cases[] = {
      {"int32 from 3 bytes", String("abc"), [](TStream& s) { s.ReadInt32(); }},
      {"buffer from empty", String(), [](TStream& s) { char b; s.ReadBuffer(&b, 1); }},
      {"string longer than the stream", String("\x10\0\0\0abc", 7), [](TStream& s) { s.ReadLString(); }},
      {"huge string length", String("\xFF\xFF\xFF\x7F", 4), [](TStream& s) { s.ReadLString(); }},
      {"negative string length", String("\xFF\xFF\xFF\xFF", 4), [](TStream& s) { s.ReadLString(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TStringStream s(c.content);
    try {
      c.read(s);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
    }
  }
  // Read itself reports the short count without raising.
  TStringStream s("ab");
  char buf[4];
  EXPECT_EQ(s.Read(buf, 4), 2);
  EXPECT_EQ(s.Read(buf, 4), 0);
}

TEST(Stream, MemoryAndStringStreamsSeekAndResize) {
  TMemoryStream m;
  m.WriteRawString("hello world");
  EXPECT_EQ(m.Seek(-5, soEnd), 6);
  EXPECT_EQ(m.ReadRawString(5), "world");
  m.SetPosition(0);
  m.WriteRawString("J");
  EXPECT_EQ(Bytes(m), "Jello world");
  m.SetSize(5);
  EXPECT_EQ(m.Position(), 1);
  EXPECT_EQ(Bytes(m), "Jello");
  m.Seek(2, soFromEnd);  // past the end: a write there fills the gap with zeros
  m.WriteByte('!');
  EXPECT_EQ(Bytes(m), String("Jello\0\0!", 8));
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);

  TStringStream ss("abcdef");
  ss.Seek(2, soBeginning);
  ss.WriteString("XY");
  EXPECT_EQ(ss.DataString(), "abXYef");
  EXPECT_EQ(ss.ReadString(10), "ef");
  // CopyFrom with 0 copies the whole source from its start.
  TMemoryStream dest;
  EXPECT_EQ(dest.CopyFrom(&ss, 0), 6);
  EXPECT_EQ(Bytes(dest), "abXYef");
  ss.SetPosition(1);
  EXPECT_THROW(dest.CopyFrom(&ss, 10), EReadError);
}

TEST_F(StreamFiles, OpenErrorsNameTheFileAndTheReason) {
  struct Case {
    const char* what;
    String path;
    Word mode;
    String message;
    bool create;
  };
  const String missing = Path("missing.bin");
  const String noDir = Path("no/such/dir.bin");
  const Case cases[] = {
      {"missing file", missing, fmOpenRead, "Cannot open file \"" + missing + "\". No such file or directory", false},
      {"missing for writing", missing, fmOpenReadWrite | fmShareDenyNone,
       "Cannot open file \"" + missing + "\". No such file or directory", false},
      {"directory", dir_, fmOpenRead, "Cannot open file \"" + dir_ + "\". Is a directory", false},
      {"create in a missing folder", noDir, fmCreate, "Cannot create file \"" + noDir + "\". No such file or directory",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      TFileStream f(c.path, c.mode);
      ADD_FAILURE() << "opened";
    } catch (const EFCreateError& e) {
      EXPECT_TRUE(c.create);
      EXPECT_EQ(e.Message(), c.message);
    } catch (const EFOpenError& e) {
      EXPECT_FALSE(c.create);
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST_F(StreamFiles, WritesToAReadOnlyStreamRaise) {
  const String path = Path("data.bin");
  {
    TFileStream f(path, fmCreate);
    f.WriteInt32(42);
    f.WriteLString("text");
    EXPECT_EQ(f.Size(), 12);
  }
  TFileStream r(path, fmOpenRead | fmShareDenyWrite);
  EXPECT_EQ(r.ReadInt32(), 42);
  try {
    r.WriteInt32(1);
    ADD_FAILURE() << "wrote to a read-only stream";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
  EXPECT_EQ(r.ReadLString(), "text");
  EXPECT_THROW(r.ReadByte(), EReadError);

  // Read-write opens keep the content; a size change truncates.
  {
    TFileStream rw(path, fmOpenReadWrite);
    rw.Seek(0, soEnd);
    rw.WriteByte(7);
    rw.SetSize(4);
  }
  TMemoryStream m;
  m.LoadFromFile(path);
  EXPECT_EQ(Bytes(m), String("\x2A\0\0\0", 4));
}

TEST_F(StreamFiles, StringsAndMemoryStreamsGoThroughFiles) {
  const String path = Path("lines.txt");
  {
    TFileStream f(path, fmCreate);
    f.WriteRawString("\xEF\xBB\xBFone\r\ntwo\n");
  }
  TStringList list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.ToVector(), (std::vector<String>{"one", "two"}));
  list.Add("drei");
  list.SaveToFile(path);
  TMemoryStream m;
  m.LoadFromFile(path);
  EXPECT_EQ(Bytes(m), "one\ntwo\ndrei\n");
  m.SaveToFile(Path("copy.txt"));
  TStringList again;
  again.LoadFromFile(Path("copy.txt"));
  EXPECT_TRUE(again.Equals(&list));
  EXPECT_THROW(again.LoadFromFile(Path("none.txt")), EFOpenError);
}

// ---------------------------------------------------------------------------------------------
// Filers: a reader over a prepared list of values and a writer that records its calls.

class TListReader : public TReader {
 public:
  explicit TListReader(std::vector<String> values) : values_(std::move(values)) {}
  TValueType NextValue() override { return values_[pos_] == ")" ? vaNull : vaString; }
  Int64 ReadInt64() override { return std::stoll(values_[pos_++]); }
  bool ReadBoolean() override { return values_[pos_++] == "True"; }
  double ReadFloat() override { return std::stod(values_[pos_++]); }
  String ReadString() override { return values_[pos_++]; }
  String ReadIdent() override { return values_[pos_++]; }
  void ReadListBegin() override { EXPECT_EQ(values_[pos_++], "("); }
  void ReadListEnd() override { EXPECT_EQ(values_[pos_++], ")"); }
  bool EndOfList() override { return values_[pos_] == ")"; }
  void SkipValue() override { ++pos_; }
  String ReadBinary() override { return values_[pos_++]; }
  size_t pos_ = 0;

 private:
  std::vector<String> values_;
};

class TLogWriter : public TWriter {
 public:
  std::vector<String> log;
  void WriteInteger(Int64 v) override { log.push_back(std::to_string(v)); }
  void WriteBoolean(bool v) override { log.push_back(v ? "True" : "False"); }
  void WriteFloat(double v) override { log.push_back(std::to_string(v)); }
  void WriteString(const String& v) override { log.push_back("'" + v + "'"); }
  void WriteIdent(const String& v) override { log.push_back(v); }
  void WriteListBegin() override { log.push_back("("); }
  void WriteListEnd() override { log.push_back(")"); }

 protected:
  void BeginDefined(const String& name) override { log.push_back(name + ":"); }
  void EndDefined() override { log.push_back(";"); }
  void WriteBinary(const String& bytes) override { log.push_back("{" + bytes + "}"); }
};

class TBlob : public TPersistent {
  KORVAN_CLASS(TBlob, TPersistent)
 public:
  String data;

 protected:
  void DefineProperties(TFiler* filer) override {
    filer->DefineBinaryProperty(
        "Data", [this](TStream& s) { data = s.ReadRawString(s.Size()); }, [this](TStream& s) { s.WriteRawString(data); },
        !data.empty());
  }
};
KORVAN_IMPLEMENT_CLASS(TBlob)

TEST(Filer, DefinedPropertiesReachReadersAndWriters) {
  TStringList list;
  list.AddStrings(std::vector<String>{"a", "b"});
  TLogWriter w;
  CallDefineProperties(&list, &w);
  EXPECT_EQ(w.log, (std::vector<String>{"Strings:", "(", "'a'", "'b'", ")", ";"}));

  // Nothing written for an empty list, nor for one equal to the ancestor's.
  TStringList empty;
  TLogWriter w2;
  CallDefineProperties(&empty, &w2);
  TStringList ancestor;
  ancestor.Assign(&list);
  w2.SetAncestor(&ancestor);
  CallDefineProperties(&list, &w2);
  EXPECT_TRUE(w2.log.empty());

  // The reader runs only the procedure of the property it is positioned on.
  TListReader r({"(", "x", "y", "z", ")"});
  TStringList target;
  target.Add("old");
  r.SetPropName("Other");
  CallDefineProperties(&target, &r);
  EXPECT_FALSE(r.DefinedHandled());
  r.SetPropName("strings");
  CallDefineProperties(&target, &r);
  EXPECT_TRUE(r.DefinedHandled());
  EXPECT_EQ(target.ToVector(), (std::vector<String>{"x", "y", "z"}));
  EXPECT_EQ(r.pos_, 5u);

  // Binary properties travel as bytes through a stream.
  TBlob blob;
  blob.data = "\x01\x02";
  TLogWriter bw;
  CallDefineProperties(&blob, &bw);
  EXPECT_EQ(bw.log, (std::vector<String>{"Data:", "{\x01\x02}", ";"}));
  TListReader br({"raw"});
  br.SetPropName("Data");
  TBlob readBlob;
  CallDefineProperties(&readBlob, &br);
  EXPECT_EQ(readBlob.data, "raw");
}

}  // namespace
