// Shared pieces of the class framework tests: the headless session with the application
// object ready and the test resources registered.
#pragma once

#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"

void RegisterVclTestResources();

class VclFixture : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    static bool registered = false;
    if (!registered) {
      RegisterVclTestResources();
      registered = true;
    }
    boxes_.clear();
    Application->SetMessageBoxHook([this](const String& text, const String& caption, UINT) {
      boxes_.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    Application->SetMessageBoxHook(nullptr);
    Application->OnIdle = nullptr;
    SetDialogShowHook(nullptr);
    SetMessageDlgHook(nullptr);
    SetFileDialogHook(nullptr);
    THeadlessFixture::TearDown();
  }
  // Pumps the queue and runs one round of idle work (mouse enter and leave, hints).
  void Process() {
    Pump();
    Application->DoIdle();
    Pump();
  }
  std::vector<String> boxes_;  // texts of message boxes shown
};
