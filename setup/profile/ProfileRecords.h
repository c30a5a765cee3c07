// The record forms of the setup profile and the install log: each value of
// their data-model sections is one record, its fields separated by '|'
// (ProfileFields.h). Each form is parsed here for the setup program's
// loaders and formatted here for the log's writer and the kit builder's
// profile, so that all three read and write the same text.
//
// Formatting writes each field as given; parsing reads numbers as the
// loaders keep them (16 bits, sizes 32 bits, flags 0 or 1), a missing field
// as empty text or 0 unless a form says otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// [destinations]: "name|parent|path"; a missing parent is -1 (none).
struct CDestinationRecord {
  std::string name;
  int parentId = -1;
  std::string path;

  std::string Format() const;
  static CDestinationRecord Parse(std::string_view value);
};

// [groups]: "first text|second text|type 1|type 2|type 3".
struct CGroupRecord {
  std::string firstText;
  std::string secondText;
  int setupType[3] = {0, 0, 0};  // member of setup types 1, 2 and 3

  std::string Format() const;
  static CGroupRecord Parse(std::string_view value);
};

// [targets]: "icon index|second number|minimized|description|arguments|icon
// file|program path".
struct CTargetRecord {
  int iconIndex = 0;
  int secondNumber = 0;
  int minimized = 0;
  std::string description;
  std::string arguments;
  std::string iconFile;
  std::string programPath;

  std::string Format() const;
  static CTargetRecord Parse(std::string_view value);
};

// A group's section of the profile: "size|kind|count|diskette|destination|
// text"; a negative diskette number is the diskette marked.
struct CFileEntryRecord {
  std::int64_t size = 0;
  int kind = 0;
  int memberCount = 0;
  int diskette = 0;
  int destinationId = 0;
  std::string text;

  std::string Format() const;
  static CFileEntryRecord Parse(std::string_view value);
};

// [diskettes]: "label|path".
struct CDisketteRecord {
  std::string label;
  std::string path;

  std::string Format() const;
  static CDisketteRecord Parse(std::string_view value);
};
