// CInstallPolicy: what the copy engine asks of whoever runs it: whether to
// stop, and what to do about a file that cannot be installed. The engine
// knows no window and no application object; the answers come from here.
#pragma once

#include <string>

class CException;

class CInstallPolicy {
public:
  virtual ~CInstallPolicy() = default;

  // Between two transfers (before each member of an archive, after each
  // entry): lets waiting messages through, as often as the policy finds
  // worth it, and says whether the copy is to stop now because it was
  // ended from outside (for example the close question answered Yes). The
  // engine then stops without recording a cause: whoever ended the run has.
  virtual bool StopRequested() = 0;
  // An entry failed with e: true to go on with the next entry ("Continue
  // Operation"), false to end the copy ("Cancel Operation").
  virtual bool AskContinueAfterError(const CException& e, const std::string& entryFileName) = 0;
};
