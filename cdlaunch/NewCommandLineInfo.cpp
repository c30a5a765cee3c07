#include "cdlaunch/NewCommandLineInfo.h"

#include "cdlaunch/Resource.h"
#include "framework/Resources.h"

void CNewCommandLineInfo::ParseParam(const char* param, BOOL flag, BOOL last) {
  const std::string name = LoadResourceString(IDS_AUTORUN_SWITCH);
  if (flag && param && !name.empty() && ::lstrcmpiA(param, name.c_str()) == 0) {
    m_autorun = 1;
    return;
  }
  CCommandLineInfo::ParseParam(param, flag, last);
}
