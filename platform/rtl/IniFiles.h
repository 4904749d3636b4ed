// Sectioned key-value stores: TCustomIniFile with its six typed operations and the usual
// conversions (integers in decimal or with a $ or 0x prefix, booleans as 1 and 0), and
// TMemIniFile, held in memory and read from and written to a UTF-8 file.
#pragma once

#include <map>
#include <vector>

#include "rtl/Classes.h"

class TCustomIniFile : public TObject {
  KORVAN_CLASS(TCustomIniFile, TObject)

 public:
  explicit TCustomIniFile(const String& fileName = "") : fileName_(fileName) {}
  const String& FileName() const { return fileName_; }

  virtual String ReadString(const String& section, const String& key, const String& defaultValue) = 0;
  virtual void WriteString(const String& section, const String& key, const String& value) = 0;
  // A value that is no integer reads as the default.
  virtual Integer ReadInteger(const String& section, const String& key, Integer defaultValue);
  virtual void WriteInteger(const String& section, const String& key, Integer value);
  // "0" reads False, any other integer True; anything else the default.
  virtual bool ReadBool(const String& section, const String& key, bool defaultValue);
  virtual void WriteBool(const String& section, const String& key, bool value);

  virtual bool SectionExists(const String& section) = 0;
  virtual bool ValueExists(const String& section, const String& key) = 0;
  virtual void ReadSections(TStrings* sections) = 0;
  virtual void ReadSection(const String& section, TStrings* keys) = 0;
  virtual void EraseSection(const String& section) = 0;
  virtual void UpdateFile() {}

 private:
  String fileName_;
};

// Sections in the order they were first written or read, keys in order within each.
class TMemIniFile : public TCustomIniFile {
  KORVAN_CLASS(TMemIniFile, TCustomIniFile)

 public:
  // In memory only.
  TMemIniFile() = default;
  // Reads the file when it exists (a missing file gives an empty store); UpdateFile writes
  // it back.
  explicit TMemIniFile(const String& fileName);

  String ReadString(const String& section, const String& key, const String& defaultValue) override;
  void WriteString(const String& section, const String& key, const String& value) override;
  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& key) override;
  void ReadSections(TStrings* sections) override;
  void ReadSection(const String& section, TStrings* keys) override;
  void EraseSection(const String& section) override;
  // Writes beside the file and then renames over it, so a failed write leaves the old file
  // whole; raises EFCreateError or EWriteError.
  void UpdateFile() override;
  void Clear();

  // The text of the store ("[Section]" lines followed by "Key=Value" lines) and back.
  String Text() const;
  void SetText(const String& text);
  // Lines of the last text read that were neither a section, a key, a comment nor blank
  // (1-based line numbers).
  const std::vector<Integer>& MalformedLines() const { return malformed_; }

 private:
  struct TSection {
    String name;
    std::vector<std::pair<String, String>> values;
  };
  TSection* Find(const String& section);
  std::vector<TSection> sections_;
  std::vector<Integer> malformed_;
};
