// The object model of the run-time library: TObject with runtime class descriptors, the
// exception classes, and unit initialisation and finalisation in a fixed order.
#pragma once

#include <exception>
#include <functional>
#include <type_traits>

#include "rtl/Types.h"

// ---------------------------------------------------------------------------------------------
// Exceptions. Every error of the platform layer and the library derives from Exception.

class Exception : public std::exception {
 public:
  explicit Exception(String message) : message_(std::move(message)) {}
  const String& Message() const { return message_; }
  void SetMessage(const String& m) { message_ = m; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  String message_;
};

#define KORVAN_EXCEPTION(Name, Base)             \
  class Name : public Base {                     \
   public:                                       \
    using Base::Base;                            \
  }

KORVAN_EXCEPTION(EAbort, Exception);              // silent exception: not shown to the user
KORVAN_EXCEPTION(EConvertError, Exception);
KORVAN_EXCEPTION(EVariantError, Exception);
KORVAN_EXCEPTION(EVariantTypeCastError, EVariantError);  // a value that cannot be converted
KORVAN_EXCEPTION(EVariantOverflowError, EVariantError);
KORVAN_EXCEPTION(EVariantBadIndexError, EVariantError);
KORVAN_EXCEPTION(EVariantArrayCreateError, EVariantError);
KORVAN_EXCEPTION(EVariantInvalidOpError, EVariantError);
KORVAN_EXCEPTION(EInvalidOperation, Exception);
KORVAN_EXCEPTION(EComponentError, Exception);
KORVAN_EXCEPTION(EInvalidCast, Exception);
KORVAN_EXCEPTION(EListError, Exception);
KORVAN_EXCEPTION(EStringListError, Exception);
KORVAN_EXCEPTION(EStreamError, Exception);
KORVAN_EXCEPTION(EFCreateError, EStreamError);
KORVAN_EXCEPTION(EFOpenError, EStreamError);
KORVAN_EXCEPTION(EFilerError, EStreamError);
KORVAN_EXCEPTION(EReadError, EFilerError);
KORVAN_EXCEPTION(EWriteError, EFilerError);
KORVAN_EXCEPTION(EClassNotFound, EFilerError);
KORVAN_EXCEPTION(EPropertyError, Exception);
// A stored property text that does not convert to the property's type.
KORVAN_EXCEPTION(EPropertyConvertError, EPropertyError);
KORVAN_EXCEPTION(EAbstractError, Exception);
KORVAN_EXCEPTION(EInvalidPointer, Exception);
KORVAN_EXCEPTION(EOutOfResources, Exception);
KORVAN_EXCEPTION(EInOutError, Exception);
KORVAN_EXCEPTION(EMathError, Exception);
KORVAN_EXCEPTION(EIntOverflow, EMathError);
KORVAN_EXCEPTION(EZeroDivide, EMathError);
KORVAN_EXCEPTION(EInvalidOp, EMathError);
KORVAN_EXCEPTION(ERangeError, Exception);
KORVAN_EXCEPTION(EOSError, Exception);

// Raises EAbort, the silent exception.
[[noreturn]] void Abort();

// ---------------------------------------------------------------------------------------------
// Runtime class descriptors. A class that takes part declares itself with
// KORVAN_CLASS(TThis, TBase) in its body and KORVAN_IMPLEMENT_CLASS(TThis) in its .cpp.
// A "class value" (TClass) is a pointer to the class's one descriptor.

class TObject;
class TClassInfo;
class TPropertyTableBuilder;
using TClass = const TClassInfo*;

class TClassInfo {
 public:
  // The factory makes an instance; `arg` is the class's creation argument (the owner of a
  // component, the collection of a collection item) or nullptr.
  using Factory = TObject* (*)(TObject* arg);

  // Declares the class's own published properties (rtl/TypInfo.h); nullptr when it has none.
  using Publisher = void (*)(TPropertyTableBuilder& builder);

  TClassInfo(const char* name, TClass parent, Factory factory, Publisher publisher = nullptr)
      : name_(name), parent_(parent), factory_(factory), publisher_(publisher) {}

  const char* Name() const { return name_; }
  String ClassName() const { return name_; }
  TClass Parent() const { return parent_; }
  bool InheritsFrom(TClass ancestor) const;
  bool IsAbstract() const { return factory_ == nullptr; }
  // The virtual constructor: raises EAbstractError for an abstract class.
  TObject* Create(TObject* arg = nullptr) const;
  Publisher GetPublisher() const { return publisher_; }

 private:
  const char* name_;
  TClass parent_;
  Factory factory_;
  Publisher publisher_;
};

namespace rtl_detail {
template <class T>
TObject* CreateInstance(TObject* arg) {
  using Arg = typename T::CreateArgType;
  if constexpr (std::is_void_v<Arg>) {
    return new T();
  } else {
    return new T(static_cast<Arg>(arg));
  }
}
template <class T>
constexpr TClassInfo::Factory FactoryOf() {
  using Arg = typename T::CreateArgType;
  if constexpr (std::is_abstract_v<T>) {
    return nullptr;
  } else if constexpr (std::is_void_v<Arg>) {
    if constexpr (std::is_default_constructible_v<T>) return &CreateInstance<T>;
    else return nullptr;
  } else {
    if constexpr (std::is_constructible_v<T, Arg>) return &CreateInstance<T>;
    else return nullptr;
  }
}
}  // namespace rtl_detail

#define KORVAN_CLASS(TThis, TBase)                                   \
 public:                                                             \
  using Inherited = TBase;                                           \
  static TClass StaticClass();                                       \
  TClass ClassType() const override { return TThis::StaticClass(); } \
                                                                     \
 private:

#define KORVAN_IMPLEMENT_CLASS(TThis)                                                   \
  TClass TThis::StaticClass() {                                                         \
    static const TClassInfo info(#TThis, TThis::Inherited::StaticClass(),               \
                                 rtl_detail::FactoryOf<TThis>());                       \
    return &info;                                                                       \
  }

namespace rtl_detail {
// The shared state of the weak references to one object: the target, cleared when the
// object is destroyed, and the number of references plus one for the object while it lives.
struct WeakBlock {
  TObject* target;
  long refs;
};
}  // namespace rtl_detail

class TObject {
 public:
  // The argument a virtual constructor passes on; descendants with a creation argument
  // (TComponent: its owner) redeclare it.
  using CreateArgType = void;

  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() { ClearWeakRefs(); }

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  String ClassName() const { return ClassType()->ClassName(); }
  bool InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }
  template <class T>
  bool Is() const { return dynamic_cast<const T*>(this) != nullptr; }

  // Frees the object, the platform's Free: weak references see nullptr from here on, then
  // BeforeDestruction runs while the object is whole, then the destructors. Objects with a
  // BeforeDestruction step (components) should be freed this way rather than by delete.
  void Free() {
    ClearWeakRefs();
    BeforeDestruction();
    delete this;
  }
  // Called by Free before the destructors run (TComponent marks itself csDestroying here,
  // so that the destructors of its descendants see it).
  virtual void BeforeDestruction() {}

  // Makes every weak reference to this object read nullptr (done by Free and on
  // destruction; an object may call it earlier when it starts tearing down).
  void ClearWeakRefs() {
    if (weak_ != nullptr) {
      weak_->target = nullptr;
      if (--weak_->refs == 0) delete weak_;
      weak_ = nullptr;
    }
  }

 private:
  template <class T>
  friend class TWeakRef;
  rtl_detail::WeakBlock* weak_ = nullptr;
};

// Frees the object (through Free for TObject descendants) and sets the pointer to nullptr
// first; safe on nullptr.
template <class T>
void FreeAndNil(T*& p) {
  T* q = p;
  p = nullptr;
  if (q == nullptr) return;
  if constexpr (std::is_base_of_v<TObject, T>) {
    q->Free();
  } else {
    delete q;
  }
}

// A weak reference to an object: Get() gives the object while it lives and nullptr once it
// has been freed. Code that calls out (event handlers, notifications) holds one to learn
// whether the object survived the call. UI thread only.
template <class T>
class TWeakRef {
 public:
  TWeakRef() = default;
  explicit TWeakRef(T* obj) { Attach(obj); }
  TWeakRef(const TWeakRef& o) : block_(o.block_) {
    if (block_) ++block_->refs;
  }
  TWeakRef& operator=(const TWeakRef& o) {
    if (this != &o) {
      Release();
      block_ = o.block_;
      if (block_) ++block_->refs;
    }
    return *this;
  }
  TWeakRef& operator=(T* obj) {
    Release();
    Attach(obj);
    return *this;
  }
  ~TWeakRef() { Release(); }

  T* Get() const { return block_ && block_->target ? static_cast<T*>(block_->target) : nullptr; }
  T* operator->() const { return Get(); }
  explicit operator bool() const { return Get() != nullptr; }
  void Reset() { Release(); }

 private:
  void Attach(T* obj) {
    if (obj == nullptr) return;
    TObject* o = obj;
    if (o->weak_ == nullptr) o->weak_ = new rtl_detail::WeakBlock{o, 1};
    block_ = o->weak_;
    ++block_->refs;
  }
  // The object and every reference share the block; the last one to let go frees it. GCC 12
  // cannot see that the count keeps the block alive here and warns of a use after free.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif
  void Release() {
    if (block_ && --block_->refs == 0) delete block_;
    block_ = nullptr;
  }
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic pop
#endif
  rtl_detail::WeakBlock* block_ = nullptr;
};

// Checked cast, the platform's "as": raises EInvalidCast.
template <class T, class U>
T* As(U* obj) {
  if (obj == nullptr) return nullptr;
  T* r = dynamic_cast<T*>(obj);
  if (r == nullptr) throw EInvalidCast("Invalid class typecast");
  return r;
}

// Class registration by name (form descriptions and stored layouts create objects by name).
void RegisterClass(TClass c);
void UnRegisterClass(TClass c);
TClass GetClass(const String& name);   // nullptr when unknown
TClass FindClass(const String& name);  // raises EClassNotFound "Class X not found"

// ---------------------------------------------------------------------------------------------
// Unit initialisation and finalisation. Every library unit with start-up work has an
// Initialize function that calls InitUnit; the first call runs the unit's start and queues
// its end; FinalizeUnits runs the ends in reverse order of the starts. A unit's start calls
// the Initialize functions of the units it uses before its own work, which gives dependency
// order.

// Runs `init` once for `name` and remembers `fini` for FinalizeUnits. Returns false when the
// unit was already initialised.
bool InitUnit(const char* name, const std::function<void()>& init, std::function<void()> fini = {});
bool UnitInitialized(const char* name);
// Runs every queued unit end, newest first. An exception from one end does not skip the rest.
void FinalizeUnits();
