// CKitProfile: the setup profile (_setupx.ini) a kit carries, built from
// the description and from what was actually laid out, rendered as INI
// text in the record forms the setup program reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkkit/KitDescription.h"

// One file of the media as the profile lists it in its group's section.
struct ProfileFileRecord {
  std::string group;
  std::string name;
  std::uint32_t size = 0;  // bytes once installed (an archive: all its members)
  int kind = 0;            // 0 plain file, 1 archive
  int count = 1;           // members of an archive
  int diskette = 1;        // negative: the file goes on to later diskettes (read after the others)
  std::int16_t destination = 0;
  std::string text;
  std::string where;       // the description's line, for messages
};

class CKitProfile {
public:
  // The profile's text: [destinations], [groups], one section per group
  // listing its files, [targets], [PMGroup] (when named), [diskettes],
  // and [Product] when the description names its product.
  // Throws CKitException (bad input), naming the description's line, for
  // a value longer than the setup program reads (254 characters).
  static std::string Render(const CKitDescription& description, const std::vector<ProfileFileRecord>& files);
};
