#include "cdlaunch/TheApp.h"


#include "cdlaunch/AutoPlayFrame.h"
#include "cdlaunch/ConfigFile.h"
#include "cdlaunch/NewCommandLineInfo.h"
#include "cdlaunch/Resource.h"
#include "framework/Resources.h"
#include "framework/ScopedHandle.h"

namespace {

// Registry data are read into a buffer of this size; longer data do not match.
constexpr DWORD kRegistryDataBytes = 260;

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool EqualNoCase(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// The predefined key a root name stands for; null for unknown names.
HKEY RootKeyFromName(const std::string& name) {
  static const struct {
    UINT nameId;
    HKEY key;
  } roots[] = {
      {IDS_ROOT_CURRENT_USER, HKEY_CURRENT_USER},   {IDS_ROOT_CLASSES_ROOT, HKEY_CLASSES_ROOT},
      {IDS_ROOT_LOCAL_MACHINE, HKEY_LOCAL_MACHINE}, {IDS_ROOT_USERS, HKEY_USERS},
      {IDS_ROOT_DYN_DATA, HKEY_DYN_DATA},
  };
  for (const auto& root : roots) {
    const std::string rootName = LoadResourceString(root.nameId);
    if (!rootName.empty() && EqualNoCase(name, rootName)) return root.key;
  }
  return nullptr;
}

}  // namespace

CTheApp::CTheApp() = default;
CTheApp::~CTheApp() = default;

CTheApp* TheApp() { return dynamic_cast<CTheApp*>(AfxGetApp()); }

std::string CTheApp::GetModulePath() const {
  char path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n < MAX_PATH ? n : MAX_PATH - 1);
}

std::string CTheApp::GetConfigurationPath() {
  const std::string module = GetModulePath();
  char full[MAX_PATH] = {};
  const DWORD n = ::GetFullPathNameA(module.c_str(), MAX_PATH, full, nullptr);
  std::string directory = (n > 0 && n < MAX_PATH) ? std::string(full, n) : module;
  const auto slash = directory.find_last_of('\\');
  if (slash != std::string::npos) directory.resize(slash + 1);
  ::SetCurrentDirectoryA(directory.c_str());
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  programDirectory_ = directory;
  return directory + LoadResourceString(IDS_CONFIG_FILE);
}

BOOL CTheApp::CheckRegistryCondition() {
  const CConfigFile config(GetConfigurationPath());
  const std::string section = LoadResourceString(IDS_SECTION_REGISTRY);
  const std::string keyText = config.GetString(section, LoadResourceString(IDS_KEY_KEY));
  if (keyText.empty()) return FALSE;

  const auto slash = keyText.find('\\');
  if (slash == std::string::npos) return FALSE;
  const HKEY root = RootKeyFromName(keyText.substr(0, slash));
  if (!root) return FALSE;
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, keyText.c_str() + slash + 1, 0, KEY_READ, &opened) != ERROR_SUCCESS) return FALSE;
  const CRegistryKeyHandle key(opened);

  const std::string valueText = config.GetString(section, LoadResourceString(IDS_KEY_VALUE));
  if (valueText.empty()) return TRUE;  // the key's existence suffices

  const auto comma = valueText.find(',');
  const std::string name = comma == std::string::npos ? std::string() : Trim(valueText.substr(0, comma));
  const std::string expected = comma == std::string::npos ? std::string() : Trim(valueText.substr(comma + 1));
  if (name.empty() || expected.empty()) {
    ShowMessage(LoadResourceString(IDS_BAD_VALUE), MB_OK);
    return FALSE;
  }

  BYTE data[kRegistryDataBytes] = {};
  DWORD size = sizeof data;
  if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, data, &size) != ERROR_SUCCESS) return FALSE;
  // The data are compared as text whatever the value's type; they end at the
  // first NUL or at the size returned.
  const auto* text = reinterpret_cast<const char*>(data);
  std::size_t length = 0;
  while (length < size && length < sizeof data && text[length] != '\0') ++length;
  return EqualNoCase(Trim(std::string(text, length)), expected) ? TRUE : FALSE;
}

bool CTheApp::IsOldWindowsNT() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExA(&version)) return false;
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion < 4;
}

int CTheApp::ShowMessage(const std::string& text, UINT type) { return AfxMessageBox(text, type); }

BOOL CTheApp::InitInstance() {
  CWinApp::InitInstance();
  if (m_title.empty()) {
    // Message boxes carry the program's name.
    std::string name = GetModulePath();
    name.erase(0, name.find_last_of("\\/:") + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    m_title = name;
  }

  CNewCommandLineInfo commandLine;
  commandLine.ParseCommandLine(m_lpCmdLine);
  if (commandLine.m_autorun && CheckRegistryCondition()) return FALSE;

  auto menu = std::make_unique<CAutoPlayFrame>();
  if (menu->Create()) {
    frame_ = std::move(menu);
    m_pMainWnd = frame_.get();
  }
  // The menu opens no documents: the rest of the command line has no effect.
  return m_pMainWnd != nullptr;
}

int CTheApp::ExitInstance() {
  if (m_pMainWnd == frame_.get()) m_pMainWnd = nullptr;
  frame_.reset();
  return CWinApp::ExitInstance();
}
