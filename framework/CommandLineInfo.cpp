#include "framework/CommandLineInfo.h"

void CCommandLineInfo::ParseParam(const char* param, BOOL flag, BOOL) {
  if (flag || !param) return;
  if (m_strFileName.empty()) {
    m_strFileName = param;
    m_nShellCommand = FileOpen;
  }
}

void CCommandLineInfo::ParseCommandLine(std::string_view commandLine) {
  const std::vector<std::string> params = SplitCommandLine(commandLine);
  for (std::size_t i = 0; i < params.size(); ++i) {
    const std::string& param = params[i];
    const bool flag = !param.empty() && (param[0] == '/' || param[0] == '-');
    ParseParam(flag ? param.c_str() + 1 : param.c_str(), flag, i + 1 == params.size());
  }
}

std::vector<std::string> CCommandLineInfo::SplitCommandLine(std::string_view text) {
  std::vector<std::string> params;
  std::size_t i = 0;
  const std::size_t n = text.size();
  for (;;) {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= n) break;
    std::string param;
    bool quoted = false;
    while (i < n && (quoted || (text[i] != ' ' && text[i] != '\t'))) {
      if (text[i] == '\\') {
        std::size_t slashes = 0;
        while (i < n && text[i] == '\\') {
          ++slashes;
          ++i;
        }
        if (i < n && text[i] == '"') {
          param.append(slashes / 2, '\\');
          if (slashes % 2) {
            param += '"';
            ++i;
          }
        } else {
          param.append(slashes, '\\');
        }
      } else if (text[i] == '"') {
        // Inside quotes, "" is a literal quote.
        if (quoted && i + 1 < n && text[i + 1] == '"') {
          param += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        param += text[i++];
      }
    }
    params.push_back(std::move(param));
  }
  return params;
}
