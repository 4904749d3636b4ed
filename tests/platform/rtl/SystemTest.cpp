#include <gtest/gtest.h>

#include <vector>

#include "rtl/System.h"

namespace {

class TAnimal : public TObject {
  KORVAN_CLASS(TAnimal, TObject)
 public:
  virtual String Sound() const = 0;
};
class TDog : public TAnimal {
  KORVAN_CLASS(TDog, TAnimal)
 public:
  String Sound() const override { return "woof"; }
};
class TPuppy : public TDog {
  KORVAN_CLASS(TPuppy, TDog)
};
KORVAN_IMPLEMENT_CLASS(TAnimal)
KORVAN_IMPLEMENT_CLASS(TDog)
KORVAN_IMPLEMENT_CLASS(TPuppy)

TEST(ClassModel, DescriptorsKnowNameParentAndFactory) {
  EXPECT_STREQ(TPuppy::StaticClass()->Name(), "TPuppy");
  EXPECT_EQ(TPuppy::StaticClass()->Parent(), TDog::StaticClass());
  EXPECT_TRUE(TPuppy::StaticClass()->InheritsFrom(TAnimal::StaticClass()));
  EXPECT_FALSE(TAnimal::StaticClass()->InheritsFrom(TDog::StaticClass()));
  EXPECT_TRUE(TAnimal::StaticClass()->IsAbstract());
  EXPECT_THROW(TAnimal::StaticClass()->Create(), EAbstractError);

  // The virtual constructor makes the most derived class through a class value.
  TClass cls = TPuppy::StaticClass();
  TObject* obj = cls->Create();
  EXPECT_EQ(obj->ClassType(), cls);
  EXPECT_EQ(obj->ClassName(), "TPuppy");
  EXPECT_EQ(As<TAnimal>(obj)->Sound(), "woof");
  delete obj;
}

TEST(ClassModel, RegistryLooksUpByNameIgnoringCase) {
  RegisterClass(TDog::StaticClass());
  EXPECT_EQ(GetClass("tdog"), TDog::StaticClass());
  EXPECT_EQ(GetClass("TCat"), nullptr);
  EXPECT_THROW(FindClass("TCat"), EClassNotFound);
  UnRegisterClass(TDog::StaticClass());
  EXPECT_EQ(GetClass("TDog"), nullptr);
}

TEST(ClassModel, CheckedCastRaisesInvalidCast) {
  TObject plain;
  EXPECT_THROW(As<TDog>(&plain), EInvalidCast);
}

TEST(Units, StartOnceAndEndInReverseOrderEvenWhenOneEndFails) {
  std::vector<String> log;
  EXPECT_TRUE(InitUnit("a", [&] { log.push_back("+a"); }, [&] { log.push_back("-a"); }));
  EXPECT_FALSE(InitUnit("a", [&] { log.push_back("+a again"); }));
  InitUnit("b", [&] { log.push_back("+b"); }, [&] { log.push_back("-b"); throw Exception("x"); });
  InitUnit("c", [&] { log.push_back("+c"); }, [&] { log.push_back("-c"); });
  FinalizeUnits();
  EXPECT_EQ(log, (std::vector<String>{"+a", "+b", "+c", "-c", "-b", "-a"}));
  EXPECT_FALSE(UnitInitialized("a"));
}

}  // namespace
