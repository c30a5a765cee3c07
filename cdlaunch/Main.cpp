// The program's one application object; WinMain hands control to it.
#include "cdlaunch/TheApp.h"

CTheApp theApp;
