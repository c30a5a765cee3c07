#include <windows.h>

extern "C" __declspec(dllexport) int VeltMean(const int* values, int count) {
  if (!values || count <= 0) return 0;
  long long sum = 0;
  for (int i = 0; i < count; ++i) sum += values[i];
  return static_cast<int>(sum / count);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
