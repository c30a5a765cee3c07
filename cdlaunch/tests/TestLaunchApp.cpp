#include "TestLaunchApp.h"

#include <fstream>

namespace {
CTestLaunchApp g_app;
}

CTestLaunchApp& LaunchApp() { return g_app; }

bool DrainMessages() {
  bool quit = false;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      continue;
    }
    g_app.DispatchOne(msg);
  }
  return quit;
}

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
}
