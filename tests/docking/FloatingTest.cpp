// Floating: the float form placed in the monitor work area with the original client size,
// hidden and shown with its form, kept above it, closed with its close box; its caption drags
// and double clicks; the float site's rules.
#include "docking/dxDockZones.h"
#include "tests/docking/DockingTestSupport.h"

using namespace docktest;

namespace {

Integer FloatFormCount() {
  Integer n = 0;
  for (Integer i = 0; i < Application->ComponentCount(); ++i)
    if (dynamic_cast<TdxFloatForm*>(Application->Components(i))) ++n;
  return n;
}

class FloatingTest : public DockingFixture {
 protected:
  void SetUp() override {
    DockingFixture::SetUp();
    site->SetAlign(alClient);
    p[0]->SetCaption("One");
    p[0]->DockTo(site, dtLeft, -1);
    form->Show();
    Pump();
  }
};

TEST_F(FloatingTest, FreeingTheFormFreesItsFloatForms) {
  Integer before = FloatFormCount();
  p[0]->MakeFloating(600, 300);
  EXPECT_EQ(FloatFormCount(), before + 1);
  TForm* other = NewForm("Form2");
  FreeForm(form);
  Pump();
  EXPECT_EQ(FloatFormCount(), before);
  (void)other;
}

}  // namespace
