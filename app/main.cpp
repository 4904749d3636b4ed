// Program start: the application takes its title, makes the main window from its form
// description and runs the message loop until the main window closes.
#include <cstdio>

#include "app/Unit1.h"
#include "backend/Sdl.h"
#include "rtl/System.h"

int main() {
  try {
    TSdlBackend backend;
    SetBackend(&backend);
    InitializeKorvanApp();
    Application->Initialize();
    Application->SetTitle("Korvan for CSV");
    TForm1* form1 = nullptr;
    Application->CreateForm(form1);
    Application->Run();
    FinishKorvanApp();
    SetBackend(nullptr);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Korvan for CSV: %s\n", e.what());
    return 1;
  }
}
