// Published property tables and access by name.
#include "rtl/TypInfo.h"

#include <map>
#include <memory>
#include <mutex>

#include "rtl/SysUtils.h"
#include "rtl/Variants.h"

namespace {

std::recursive_mutex& TypeMutex() {
  static std::recursive_mutex m;
  return m;
}

// Types by name, living for the whole run.
std::map<String, std::unique_ptr<TTypeInfo>>& Types() {
  static std::map<String, std::unique_ptr<TTypeInfo>> t;
  return t;
}

PTypeInfo InternType(const String& key, TTypeInfo info) {
  std::lock_guard lock(TypeMutex());
  auto& types = Types();
  auto it = types.find(key);
  if (it != types.end()) return it->second.get();
  auto p = std::make_unique<TTypeInfo>(std::move(info));
  PTypeInfo r = p.get();
  types.emplace(key, std::move(p));
  return r;
}

PTypeInfo Simple(TTypeKind kind, const char* name) {
  TTypeInfo t;
  t.Kind = kind;
  t.Name = name;
  return InternType(String("simple:") + name, std::move(t));
}

// The table of one class: its properties (ancestors' first) and the pointer list.
struct PropTable {
  std::vector<TPropInfo> props;
  TPropList list;
};

std::map<TClass, std::unique_ptr<PropTable>>& Tables() {
  static std::map<TClass, std::unique_ptr<PropTable>> t;
  return t;
}

const PropTable& TableOf(TClass c) {
  std::lock_guard lock(TypeMutex());
  auto& tables = Tables();
  auto it = tables.find(c);
  if (it != tables.end()) return *it->second;
  auto table = std::make_unique<PropTable>();
  if (c != nullptr) {
    if (c->Parent() != nullptr) table->props = TableOf(c->Parent()).props;
    if (auto publish = c->GetPublisher()) {
      TPropertyTableBuilder builder(table->props);
      publish(builder);
    }
  }
  for (size_t i = 0; i < table->props.size(); ++i) table->props[i].NameIndex = Integer(i);
  for (const TPropInfo& p : table->props) table->list.push_back(&p);
  const PropTable& r = *table;
  tables.emplace(c, std::move(table));
  return r;
}

[[noreturn]] void UnknownProperty(const String& name) {
  throw EPropertyError("Unknown property: '" + name + "'");
}

[[noreturn]] void InvalidType(PPropInfo prop) {
  throw EPropertyError("Invalid property type: '" + prop->Name + "'");
}

[[noreturn]] void ReadOnly(PPropInfo prop) {
  throw EPropertyError("Property '" + prop->Name + "' is read-only");
}

PPropInfo Require(const TObject* obj, const String& name) {
  if (obj == nullptr) throw EPropertyError("Property '" + name + "' of a nil object");
  PPropInfo p = GetPropInfo(obj, name);
  if (p == nullptr) UnknownProperty(name);
  return p;
}

bool IsOrdinalKind(TTypeKind k) {
  return k == tkInteger || k == tkChar || k == tkEnumeration || k == tkSet || k == tkInt64 || k == tkWChar;
}

bool IsBooleanType(PTypeInfo t) { return t == TypeInfoBoolean(); }

// Enumeration values must name a value of the type, set masks only its elements.
void CheckOrdinal(PPropInfo prop, Int64 value) {
  PTypeInfo t = prop->PropType;
  if (t->Kind == tkEnumeration) {
    Int64 n = Int64(t->EnumNames.size());
    if (IsBooleanType(t)) return;  // any non-zero value is True
    if (value < 0 || value >= n)
      throw EPropertyError("Invalid property value " + IntToStr(value) + " for '" + prop->Name + "'");
  } else if (t->Kind == tkSet && t->CompType != nullptr) {
    size_t n = t->CompType->EnumNames.size();
    uint64_t allowed = n >= 64 ? ~uint64_t(0) : ((uint64_t(1) << n) - 1);
    if ((uint64_t(value) & ~allowed) != 0)
      throw EPropertyError("Invalid property value " + IntToStr(value) + " for '" + prop->Name + "'");
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Types

PTypeInfo TypeInfoInteger() { return Simple(tkInteger, "Integer"); }
PTypeInfo TypeInfoInt64() { return Simple(tkInt64, "Int64"); }
PTypeInfo TypeInfoDouble() { return Simple(tkFloat, "Double"); }
PTypeInfo TypeInfoString() { return Simple(tkString, "String"); }
PTypeInfo TypeInfoChar() { return Simple(tkChar, "Char"); }
PTypeInfo TypeInfoVariant() { return Simple(tkVariant, "Variant"); }
PTypeInfo TypeInfoBoolean() {
  static PTypeInfo t = EnumTypeInfo("Boolean", {"False", "True"});
  return t;
}
PTypeInfo AlignmentTypeInfo() {
  static PTypeInfo t = EnumTypeInfo("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
  return t;
}
PTypeInfo TypeInfoMethod(const String& name) {
  TTypeInfo t;
  t.Kind = tkMethod;
  t.Name = name;
  return InternType("method:" + name, std::move(t));
}

PTypeInfo EnumTypeInfo(const String& name, std::initializer_list<const char*> valueNames) {
  std::vector<String> names;
  for (const char* n : valueNames) names.emplace_back(n);
  return EnumTypeInfo(name, names);
}

PTypeInfo EnumTypeInfo(const String& name, const std::vector<String>& valueNames) {
  TTypeInfo t;
  t.Kind = tkEnumeration;
  t.Name = name;
  t.EnumNames = valueNames;
  return InternType("enum:" + name, std::move(t));
}

PTypeInfo SetTypeInfo(const String& name, PTypeInfo elementType) {
  TTypeInfo t;
  t.Kind = tkSet;
  t.Name = name;
  t.CompType = elementType;
  return InternType("set:" + name, std::move(t));
}

PTypeInfo ClassTypeInfo(TClass c) {
  TTypeInfo t;
  t.Kind = tkClass;
  t.Name = c != nullptr ? c->ClassName() : String("TObject");
  t.ClassType = c != nullptr ? c : TObject::StaticClass();
  String key = "class:" + t.Name;
  return InternType(key, std::move(t));
}

String GetEnumName(PTypeInfo type, Int64 value) {
  if (type != nullptr && value >= 0 && value < Int64(type->EnumNames.size())) return type->EnumNames[size_t(value)];
  if (type == TypeInfoBoolean() && value != 0) return "True";
  return IntToStr(value);
}

Int64 GetEnumValue(PTypeInfo type, const String& name) {
  if (type == nullptr) return -1;
  String n = Trim(name);
  for (size_t i = 0; i < type->EnumNames.size(); ++i)
    if (SameText(type->EnumNames[i], n)) return Int64(i);
  return -1;
}

bool TPropInfo::IsReadOnly() const {
  return !SetOrd && !SetFloat && !SetStr && !SetObj && !SetVar && !SetMethod;
}

// ---------------------------------------------------------------------------------------------
// Tables

TPropInfo& TPropertyTableBuilder::Add(TPropInfo info) {
  for (TPropInfo& p : props_) {
    if (SameText(p.Name, info.Name)) {
      p = std::move(info);
      return p;
    }
  }
  props_.push_back(std::move(info));
  return props_.back();
}

TPropList GetPropList(TClass c) { return TableOf(c).list; }

TPropList GetPropList(const TObject* obj) { return obj ? GetPropList(obj->ClassType()) : TPropList(); }

TPropList GetPropList(TClass c, const TTypeKinds& kinds) {
  TPropList r;
  for (PPropInfo p : TableOf(c).list)
    if (kinds.Contains(p->PropType->Kind)) r.push_back(p);
  return r;
}

PPropInfo GetPropInfo(TClass c, const String& name) {
  for (PPropInfo p : TableOf(c).list)
    if (SameText(p->Name, name)) return p;
  return nullptr;
}

PPropInfo GetPropInfo(const TObject* obj, const String& name) {
  return obj ? GetPropInfo(obj->ClassType(), name) : nullptr;
}

bool IsPublishedProp(const TObject* obj, const String& name) { return GetPropInfo(obj, name) != nullptr; }

bool IsPublishedProp(TClass c, const String& name) { return GetPropInfo(c, name) != nullptr; }

TTypeKind PropType(const TObject* obj, const String& name) { return Require(obj, name)->PropType->Kind; }

bool IsStoredProp(const TObject* obj, PPropInfo prop) { return !prop->Stored || prop->Stored(obj); }

bool IsStoredProp(const TObject* obj, const String& name) { return IsStoredProp(obj, Require(obj, name)); }

bool IsDefaultPropValue(const TObject* obj, PPropInfo prop) {
  switch (prop->PropType->Kind) {
    case tkFloat:
      return prop->GetFloat(obj) == 0;
    case tkString:
    case tkLString:
    case tkWString:
      return prop->GetStr(obj).empty();
    case tkVariant:
      return prop->GetVar(obj).IsEmpty();
    case tkMethod:
      return !prop->GetMethod(obj).has_value();
    case tkClass:
      return false;  // an object's own properties decide
    default:
      if (IsOrdinalKind(prop->PropType->Kind)) return prop->HasDefault && prop->GetOrd(obj) == prop->Default;
      return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Access

Int64 GetOrdProp(const TObject* obj, PPropInfo prop) {
  if (!prop->GetOrd) InvalidType(prop);
  return prop->GetOrd(obj);
}
Int64 GetOrdProp(const TObject* obj, const String& name) { return GetOrdProp(obj, Require(obj, name)); }

void SetOrdProp(TObject* obj, PPropInfo prop, Int64 value) {
  if (!prop->GetOrd) InvalidType(prop);
  if (!prop->SetOrd) ReadOnly(prop);
  CheckOrdinal(prop, value);
  prop->SetOrd(obj, value);
}
void SetOrdProp(TObject* obj, const String& name, Int64 value) { SetOrdProp(obj, Require(obj, name), value); }

String GetStrProp(const TObject* obj, PPropInfo prop) {
  if (!prop->GetStr) InvalidType(prop);
  return prop->GetStr(obj);
}
String GetStrProp(const TObject* obj, const String& name) { return GetStrProp(obj, Require(obj, name)); }

void SetStrProp(TObject* obj, PPropInfo prop, const String& value) {
  if (!prop->GetStr) InvalidType(prop);
  if (!prop->SetStr) ReadOnly(prop);
  prop->SetStr(obj, value);
}
void SetStrProp(TObject* obj, const String& name, const String& value) {
  SetStrProp(obj, Require(obj, name), value);
}

double GetFloatProp(const TObject* obj, PPropInfo prop) {
  if (!prop->GetFloat) InvalidType(prop);
  return prop->GetFloat(obj);
}
double GetFloatProp(const TObject* obj, const String& name) { return GetFloatProp(obj, Require(obj, name)); }

void SetFloatProp(TObject* obj, PPropInfo prop, double value) {
  if (!prop->GetFloat) InvalidType(prop);
  if (!prop->SetFloat) ReadOnly(prop);
  prop->SetFloat(obj, value);
}
void SetFloatProp(TObject* obj, const String& name, double value) {
  SetFloatProp(obj, Require(obj, name), value);
}

String GetEnumProp(const TObject* obj, PPropInfo prop) {
  if (prop->PropType->Kind != tkEnumeration) InvalidType(prop);
  return GetEnumName(prop->PropType, prop->GetOrd(obj));
}
String GetEnumProp(const TObject* obj, const String& name) { return GetEnumProp(obj, Require(obj, name)); }

void SetEnumProp(TObject* obj, PPropInfo prop, const String& value) {
  if (prop->PropType->Kind != tkEnumeration) InvalidType(prop);
  Int64 v = GetEnumValue(prop->PropType, value);
  if (v < 0) throw EPropertyError("Invalid property element: " + value);
  SetOrdProp(obj, prop, v);
}
void SetEnumProp(TObject* obj, const String& name, const String& value) {
  SetEnumProp(obj, Require(obj, name), value);
}

String SetToString(PPropInfo prop, Int64 value, bool brackets) {
  if (prop->PropType->Kind != tkSet) InvalidType(prop);
  PTypeInfo comp = prop->PropType->CompType;
  String r;
  for (size_t i = 0; i < 64; ++i) {
    if ((uint64_t(value) >> i) & 1) {
      if (!r.empty()) r += ',';
      r += comp != nullptr && i < comp->EnumNames.size() ? comp->EnumNames[i] : IntToStr(Int64(i));
    }
  }
  return brackets ? "[" + r + "]" : r;
}

Int64 StringToSet(PPropInfo prop, const String& value) {
  if (prop->PropType->Kind != tkSet) InvalidType(prop);
  PTypeInfo comp = prop->PropType->CompType;
  String s = Trim(value);
  if (!s.empty() && s.front() == '[') {
    if (s.back() != ']') throw EPropertyError("Invalid property element: " + value);
    s = s.substr(1, s.size() - 2);
  }
  uint64_t mask = 0;
  size_t start = 0;
  s = Trim(s);
  if (s.empty()) return 0;
  while (start <= s.size()) {
    size_t comma = s.find(',', start);
    if (comma == String::npos) comma = s.size();
    String item = Trim(s.substr(start, comma - start));
    Int64 v = GetEnumValue(comp, item);
    if (v < 0 || v >= 64) throw EPropertyError("Invalid property element: " + item);
    mask |= uint64_t(1) << v;
    start = comma + 1;
  }
  return Int64(mask);
}

String GetSetProp(const TObject* obj, PPropInfo prop, bool brackets) {
  if (prop->PropType->Kind != tkSet) InvalidType(prop);
  return SetToString(prop, prop->GetOrd(obj), brackets);
}
String GetSetProp(const TObject* obj, const String& name, bool brackets) {
  return GetSetProp(obj, Require(obj, name), brackets);
}

void SetSetProp(TObject* obj, PPropInfo prop, const String& value) {
  SetOrdProp(obj, prop, StringToSet(prop, value));
}
void SetSetProp(TObject* obj, const String& name, const String& value) {
  SetSetProp(obj, Require(obj, name), value);
}

TObject* GetObjectProp(const TObject* obj, PPropInfo prop) {
  if (!prop->GetObj) InvalidType(prop);
  return prop->GetObj(obj);
}
TObject* GetObjectProp(const TObject* obj, const String& name) { return GetObjectProp(obj, Require(obj, name)); }

void SetObjectProp(TObject* obj, PPropInfo prop, TObject* value) {
  if (!prop->GetObj) InvalidType(prop);
  if (!prop->SetObj) ReadOnly(prop);
  TClass cls = prop->PropType->ClassType;
  if (value != nullptr && cls != nullptr && !value->InheritsFrom(cls))
    throw EPropertyError("Invalid property value: a " + value->ClassName() + " is not a " + cls->ClassName() +
                         " for '" + prop->Name + "'");
  prop->SetObj(obj, value);
}
void SetObjectProp(TObject* obj, const String& name, TObject* value) {
  SetObjectProp(obj, Require(obj, name), value);
}

std::any GetMethodProp(const TObject* obj, PPropInfo prop) {
  if (!prop->GetMethod) InvalidType(prop);
  return prop->GetMethod(obj);
}
std::any GetMethodProp(const TObject* obj, const String& name) { return GetMethodProp(obj, Require(obj, name)); }

void SetMethodProp(TObject* obj, PPropInfo prop, const std::any& handler) {
  if (!prop->SetMethod) InvalidType(prop);
  prop->SetMethod(obj, handler);
}
void SetMethodProp(TObject* obj, const String& name, const std::any& handler) {
  SetMethodProp(obj, Require(obj, name), handler);
}

Variant GetVariantProp(const TObject* obj, PPropInfo prop) {
  if (!prop->GetVar) InvalidType(prop);
  return prop->GetVar(obj);
}

void SetVariantProp(TObject* obj, PPropInfo prop, const Variant& value) {
  if (!prop->GetVar) InvalidType(prop);
  if (!prop->SetVar) ReadOnly(prop);
  prop->SetVar(obj, value);
}

Variant GetPropValue(const TObject* obj, const String& name, bool preferStrings) {
  PPropInfo prop = Require(obj, name);
  switch (prop->PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
      return Variant(Integer(prop->GetOrd(obj)));
    case tkInt64:
      return Variant(prop->GetOrd(obj));
    case tkEnumeration:
      if (IsBooleanType(prop->PropType)) return Variant(prop->GetOrd(obj) != 0);
      if (preferStrings) return Variant(GetEnumProp(obj, prop));
      return Variant(Integer(prop->GetOrd(obj)));
    case tkSet:
      if (preferStrings) return Variant(GetSetProp(obj, prop, false));
      return Variant(prop->GetOrd(obj));
    case tkFloat:
      return Variant(prop->GetFloat(obj));
    case tkString:
    case tkLString:
    case tkWString:
      return Variant(prop->GetStr(obj));
    case tkVariant:
      return prop->GetVar(obj);
    default:
      InvalidType(prop);
  }
}

void SetPropValue(TObject* obj, const String& name, const Variant& value) {
  PPropInfo prop = Require(obj, name);
  switch (prop->PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkInt64:
      SetOrdProp(obj, prop, value.AsInt64());
      break;
    case tkEnumeration:
      if (VarIsStr(value)) {
        SetEnumProp(obj, prop, value.AsString());
      } else if (IsBooleanType(prop->PropType)) {
        SetOrdProp(obj, prop, value.AsBoolean() ? 1 : 0);
      } else {
        SetOrdProp(obj, prop, value.AsInt64());
      }
      break;
    case tkSet:
      if (VarIsStr(value)) {
        SetSetProp(obj, prop, value.AsString());
      } else {
        SetOrdProp(obj, prop, value.AsInt64());
      }
      break;
    case tkFloat:
      SetFloatProp(obj, prop, value.AsDouble());
      break;
    case tkString:
    case tkLString:
    case tkWString:
      SetStrProp(obj, prop, VarToStr(value));
      break;
    case tkVariant:
      SetVariantProp(obj, prop, value);
      break;
    default:
      InvalidType(prop);
  }
}
