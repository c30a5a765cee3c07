// Veltrane, the sample product that the kit installs: a window that plots
// the statistics of its data file (veltdata.dat beside the program) and
// calls the shared library for the figures.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "examples/product/veltshared/VeltShared.h"

namespace {

std::vector<int> LoadFigures() {
  char path[MAX_PATH];
  DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string file(path, n < MAX_PATH ? n : 0);
  file = file.substr(0, file.find_last_of('\\') + 1) + "veltdata.dat";
  std::vector<int> figures;
  if (FILE* f = std::fopen(file.c_str(), "r")) {
    int value;
    while (figures.size() < 64 && std::fscanf(f, "%d", &value) == 1) figures.push_back(value);
    std::fclose(f);
  }
  if (figures.empty()) figures = {3, 5, 4, 7, 6, 9};
  return figures;
}

void Paint(HWND wnd) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(wnd, &ps);
  RECT rc;
  ::GetClientRect(wnd, &rc);
  const std::vector<int> figures = LoadFigures();
  int top = 1;
  for (int v : figures) top = v > top ? v : top;
  const int n = static_cast<int>(figures.size());
  const int width = (rc.right - 40) / (n > 0 ? n : 1);
  HBRUSH bar = ::CreateSolidBrush(RGB(0, 80, 200));
  for (int i = 0; i < n; ++i) {
    const int h = (rc.bottom - 60) * figures[static_cast<std::size_t>(i)] / top;
    RECT r{20 + i * width + 4, rc.bottom - 20 - h, 20 + (i + 1) * width - 4, rc.bottom - 20};
    ::FillRect(dc, &r, bar);
  }
  ::DeleteObject(bar);
  char text[128];
  std::snprintf(text, sizeof text, "Veltrane 2.0 - mean %d of %d figures",
                VeltMean(figures.data(), n), n);
  ::SetBkMode(dc, TRANSPARENT);
  ::TextOutA(dc, 20, 10, text, static_cast<int>(std::strlen(text)));
  ::EndPaint(wnd, &ps);
}

LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      Paint(wnd);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(wnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "VeltraneMain";
  if (!::RegisterClassA(&wc)) return 1;
  HWND wnd = ::CreateWindowExA(0, wc.lpszClassName, "Veltrane", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, nullptr);
  if (!wnd) return 1;
  ::ShowWindow(wnd, show);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
