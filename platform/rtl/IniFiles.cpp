#include "rtl/IniFiles.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "rtl/SysUtils.h"

KORVAN_IMPLEMENT_CLASS(TCustomIniFile)
KORVAN_IMPLEMENT_CLASS(TMemIniFile)

Integer TCustomIniFile::ReadInteger(const String& section, const String& key, Integer defaultValue) {
  return StrToIntDef(Trim(ReadString(section, key, "")), defaultValue);
}

void TCustomIniFile::WriteInteger(const String& section, const String& key, Integer value) {
  WriteString(section, key, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const String& section, const String& key, bool defaultValue) {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& section, const String& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

// Section and key names compare without regard to ASCII case.
static bool SameName(const String& a, const String& b) { return SameText(a, b); }

TMemIniFile::TMemIniFile(const String& fileName) : TCustomIniFile(fileName) {
  if (fileName.empty() || !FileExists(fileName)) return;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + fileName + "\".");
  std::ostringstream text;
  text << in.rdbuf();
  SetText(text.str());
}

TMemIniFile::TSection* TMemIniFile::Find(const String& section) {
  for (TSection& s : sections_)
    if (SameName(s.name, section)) return &s;
  return nullptr;
}

String TMemIniFile::ReadString(const String& section, const String& key, const String& defaultValue) {
  if (TSection* s = Find(section))
    for (auto& kv : s->values)
      if (SameName(kv.first, key)) return kv.second;
  return defaultValue;
}

void TMemIniFile::WriteString(const String& section, const String& key, const String& value) {
  TSection* s = Find(section);
  if (!s) {
    sections_.push_back(TSection{section, {}});
    s = &sections_.back();
  }
  for (auto& kv : s->values) {
    if (SameName(kv.first, key)) {
      kv.second = value;
      return;
    }
  }
  s->values.emplace_back(key, value);
}

bool TMemIniFile::SectionExists(const String& section) { return Find(section) != nullptr; }

bool TMemIniFile::ValueExists(const String& section, const String& key) {
  if (TSection* s = Find(section))
    for (auto& kv : s->values)
      if (SameName(kv.first, key)) return true;
  return false;
}

void TMemIniFile::ReadSections(TStrings* sections) {
  sections->Clear();
  for (TSection& s : sections_) sections->Add(s.name);
}

void TMemIniFile::ReadSection(const String& section, TStrings* keys) {
  keys->Clear();
  if (TSection* s = Find(section))
    for (auto& kv : s->values) keys->Add(kv.first);
}

void TMemIniFile::EraseSection(const String& section) {
  for (auto it = sections_.begin(); it != sections_.end(); ++it) {
    if (SameName(it->name, section)) {
      sections_.erase(it);
      return;
    }
  }
}

void TMemIniFile::Clear() {
  sections_.clear();
  malformed_.clear();
}

String TMemIniFile::Text() const {
  String out;
  for (const TSection& s : sections_) {
    out += "[" + s.name + "]\n";
    for (auto& kv : s.values) out += kv.first + "=" + kv.second + "\n";
    out += "\n";
  }
  return out;
}

void TMemIniFile::SetText(const String& text) {
  Clear();
  TSection* current = nullptr;
  Integer lineNo = 0;
  size_t pos = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;  // a byte order mark
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    String line = text.substr(pos, end == String::npos ? String::npos : end - pos);
    pos = end == String::npos ? text.size() + 1 : end + 1;
    ++lineNo;
    String t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t.front() == '[' && t.back() == ']') {
      String name = t.substr(1, t.size() - 2);
      current = Find(name);
      if (!current) {
        sections_.push_back(TSection{name, {}});
        current = &sections_.back();
      }
      continue;
    }
    size_t eq = t.find('=');
    if (eq == String::npos || !current) {
      malformed_.push_back(lineNo);
      continue;
    }
    String key = Trim(t.substr(0, eq)), value = t.substr(eq + 1);
    bool exists = false;
    for (auto& kv : current->values)
      if (SameName(kv.first, key)) kv.second = value, exists = true;
    if (!exists) current->values.emplace_back(key, value);
  }
}

void TMemIniFile::UpdateFile() {
  if (FileName().empty()) return;
  String temp = FileName() + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) throw EFCreateError("Cannot create file \"" + temp + "\".");
    String text = Text();
    out.write(text.data(), std::streamsize(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      throw EWriteError("Stream write error");
    }
  }
  if (std::rename(temp.c_str(), FileName().c_str()) != 0) {
    std::remove(temp.c_str());
    throw EFCreateError("Cannot create file \"" + FileName() + "\".");
  }
}
