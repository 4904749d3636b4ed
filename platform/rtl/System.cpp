#include "rtl/System.h"

#include <map>
#include <mutex>
#include <set>
#include <vector>

void Abort() { throw EAbort("Operation aborted"); }

bool TClassInfo::InheritsFrom(TClass ancestor) const {
  for (TClass c = this; c != nullptr; c = c->parent_)
    if (c == ancestor) return true;
  return false;
}

TObject* TClassInfo::Create(TObject* arg) const {
  if (factory_ == nullptr) throw EAbstractError(String("Abstract class ") + name_ + " cannot be created");
  return factory_(arg);
}

TClass TObject::StaticClass() {
  static const TClassInfo info("TObject", nullptr, nullptr);
  return &info;
}

namespace {
std::map<String, TClass>& ClassMap() {
  static std::map<String, TClass> m;
  return m;
}

String Lower(const String& s) {
  String r = s;
  for (char& ch : r)
    if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
  return r;
}

struct UnitEntry {
  String name;
  std::function<void()> fini;
};
std::vector<UnitEntry>& Units() {
  static std::vector<UnitEntry> u;
  return u;
}
std::set<String>& UnitNames() {
  static std::set<String> s;
  return s;
}
}  // namespace

// Class names compare without regard to case, as identifiers of the platform's language do.
void RegisterClass(TClass c) {
  if (c) ClassMap()[Lower(c->Name())] = c;
}

void UnRegisterClass(TClass c) {
  if (!c) return;
  auto it = ClassMap().find(Lower(c->Name()));
  if (it != ClassMap().end() && it->second == c) ClassMap().erase(it);
}

TClass GetClass(const String& name) {
  auto it = ClassMap().find(Lower(name));
  return it == ClassMap().end() ? nullptr : it->second;
}

TClass FindClass(const String& name) {
  TClass c = GetClass(name);
  if (!c) throw EClassNotFound("Class " + name + " not found");
  return c;
}

bool InitUnit(const char* name, const std::function<void()>& init, std::function<void()> fini) {
  if (!UnitNames().insert(name).second) return false;
  if (init) {
    try {
      init();
    } catch (...) {
      UnitNames().erase(name);
      throw;
    }
  }
  Units().push_back({name, std::move(fini)});
  return true;
}

bool UnitInitialized(const char* name) { return UnitNames().count(name) != 0; }

void FinalizeUnits() {
  while (!Units().empty()) {
    UnitEntry e = std::move(Units().back());
    Units().pop_back();
    UnitNames().erase(e.name);
    try {
      if (e.fini) e.fini();
    } catch (...) {
      // A failing unit end must not keep the others from running.
    }
  }
}
