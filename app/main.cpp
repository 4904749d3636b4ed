// Program start. Until the application shell exists this prints what the program is.
#include <cstdio>

int main() {
  std::puts("Korvan for CSV: the application window is not built yet.");
  return 0;
}
