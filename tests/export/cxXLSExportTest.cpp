// The Excel workbook writer: the compound document head, the shared string table and the
// records of small sheets as tables of byte checks, the faults it must not have, and files read
// back by independent readers (xlrd and olefile through /usr/bin/python3).
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <tuple>

#include "ExportTestSupport.h"
#include "export/cxXLSExport.h"
#include "vcl/Graphics.h"

namespace {

uint32_t U32(const String& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + size_t(i)]);
  return v;
}
int32_t I32(const String& s, size_t at) { return int32_t(U32(s, at)); }
unsigned U16(const String& s, size_t at) {
  return static_cast<unsigned char>(s[at]) | (unsigned(static_cast<unsigned char>(s[at + 1])) << 8);
}
double F64(const String& s, size_t at) {
  uint64_t u = uint64_t(U32(s, at)) | (uint64_t(U32(s, at + 4)) << 32);
  double d;
  std::memcpy(&d, &u, 8);
  return d;
}
// Entry `e` of head sector `sector` (sector n starts at byte (n + 1) x 512).
int32_t Entry(const String& head, int sector, int e) { return I32(head, size_t(sector + 1) * 512 + size_t(e) * 4); }

// ---------------------------------------------------------------------------------------------
// Compound document head

TEST(cxXLSWorkBookWriter, SmallStreamHeads) {
  struct Case {
    Int64 size;
    int k;
  } cases[] = {{1000, 2}, {64, 1}, {4095, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    String h = TcxXLSWorkBookWriter::BuildHead(c.size);
    ASSERT_EQ(h.size(), 2048u);
    EXPECT_EQ(U32(h, 0), 0xE011CFD0u);
    EXPECT_EQ(U16(h, 24), 0x3Eu);
    EXPECT_EQ(U16(h, 26), 3u);
    EXPECT_EQ(U16(h, 30), 9u);
    EXPECT_EQ(U32(h, 44), 1u);     // FAT sectors
    EXPECT_EQ(U32(h, 48), 1u);     // directory
    EXPECT_EQ(U32(h, 56), 4096u);  // mini stream cutoff
    EXPECT_EQ(I32(h, 60), 2);      // mini FAT sector
    EXPECT_EQ(U32(h, 64), 1u);
    EXPECT_EQ(I32(h, 68), -2);  // no DIFAT sector
    EXPECT_EQ(I32(h, 76), 0);
    EXPECT_EQ(I32(h, 80), -1);
    // FAT: the FAT, the directory, the mini FAT, then the mini stream's chain.
    EXPECT_EQ(Entry(h, 0, 0), -3);
    EXPECT_EQ(Entry(h, 0, 1), -2);
    EXPECT_EQ(Entry(h, 0, 2), -2);
    for (int i = 0; i < c.k - 1; ++i) EXPECT_EQ(Entry(h, 0, 3 + i), 4 + i);
    EXPECT_EQ(Entry(h, 0, 3 + c.k - 1), -2);
    EXPECT_EQ(Entry(h, 0, 3 + c.k), -1);
    int m = int((c.size + 63) / 64);
    for (int i = 0; i < m - 1; ++i) EXPECT_EQ(Entry(h, 2, i), i + 1);
    EXPECT_EQ(Entry(h, 2, m - 1), -2);
    if (m < 128) {
      EXPECT_EQ(Entry(h, 2, m), -1);
    }
    // Directory: the root holds the mini stream from sector 3, the stream starts at mini sector 0.
    const size_t root = 1024, wb = 1024 + 128;
    EXPECT_EQ(U16(h, root), unsigned('R'));
    EXPECT_EQ(U16(h, root + 64), 22u);
    EXPECT_EQ(h[root + 66], 5);
    EXPECT_EQ(I32(h, root + 76), 1);
    EXPECT_EQ(I32(h, root + 116), 3);
    EXPECT_EQ(U32(h, root + 120), uint32_t(c.k) * 512);
    EXPECT_EQ(U16(h, wb + 64), 18u);
    EXPECT_EQ(h[wb + 66], 2);
    EXPECT_EQ(h[wb + 67], 1);
    EXPECT_EQ(I32(h, wb + 76), -1);
    EXPECT_EQ(I32(h, wb + 116), 0);
    EXPECT_EQ(U32(h, wb + 120), uint32_t(c.size));
  }
}

TEST(cxXLSWorkBookWriter, LargeStreamHeads) {
  struct Case {
    Int64 size;
    int fat, difat;
  } cases[] = {{4096, 1, 0}, {5000, 1, 0}, {124 * 512, 1, 0}, {125 * 512, 2, 0}, {13967LL * 512, 110, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    String h = TcxXLSWorkBookWriter::BuildHead(c.size);
    int k = int((c.size + 511) / 512);
    int start = c.fat + c.difat + 1;
    ASSERT_EQ(h.size(), size_t(start + 1) * 512);  // the stream follows at sector `start`
    EXPECT_EQ(U32(h, 44), uint32_t(c.fat));
    EXPECT_EQ(I32(h, 60), -2);
    EXPECT_EQ(U32(h, 64), 0u);
    EXPECT_EQ(I32(h, 68), c.difat ? 111 : -2);
    EXPECT_EQ(U32(h, 72), uint32_t(c.difat));
    EXPECT_EQ(I32(h, 1024 + 116), -2);  // root: no mini stream
    EXPECT_EQ(U32(h, 1024 + 120), 0u);
    EXPECT_EQ(I32(h, 1024 + 128 + 116), start);
    // The FAT sectors the header and the DIFAT sector list, and the FAT entry of every sector.
    std::vector<int> fats;
    for (int j = 0; j < std::min(c.fat, 109); ++j) fats.push_back(I32(h, 76 + size_t(j) * 4));
    if (c.fat < 109) {
      EXPECT_EQ(I32(h, 76 + size_t(c.fat) * 4), -1);
    }
    if (c.difat) {
      for (int e = 0; e < c.fat - 109; ++e) fats.push_back(Entry(h, 111, e));
      EXPECT_EQ(Entry(h, 111, c.fat - 109), -1);
      EXPECT_EQ(Entry(h, 111, 127), -2);
    }
    ASSERT_EQ(fats.size(), size_t(c.fat));
    EXPECT_EQ(fats[0], 0);
    if (c.fat > 1) {
      EXPECT_EQ(fats[1], 2);
    }
    auto fat = [&](int sector) { return Entry(h, fats[size_t(sector / 128)], sector % 128); };
    EXPECT_EQ(fat(0), -3);
    EXPECT_EQ(fat(1), -2);
    for (int s = 2; s < start; ++s) EXPECT_EQ(fat(s), s == 111 ? -4 : -3) << s;
    for (int i = 0; i < k - 1; ++i) ASSERT_EQ(fat(start + i), start + i + 1) << i;
    EXPECT_EQ(fat(start + k - 1), -2);
    if ((start + k) % 128) {
      EXPECT_EQ(fat(start + k), -1);
    }
  }
}

TEST(cxXLSWorkBookWriter, FiveThousandBytes) {
  String h = TcxXLSWorkBookWriter::BuildHead(5000);
  EXPECT_EQ(h.size(), 1536u);
  std::vector<int32_t> fat;
  for (int e = 0; e < 13; ++e) fat.push_back(Entry(h, 0, e));
  EXPECT_EQ(fat, (std::vector<int32_t>{-3, -2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -2, -1}));
}

TEST(cxXLSWorkBookWriter, EmptyStreamOrNoStreamFails) {
  TMemoryStream m;
  EXPECT_EQ(ExportErrorOf([&] { TcxXLSWorkBookWriter::WriteHead(0, &m); }), "Error write XLS file");
  EXPECT_EQ(ExportErrorOf([&] { TcxXLSWorkBookWriter::WriteHead(-5, &m); }), "Error write XLS file");
  EXPECT_EQ(ExportErrorOf([&] { TcxXLSWorkBookWriter::WriteHead(100, nullptr); }), "Error write XLS file");
  EXPECT_EQ(m.Size(), 0);
  TcxXLSWorkBookWriter::WriteHead(100, &m);
  EXPECT_EQ(m.Size(), 2048);
}

// ---------------------------------------------------------------------------------------------
// Shared string table

struct TRecord {
  unsigned id;
  String data;
};

std::vector<TRecord> Records(const String& bytes, size_t from = 0) {
  std::vector<TRecord> out;
  for (size_t at = from; at + 4 <= bytes.size();) {
    unsigned len = U16(bytes, at + 2);
    out.push_back({U16(bytes, at), bytes.substr(at + 4, len)});
    at += 4 + len;
  }
  return out;
}

String Written(const TcxXLSSharedStringTable& sst) {
  TMemoryStream m;
  sst.Write(&m);
  return String(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

TEST(cxXLSSharedStringTable, OneShortString) {
  TcxXLSSharedStringTable sst;
  EXPECT_EQ(sst.GetSize(), 0);
  EXPECT_EQ(Written(sst), "");
  EXPECT_EQ(sst.Add(u"abc"), 0);
  String bytes = Written(sst);
  auto recs = Records(bytes);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0].id, 0x00FCu);
  EXPECT_EQ(recs[0].data, String("\1\0\0\0\1\0\0\0\3\0\1a\0b\0c\0", 17));
  EXPECT_EQ(recs[1].id, 0x00FFu);
  EXPECT_EQ(recs[1].data.size(), 10u);
  EXPECT_EQ(U16(recs[1].data, 0), 8u);   // strings per bucket
  EXPECT_EQ(U32(recs[1].data, 2), 12u);  // stream offset of string 0
  EXPECT_EQ(U16(recs[1].data, 6), 12u);  // its offset in the SST record
  EXPECT_EQ(sst.GetSize(), Int64(bytes.size()));
}

TEST(cxXLSSharedStringTable, EqualTextsAreStoredTwice) {
  TcxXLSSharedStringTable sst;
  EXPECT_EQ(sst.Add(u"x"), 0);
  EXPECT_EQ(sst.Add(u"x"), 1);
  auto recs = Records(Written(sst));
  EXPECT_EQ(U32(recs[0].data, 0), 2u);
  EXPECT_EQ(U32(recs[0].data, 4), 2u);
}

// The texts of the table, read back the way a reader joins CONTINUE records, with the
// record each string starts in.
std::vector<WideString> ReadBack(const std::vector<TRecord>& recs) {
  std::vector<WideString> texts;
  size_t r = 0, at = 8;
  uint32_t count = U32(recs[0].data, 0);
  for (uint32_t i = 0; i < count; ++i) {
    if (at >= recs[r].data.size()) {
      ++r;
      at = 0;
    }
    unsigned n = U16(recs[r].data, at);
    EXPECT_EQ(recs[r].data[at + 2], 1);
    at += 3;
    WideString w;
    while (w.size() < n) {
      if (at >= recs[r].data.size()) {
        ++r;
        EXPECT_EQ(recs[r].id, 0x003Cu);
        EXPECT_EQ(recs[r].data[0], 1);  // every continuation begins with its flags byte
        at = 1;
      }
      w += char16_t(U16(recs[r].data, at));
      at += 2;
    }
    texts.push_back(w);
  }
  return texts;
}

TEST(cxXLSSharedStringTable, LongTextsContinueWithoutSplittingACharacter) {
  // Texts chosen so that record ends fall on odd offsets and inside surrogate pairs.
  WideString pairs;
  for (int i = 0; i < 2100; ++i) pairs += u"\U0001F600";
  struct Case {
    const char* name;
    std::vector<WideString> texts;
  } cases[] = {
      {"cut at 4096", {WideString(5000, u'a')}},
      {"many near the record end", std::vector<WideString>(20, WideString(409, u'b'))},
      {"odd start offset",
       {WideString(1, u'c'), WideString(4096, u'd'), WideString(4096, u'e'), WideString(3000, u'f')}},
      {"surrogate pairs", {WideString(3, u'g'), pairs, pairs, pairs}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TcxXLSSharedStringTable sst;
    for (const WideString& t : c.texts) sst.Add(t);
    String bytes = Written(sst);
    EXPECT_EQ(sst.GetSize(), Int64(bytes.size()));
    auto recs = Records(bytes);
    EXPECT_EQ(recs.back().id, 0x00FFu);
    for (const TRecord& rec : recs) EXPECT_LE(rec.data.size(), 8224u);
    // No record ends with the first half of a surrogate pair.
    for (const TRecord& rec : recs)
      if (rec.id != 0x00FF && rec.data.size() >= 2) {
        unsigned last = U16(rec.data, rec.data.size() - 2);
        EXPECT_FALSE(last >= 0xD800 && last <= 0xDBFF);
      }
    std::vector<WideString> expected = c.texts;
    for (WideString& t : expected)
      if (t.size() > 4096) t.resize(t[4095] >= 0xD800 && t[4095] <= 0xDBFF ? 4095 : 4096);
    EXPECT_EQ(ReadBack(recs), expected);
  }
}

TEST(cxXLSSharedStringTable, ExtsstOffsetsPointAtTheStrings) {
  TcxXLSSharedStringTable sst;
  for (int i = 0; i < 300; ++i) sst.Add(WideString(size_t(30 + i % 7), char16_t(u'a' + i % 26)));
  TMemoryStream m;
  m.WriteBuffer("0123456789", 10);  // the table's position is the base of the offsets
  sst.Write(&m);
  String bytes(static_cast<const char*>(m.Memory()), size_t(m.Size()));
  auto recs = Records(bytes, 10);
  const String& ext = recs.back().data;
  unsigned per = U16(ext, 0);
  size_t entries = (ext.size() - 2) / 8;
  ASSERT_GT(entries, 1u);
  for (size_t j = 0; j < entries; ++j) {
    size_t at = U32(ext, 2 + j * 8);
    unsigned inRecord = U16(ext, 6 + j * 8);
    ASSERT_LT(at, bytes.size());
    EXPECT_EQ(U16(bytes, at), unsigned(30 + (j * per) % 7)) << j;  // the string's length
    EXPECT_GE(inRecord, 4u);
  }
}

// ---------------------------------------------------------------------------------------------
// Workbook records

std::shared_ptr<TcxXLSExportProvider> MakeXls(const String& file) {
  InitializeCxXLSExport();
  return std::dynamic_pointer_cast<TcxXLSExportProvider>(TcxExport::Provider(cxExportToExcel, file));
}

// The record stream of a written workbook file (after the container's head).
String RecordStream(const String& file) {
  String bytes = ReadWholeFile(file);
  if (bytes.size() < 512) return {};
  size_t headSectors = size_t(U32(bytes, 44)) + size_t(U32(bytes, 72)) + (I32(bytes, 60) == 2 ? 2 : 1);
  return bytes.substr((headSectors + 1) * 512);
}

// The parsed workbook: records by id, the cell records, and lookups of XF, FONT and PALETTE.
struct TBook {
  std::vector<TRecord> all;
  std::vector<TRecord> Of(unsigned id) const {
    std::vector<TRecord> r;
    for (const TRecord& rec : all)
      if (rec.id == id) r.push_back(rec);
    return r;
  }
  const TRecord* CellAt(int col, int row) const {
    for (const TRecord& rec : all)
      if ((rec.id == 0x0201 || rec.id == 0x0203 || rec.id == 0x0204 || rec.id == 0x0205 || rec.id == 0x00FD) &&
          U16(rec.data, 0) == unsigned(row) && U16(rec.data, 2) == unsigned(col))
        return &rec;
    return nullptr;
  }
  String XF(int index) const { return Of(0x00E0)[size_t(index)].data; }
  unsigned Format(int col, int row) const { return U16(XF(int(U16(CellAt(col, row)->data, 4))), 2); }
  String Font(int index) const { return Of(0x0031)[size_t(index < 4 ? index : index - 1)].data; }
};

TBook Book(const String& file) { return TBook{Records(RecordStream(file))}; }

// Commits the provider and checks the stream against the size it announced.
void CommitChecked(TcxXLSExportProvider& p) {
  p.Commit();
  EXPECT_EQ(Int64(RecordStream(p.FileName()).size()), p.GetStreamSize());
}

TEST(cxXLSExport, TextCellsByLengthAndCharacters) {
  TTempFolder dir;
  auto p = MakeXls(dir.File("texts.xls"));
  p->SetRange(5, 1, true);
  p->SetCellDataString(0, 0, "abc");
  p->SetCellDataString(1, 0, String(300, 'x'));
  p->SetCellDataString(2, 0,
                       "Gr\xC3\xBC\xC3\x9F"
                       "e 1234");  // 10 characters, two above 127
  p->SetCellDataString(3, 0, "a\r\nb");
  p->SetCellDataWideString(4, 0, u"\u65E5\u672C");
  CommitChecked(*p);
  TBook b = Book(p->FileName());
  struct Case {
    int col;
    unsigned id;
    String data;  // after row, column and XF
  } cases[] = {
      {0, 0x0204, String("\3\0\0abc", 6)},
      {1, 0x00FD, String("\0\0\0\0", 4)},
      {2, 0x0204,
       String("\x0A\0\1G\0r\0\xFC\0\xDF\0"
              "e\0 \0"
              "1\0"
              "2\0"
              "3\0"
              "4\0",
              23)},
      {3, 0x0204, String("\3\0\0a\nb", 6)},
      {4, 0x0204, String("\2\0\1\xE5\x65\x2C\x67", 7)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.col);
    const TRecord* cell = b.CellAt(c.col, 0);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->id, c.id);
    EXPECT_EQ(cell->data.substr(6), c.data);
  }
  auto sst = b.Of(0x00FC);
  ASSERT_EQ(sst.size(), 1u);
  EXPECT_EQ(U32(sst[0].data, 0), 1u);
  EXPECT_EQ(U32(sst[0].data, 4), 1u);
  EXPECT_EQ(U16(sst[0].data, 8), 300u);
}

TEST(cxXLSExport, NumbersDatesCurrencyAndBooleans) {
  TTempFolder dir;
  auto p = MakeXls(dir.File("numbers.xls"));
  p->SetRange(1, 10, true);
  p->SetCellDataDateTime(0, 0, 36526.5);  // midday, 1 January 2000
  p->SetCellDataDateTime(0, 1, 59);
  p->SetCellDataDateTime(0, 2, 0.25);
  p->SetCellDataDateTime(0, 3, 1.0);
  p->SetCellDataDateTime(0, 4, -3.5);
  p->SetCellDataDateTime(0, 5, 61);
  p->SetCellValue(0, 6, Variant(Currency::FromRaw(123400)));
  p->SetCellDataInteger(0, 7, -7);
  p->SetCellValue(0, 8, Variant(true));
  p->SetCellValue(0, 9, Variant(2.5));
  CommitChecked(*p);
  TBook b = Book(p->FileName());
  struct Case {
    int row;
    unsigned id;
    double value;
    unsigned format;
  } cases[] = {{0, 0x0203, 36526.5, 22}, {1, 0x0203, 58, 14}, {2, 0x0203, 0.25, 21}, {3, 0x0203, 0, 21},
               {4, 0x0203, -4.5, 22},    {5, 0x0203, 61, 14}, {6, 0x0203, 12.34, 7}, {7, 0x0203, -7, 0},
               {8, 0x0205, 1, 0},        {9, 0x0203, 2.5, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    const TRecord* cell = b.CellAt(0, c.row);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->id, c.id);
    if (c.id == 0x0203) {
      EXPECT_EQ(cell->data.size(), 14u);
      EXPECT_DOUBLE_EQ(F64(cell->data, 6), c.value);
    } else {
      EXPECT_EQ(cell->data.substr(6), String("\1\0", 2));
    }
    // Without any registered style, a date still gets an XF with its format.
    EXPECT_EQ(b.Format(0, c.row), c.format);
  }
}

TEST(cxXLSExport, MergedRangesInRecordsOf1024) {
  for (int count : {1, 1024, 1025}) {
    SCOPED_TRACE(count);
    TTempFolder dir;
    auto p = MakeXls(dir.File("merged.xls"));
    p->SetRange(2, 2100, true);
    for (int i = 0; i < count; ++i) p->SetCellUnion(0, i * 2, 2, 2);
    CommitChecked(*p);
    auto merged = Book(p->FileName()).Of(0x00E5);
    ASSERT_EQ(merged.size(), count > 1024 ? 2u : 1u);
    EXPECT_EQ(U16(merged[0].data, 0), unsigned(std::min(count, 1024)));
    EXPECT_EQ(merged[0].data.size(), 2u + 8u * unsigned(std::min(count, 1024)));
    EXPECT_EQ(merged[0].data.substr(2, 8), String("\0\0\1\0\0\0\1\0", 8));
    if (count > 1024) {
      EXPECT_EQ(merged[1].data, String("\1\0\0\x08\x01\x08\0\0\1\0", 10));
    }
  }
}

TEST(cxXLSExport, StylesShareFontAndXfRecordsAndClaimPaletteEntries) {
  TTempFolder dir;
  auto p = MakeXls(dir.File("styles.xls"));
  p->SetRange(3, 1, true);
  TcxCacheCellStyle s = SampleStyle(12);
  s.FontColor = 0;
  s.FontStyle = cfsBold;
  s.BrushStyle = cbsSolid;
  s.BrushBkColor = 0x123456;
  s.Borders[0] = {0, 1, 0x000000};
  s.Borders[1] = {0, 3, 0x0000FF};
  s.Borders[2] = {1, 1, 0x0000FF};  // is-default: no line
  s.Borders[3] = {0, 0, 0x0000FF};  // width 0: no line
  p->SetCellStyle(0, 0, s);
  p->SetCellStyle(1, 0, s);
  p->SetCellDataString(0, 0, "a");
  p->SetCellDataString(1, 0, "b");
  TcxCacheCellStyle t = s;
  t.FontSize = 14;  // another font, same colours
  p->SetCellStyle(2, 0, t);
  CommitChecked(*p);
  TBook b = Book(p->FileName());
  unsigned xf0 = U16(b.CellAt(0, 0)->data, 4), xf1 = U16(b.CellAt(1, 0)->data, 4), xf2 = U16(b.CellAt(2, 0)->data, 4);
  EXPECT_EQ(xf0, 17u);
  EXPECT_EQ(xf1, 17u);
  EXPECT_EQ(xf2, 18u);
  ASSERT_EQ(b.Of(0x00E0).size(), 19u);
  ASSERT_EQ(b.Of(0x0031).size(), 7u);
  String font = b.Font(6);
  EXPECT_EQ(U16(font, 0), 240u);     // 12 pt
  EXPECT_EQ(U16(font, 4), 0x7FFFu);  // black is automatic
  EXPECT_EQ(U16(font, 6), 700u);
  EXPECT_EQ(font.substr(16), String("A\0r\0i\0a\0l\0", 10));
  String xf = b.XF(17);
  EXPECT_EQ(U16(xf, 0), 6u);
  EXPECT_EQ(static_cast<unsigned char>(xf[6]), 0x09u);  // left, wrapped, top
  EXPECT_EQ(static_cast<unsigned char>(xf[9]), 0xFCu);
  // Left thin in black (64), top thick in red; right and bottom none.
  EXPECT_EQ(U32(xf, 10), 0x1u | (0x5u << 8) | (64u << 16));
  // The border claimed entry 55 (index 63) first, then the fill entry 54 (index 62).
  EXPECT_EQ(U32(xf, 14), 63u | (1u << 26));
  EXPECT_EQ(U16(xf, 18), 62u | (65u << 7));
  String palette = b.Of(0x0092)[0].data;
  EXPECT_EQ(U16(palette, 0), 56u);
  EXPECT_EQ(U32(palette, 2 + 55 * 4), 0x0000FFu);  // red, moved from its default entry 2
  EXPECT_EQ(U32(palette, 2 + 2 * 4), 0x333333u);   // what entry 55 held
  EXPECT_EQ(U32(palette, 2 + 54 * 4), 0x123456u);  // overwritten
}

TEST(cxXLSExport, TheFixedRecordsOfTheWorkbook) {
  TTempFolder dir;
  auto p = MakeXls(dir.File("fixed.xls"));
  p->SetRange(1, 1, false);
  CommitChecked(*p);
  TBook b = Book(p->FileName());
  std::vector<unsigned> ids;
  for (const TRecord& r : b.all) ids.push_back(r.id);
  std::vector<unsigned> expected = {0x0809, 0x013D, 0x003D, 0x31, 0x31, 0x31, 0x31, 0x31};
  expected.insert(expected.end(), 17, 0x00E0);
  for (unsigned id : {0x0092, 0x0293, 0x0293, 0x0293, 0x0293, 0x0293, 0x0293, 0x0085, 0x01AE, 0x0017, 0x000A, 0x0809,
                      0x0200, 0x023E, 0x0201, 0x000A})
    expected.push_back(id);
  EXPECT_EQ(ids, expected);
  // The built-in styles refer to style XF 16, which exists (XF 17 would not).
  for (const TRecord& style : b.Of(0x0293))
    EXPECT_EQ(U16(style.data, 0) & 0x0FFF, U16(style.data, 0) == 0x8000 ? 0u : 16u);
  // BOUNDSHEET points at the sheet's BOF.
  String stream = RecordStream(p->FileName());
  String sheet = b.Of(0x0085)[0].data;
  EXPECT_EQ(U16(stream, U32(sheet, 0)), 0x0809u);
  EXPECT_EQ(U16(stream, U32(sheet, 0) + 6), 0x0010u);
  EXPECT_EQ(sheet.substr(6), String("\5\1f\0i\0x\0"
                                    "e\0d\0",
                                    12));
  EXPECT_EQ(U16(b.Of(0x023E)[0].data, 0), 0x06B4u);
  // The one blank cell takes the format's default cell XF: no style was registered.
  EXPECT_EQ(U16(b.CellAt(0, 0)->data, 4), 15u);
}

TEST(cxXLSExport, WidthsHeightsAndLimits) {
  TTempFolder dir;
  auto p = MakeXls(dir.File("columns.xls"));
  p->SetRange(300, 2, true);  // 256 columns
  p->SetColumnWidth(2, 100);
  p->SetColumnWidth(0, 10);
  p->SetColumnWidth(2, 50);  // the last width counts
  p->SetColumnWidth(256, 10);
  Integer style = p->RegisterStyle(SampleStyle());
  p->SetCellStyleEx(255, 0, 2, 2, style);  // ignored at the last column
  p->SetCellStyleEx(254, 0, 5, 5, style);  // clipped to the format's limits
  p->SetCellUnion(256, 0, 1, 1);
  p->SetCellDataString(256, 0, "dropped");
  EXPECT_EQ(p->GetCellStyle(300, 0), nullptr);
  CommitChecked(*p);
  TBook b = Book(p->FileName());
  auto cols = b.Of(0x007D);
  ASSERT_EQ(cols.size(), 2u);
  EXPECT_EQ(cols[0].data, String("\0\0\0\0\x6E\1\x0F\0\0\0\0", 11));  // 10 x 36.6 = 366
  EXPECT_EQ(U16(cols[1].data, 0), 2u);
  EXPECT_EQ(U16(cols[1].data, 4), 1830u);
  auto merged = b.Of(0x00E5);
  ASSERT_EQ(merged.size(), 1u);
  EXPECT_EQ(merged[0].data, String("\1\0\0\0\4\0\xFE\0\xFF\0", 10));
  EXPECT_EQ(U16(b.Of(0x0200)[0].data, 10), 256u);

  auto q = MakeXls(dir.File("rows.xls"));
  q->SetRange(2, 70000, true);  // 65536 rows
  q->SetRowHeight(1, 20);
  q->SetRowHeight(65535, 20);
  q->SetCellUnion(0, 65534, 5, 5);
  q->SetCellDataString(0, 65536, "dropped");
  CommitChecked(*q);
  b = Book(q->FileName());
  auto rows = b.Of(0x0208);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].data, String("\1\0\0\0\0\1\x2E\1\0\0\0\0\xC0\1\x0F\0", 16));  // 20 x 20 / 1.325 = 302
  merged = b.Of(0x00E5);
  ASSERT_EQ(merged.size(), 1u);
  EXPECT_EQ(merged[0].data, String("\1\0\xFE\xFF\xFF\xFF\0\0\4\0", 10));
  EXPECT_EQ(U32(b.Of(0x0200)[0].data, 4), 65536u);
}

// ---------------------------------------------------------------------------------------------
// Faults the writer must not have

TEST(cxXLSExport, CellOperationsBeforeSetRangeFail) {
  TTempFolder dir;
  auto p = MakeXls(dir.File("norange.xls"));
  std::vector<std::function<void()>> ops = {
      [&] { p->SetCellDataString(0, 0, "a"); },   [&] { p->SetCellDataDouble(0, 0, 1); },
      [&] { p->SetCellStyle(0, 0, -1); },         [&] { p->GetCellStyle(0, 0); },
      [&] { p->SetCellUnion(0, 0, 2, 2); },       [&] { p->SetCellStyleEx(0, 0, 2, 2, 0); },
      [&] { p->SetCellValue(0, 0, Variant(1)); }, [&] { p->SetCellDataWideString(0, 0, u"a"); },
  };
  for (auto& op : ops) EXPECT_EQ(ExportErrorOf(op), "Invalid cell dimension");
  // Committed without a range (an empty view): DIMENSIONS counts 0 rows and 0 columns.
  CommitChecked(*p);
  EXPECT_EQ(Book(p->FileName()).Of(0x0200)[0].data, String(14, '\0'));
}

TEST(cxXLSExport, MergedCellsKeepTheirStyleIndex) {
  TTempFolder dir;
  auto p = MakeXls(dir.File("mergedstyle.xls"));
  p->SetRange(3, 3, true);
  Integer plain = p->RegisterStyle(SampleStyle(10));
  Integer big = p->RegisterStyle(SampleStyle(20));
  p->SetCellDataDateTime(0, 0, 40000);  // before the style: the merged XF gets the format
  p->SetCellStyleEx(0, 0, 2, 2, big);
  p->SetCellStyleEx(2, 2, 1, 1, plain);
  p->SetCellDataCurrency(2, 0, Currency::FromRaw(5));
  p->SetCellStyleEx(2, 0, 2, 1, plain);
  p->SetCellDataCurrency(2, 1, Currency::FromRaw(5));  // after the style: formatted all the same
  for (auto [col, row, size] :
       std::initializer_list<std::tuple<int, int, int>>{{0, 0, 20}, {1, 1, 20}, {2, 2, 10}, {2, 1, 10}})
    EXPECT_EQ(p->GetCellStyle(col, row)->FontSize, size);
  p->SetCellStyle(1, 1, plain);  // a merged cell keeps its XF
  EXPECT_EQ(p->GetCellStyle(1, 1)->FontSize, 20);
  CommitChecked(*p);
  TBook b = Book(p->FileName());
  EXPECT_EQ(b.Format(0, 0), 14u);
  EXPECT_EQ(b.Format(2, 0), 7u);
  EXPECT_EQ(b.Format(2, 1), 7u);
  String xf = b.XF(int(U16(b.CellAt(1, 1)->data, 4)));
  EXPECT_EQ(static_cast<unsigned char>(xf[8]) & 0x20, 0x20);  // the merge bit
}

TEST(cxXLSExport, SheetNameIsCutAndCleaned) {
  struct Case {
    String name;
    WideString sheet;
  } cases[] = {
      {"Sales [2026]: a/b\\c*?", u"Sales _2026__ a_b_c__"},
      {String(40, 'n'), WideString(31, u'n')},
      {String(30, 'n') + "\xF0\x9F\x98\x80", WideString(30, u'n')},  // never half a pair
      {"Q1\rplan", u"Q1plan"},
      {"", u"Sheet1"},
  };
  for (const Case& c : cases) {
    TTempFolder dir;
    auto p = MakeXls(dir.File("names.xls"));
    p->SetSheetName(c.name);
    EXPECT_EQ(p->SheetName(), c.sheet);
  }
  TTempFolder dir;
  auto p = MakeXls(dir.File(String(40, 'f') + "[1].xls"));
  EXPECT_EQ(p->SheetName(), WideString(31, u'f'));
  p->SetRange(1, 1, true);
  p->SetRangeName("Data", TRect(0, 0, 0, 0));
  CommitChecked(*p);
  TBook b = Book(p->FileName());
  String sheet = b.Of(0x0085)[0].data;
  EXPECT_EQ(static_cast<unsigned char>(sheet[6]), 31u);
  EXPECT_EQ(sheet.size(), 8u + 62u);
  auto names = b.Of(0x0018);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].data.size(), 4u + 26u);
  EXPECT_EQ(names[0].data.substr(15, 4), "Data");
  EXPECT_EQ(names[0].data[19], 0x3B);
}

TEST(cxXLSExport, TheTargetIsReplacedOnlyByACommit) {
  TTempFolder dir;
  String file = dir.File("kept.xls");
  {
    std::FILE* f = std::fopen(file.c_str(), "w");
    std::fputs("old", f);
    std::fclose(f);
  }
  String temp;
  {
    auto p = MakeXls(file);
    temp = p->TempFileName();
    EXPECT_TRUE(FileExists(temp));
    EXPECT_EQ(ExtractFilePath(temp), ExtractFilePath(file));
    p->SetRange(1, 1, true);
    p->SetCellDataString(0, 0, "new");
  }  // released without Commit
  EXPECT_EQ(ReadWholeFile(file), "old");
  EXPECT_FALSE(FileExists(temp));
  {
    auto p = MakeXls(file);
    p->SetRange(1, 1, true);
    p->SetCellDataString(0, 0, "new");
    CommitChecked(*p);
    EXPECT_FALSE(FileExists(p->TempFileName()));
    EXPECT_EQ(ExportErrorOf([&] { p->Commit(); }), "Error write XLS file");
  }
  EXPECT_EQ(Book(file).CellAt(0, 0)->data.substr(6), String("\3\0\0new", 6));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);
  // A folder that does not exist fails at creation.
  EXPECT_ANY_THROW(MakeXls(dir.File("missing/file.xls")));
}

TEST(cxXLSExport, TheThousandsSeparatorIsLeftAlone) {
  char saved = FormatSettings.ThousandSeparator;
  FormatSettings.ThousandSeparator = '\0';
  TTempFolder dir;
  auto p = MakeXls(dir.File("sep.xls"));
  EXPECT_EQ(FormatSettings.ThousandSeparator, '\0');
  FormatSettings.ThousandSeparator = saved;
}

// ---------------------------------------------------------------------------------------------
// Independent readers

String ReadWithXlrd(const String& file, const String& options = "") {
  return CommandOutput("/usr/bin/python3 '" + testing_support::FixturePath("export/read_xls.py") + "' '" + file + "' " +
                       options + " 2>&1");
}

TEST(cxXLSExport, AnIndependentReaderFollowsTheDifatSector) {
  TTempFolder dir;
  String file = dir.File("difat.xls");
  const Int64 size = 13967LL * 512;  // 110 FAT sectors
  {
    String head = TcxXLSWorkBookWriter::BuildHead(size);
    std::FILE* f = std::fopen(file.c_str(), "wb");
    std::fwrite(head.data(), 1, head.size(), f);
    String stream;
    for (Int64 sector = 0; sector < size / 512; ++sector) stream += String(512, char('a' + sector % 26));
    std::fwrite(stream.data(), 1, stream.size(), f);
    std::fclose(f);
  }
  EXPECT_EQ(ReadWithXlrd(file, "--container"), "stream Workbook " + std::to_string(size) + " at the end\n");
}

TEST(cxXLSExport, IndependentReadersReadValuesFormatsMergesFontsAndColours) {
  struct Case {
    const char* name;
    bool longTexts;  // push the stream across the mini stream's limit
  } cases[] = {{"small", false}, {"large", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTempFolder dir;
    String file = dir.File(String(c.name) + ".xls");
    auto p = MakeXls(file);
    p->SetRange(4, 3, true);
    p->SetDefaultStyle(SampleStyle(10));
    TcxCacheCellStyle header = SampleStyle(12);
    header.FontStyle = cfsBold;
    header.FontColor = 0x0000FF;
    header.BrushStyle = cbsSolid;
    header.BrushBkColor = 0x00FFFF;
    Integer h = p->RegisterStyle(header);
    p->SetCellStyleEx(0, 0, 1, 3, h);
    p->SetCellDataString(0, 0, "Report \xE6\x97\xA5\xE6\x9C\xAC");
    p->SetCellDataDouble(0, 1, 1.5);
    p->SetCellDataDateTime(1, 1, 36526.5);
    p->SetCellValue(2, 1, Variant(Currency::FromRaw(123400)));
    p->SetCellValue(3, 1, Variant(false));
    String longText;
    for (int i = 0; i < 3000; ++i) longText += "\xC3\xA9";
    p->SetCellDataString(0, 2, c.longTexts ? longText : String("\xC3\xA9"));
    p->SetCellDataString(1, 2, c.longTexts ? String(5000, 'z') : String("z"));
    p->SetColumnWidth(0, 100);
    CommitChecked(*p);
    EXPECT_EQ(p->GetStreamSize() >= 4096, c.longTexts);
    String out = ReadWithXlrd(file);
    Int64 size = p->GetStreamSize();
    EXPECT_NE(out.find("stream Workbook " + std::to_string(size) + " at the end\n"), String::npos) << out;
    EXPECT_NE(out.find("sheet " + String(c.name) + " 4x3"), String::npos) << out;
    for (const char* line : {
             "cell 0,0 text 'Report \xE6\x97\xA5\xE6\x9C\xAC' fmt=General font=Arial,12,weight=700,colour=(255, 0, 0) "
             "fill=(255, 255, 0)",
             "cell 0,1 number 1.5 fmt=General font=Arial,10,weight=400,colour=None fill=-",
             "cell 1,1 date 36526.5 fmt=m/d/yy h:mm font=Arial,10,weight=400,colour=None fill=-",
             "cell 2,1 number 12.34 fmt=$#,##0.00_);($#,##0.00) font=Arial,10,weight=400,colour=None fill=-",
             "cell 3,1 bool 0 fmt=General",
             "merged 0,0-2,0",
             "colinfo 0 3660",
         })
      EXPECT_NE(out.find(line), String::npos) << line << "\n" << out;
    const char* texts =
        c.longTexts ? "cell 0,2 text "
                      "'\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9...(3000)' "
                      "fmt=General font=Arial,10,weight=400,colour=None fill=-\n"
                      "cell 1,2 text 'zzzzzzzzzz...(4096)'"
                    : "cell 0,2 text '\xC3\xA9' fmt=General font=Arial,10,weight=400,colour=None fill=-\n"
                      "cell 1,2 text 'z'";
    EXPECT_NE(out.find(texts), String::npos) << out;
  }
}

}  // namespace

namespace {

// By hand: writes sample workbooks into <build>/sheets/xls for other readers to convert
// (LibreOffice headless, gnumeric's ssconvert): a styled sheet with dates, currency, merged
// cells and long texts, a sheet small enough for the mini stream, and one large enough for a
// DIFAT sector.
TEST(cxXLSExport, DISABLED_WriteSampleWorkbooks) {
  String dir = testing_support::SheetPath("xls");
  std::filesystem::create_directories(dir);
  {
    auto p = MakeXls(dir + "/styled.xls");
    p->SetRange(4, 6, true);
    p->SetDefaultStyle(SampleStyle(10));
    TcxCacheCellStyle header = SampleStyle(12);
    header.FontStyle = cfsBold | cfsItalic;
    header.FontColor = 0x0000FF;
    header.BrushStyle = cbsSolid;
    header.BrushBkColor = 0x00FFFF;
    p->SetCellStyleEx(0, 0, 1, 4, p->RegisterStyle(header));
    p->SetCellDataString(0, 0, "Report \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");
    p->SetCellDataDateTime(0, 1, 36526.5);
    p->SetCellDataDateTime(1, 1, 59);
    p->SetCellDataDateTime(2, 1, 0.25);
    p->SetCellValue(3, 1, Variant(Currency::FromRaw(123400)));
    p->SetCellValue(0, 2, Variant(true));
    p->SetCellDataDouble(1, 2, -1.5e10);
    String longText;
    for (int i = 0; i < 3000; ++i) longText += "\xC3\xA9";
    p->SetCellDataString(0, 3, longText);
    p->SetCellDataString(0, 4, String(5000, 'z'));
    p->SetCellUnion(2, 3, 3, 2);
    p->SetColumnWidth(0, 120);
    p->SetRowHeight(0, 30);
    p->SetRangeName("Data", TRect(0, 1, 3, 4));
    p->Commit();
  }
  {
    auto p = MakeXls(dir + "/small.xls");  // in the mini stream
    p->SetRange(2, 2, true);
    p->SetCellDataString(0, 0, "abc \xC3\xA9");
    p->SetCellDataDateTime(1, 0, 40000.75);
    p->SetCellUnion(0, 1, 1, 2);
    p->SetCellDataDouble(0, 1, 3.25);
    p->Commit();
  }
  auto p = MakeXls(dir + "/large.xls");
  p->SetRange(10, 65536, false);
  for (int r = 0; r < 65536; ++r)
    for (int c = 0; c < 10; ++c) p->SetCellDataInteger(c, r, r * 10 + c);
  p->Commit();
}

}  // namespace
