#include "setup/profile/Target.h"

std::string CTarget::FormatRecord() const {
  return std::to_string(iconIndex) + "|" + std::to_string(secondNumber) + "|" + std::to_string(minimized) + "|" +
         description + "|" + arguments + "|" + iconFile + "|" + programPath.GetPath();
}
