#include "setup/profile/Target.h"

#include "setup/profile/ProfileRecords.h"

std::string CTarget::FormatRecord() const {
  return CTargetRecord{iconIndex, secondNumber, minimized, description, arguments, iconFile, programPath.GetPath()}
      .Format();
}
