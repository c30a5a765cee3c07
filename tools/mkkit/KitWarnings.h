// CKitWarnings: what is odd about a kit that builds all the same, each in
// words that say why it matters, found before anything is written (so that
// --warnings-as-errors leaves the output folder as it was):
//   further diskettes without a label, labels of diskettes the kit does not
//   have, groups without files, destinations no file uses, -D names the
//   description never uses, program items whose file only groups that
//   installations never select install, and groups whose archive members
//   (of 1 KiB or more) are mostly stored because deflate did not make them
//   smaller.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "tools/mkkit/KitDescription.h"

class CKitWarnings {
public:
  // Each warning is "FILE:LINE: warning: TEXT". diskettes is the number the
  // kit takes; storedForNoGain the archive members that deflate did not
  // make smaller and that were therefore stored.
  static std::vector<std::string> Find(const CKitDescription& description, int diskettes,
                                       const std::set<const KitFile*>& storedForNoGain);
};
