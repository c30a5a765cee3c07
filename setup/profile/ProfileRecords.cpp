#include "setup/profile/ProfileRecords.h"

#include <initializer_list>

#include "setup/profile/ProfileFields.h"

namespace {

std::string Joined(std::initializer_list<std::string> fields) {
  std::string out;
  bool first = true;
  for (const std::string& field : fields) {
    if (!first) out += '|';
    out += field;
    first = false;
  }
  return out;
}

int Number(std::string_view value, int n, int absent = 0) {
  std::int16_t number = 0;
  return GetNumberField(value, n, number) ? number : absent;
}

int Flag(std::string_view value, int n) {
  int flag = 0;
  GetFlagField(value, n, flag);
  return flag;
}

std::string TextOf(std::string_view value, int n) {
  std::string text;
  GetTextField(value, n, text);
  return text;
}

}  // namespace

std::string CDestinationRecord::Format() const { return Joined({name, std::to_string(parentId), path}); }

CDestinationRecord CDestinationRecord::Parse(std::string_view value) {
  return CDestinationRecord{TextOf(value, 0), Number(value, 1, -1), TextOf(value, 2)};
}

std::string CGroupRecord::Format() const {
  return Joined({firstText, secondText, std::to_string(setupType[0]), std::to_string(setupType[1]),
                 std::to_string(setupType[2])});
}

CGroupRecord CGroupRecord::Parse(std::string_view value) {
  CGroupRecord record{TextOf(value, 0), TextOf(value, 1)};
  for (int i = 0; i < 3; ++i) record.setupType[i] = Flag(value, 2 + i);
  return record;
}

std::string CTargetRecord::Format() const {
  return Joined({std::to_string(iconIndex), std::to_string(secondNumber), std::to_string(minimized), description,
                 arguments, iconFile, programPath});
}

CTargetRecord CTargetRecord::Parse(std::string_view value) {
  return CTargetRecord{Number(value, 0), Number(value, 1), Flag(value, 2), TextOf(value, 3),
                       TextOf(value, 4), TextOf(value, 5), TextOf(value, 6)};
}

std::string CFileEntryRecord::Format() const {
  return Joined({std::to_string(size), std::to_string(kind), std::to_string(memberCount), std::to_string(diskette),
                 std::to_string(destinationId), text});
}

CFileEntryRecord CFileEntryRecord::Parse(std::string_view value) {
  std::int32_t size = 0;
  GetLongField(value, 0, size);
  return CFileEntryRecord{size, Number(value, 1), Number(value, 2), Number(value, 3), Number(value, 4),
                          TextOf(value, 5)};
}

std::string CDisketteRecord::Format() const { return Joined({label, path}); }

CDisketteRecord CDisketteRecord::Parse(std::string_view value) {
  return CDisketteRecord{TextOf(value, 0), TextOf(value, 1)};
}
