// The answers a silent run gives to the message boxes nobody sees. They are
// fixed, so that an administrator can know them in advance:
//   Yes/No and Yes/No/Cancel questions   Yes (go on: install over an
//                                        existing installation, create
//                                        the directory)
//   OK/Cancel, Retry/Cancel              Cancel (never go on past an error)
//   Abort/Retry/Ignore                   Abort
//   a message with OK only               OK
#pragma once

#include <windows.h>

// Whether the box asks something (it has more than one button).
bool IsQuestion(UINT type) noexcept;
// The answer of a silent run to a box of that type (MB_YESNO ...).
int UnattendedAnswer(UINT type) noexcept;
// "Yes", "No", "OK", "Cancel" ... for a message box result.
const char* AnswerName(int answer) noexcept;
