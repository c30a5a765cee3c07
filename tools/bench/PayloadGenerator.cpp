#include "tools/bench/PayloadGenerator.h"

#include <string>

CPayloadGenerator::Bytes CPayloadGenerator::Make(Kind kind, std::size_t size) {
  switch (kind) {
    case Kind::text: return MakeText(size);
    case Kind::records: return MakeRecords(size);
    case Kind::random: break;
  }
  return MakeNoise(size);
}

CPayloadGenerator::Bytes CPayloadGenerator::MakeText(std::size_t size) {
  static const char* const words[] = {"the", "kit", "diskette", "setup", "archive", "member", "install", "folder",
                                      "Veltrane", "profile", "group", "program", "copies", "reads", "of", "and",
                                      "a", "to", "in", "is", "file", "data", "system", "directory", "version"};
  std::string text;
  while (text.size() < size) {
    text += std::to_string(random_() % 100000) + ": ";
    for (int w = 3 + static_cast<int>(random_() % 12); w > 0; --w) text += std::string(words[random_() % 25]) + " ";
    text += "\r\n";
  }
  return Bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size));
}

CPayloadGenerator::Bytes CPayloadGenerator::MakeRecords(std::size_t size) {
  // Fixed-size records with slowly changing fields, as a data file holds them.
  Bytes out;
  std::uint32_t id = 1000, stamp = 820454400;
  float value = 1.0f;
  while (out.size() < size) {
    id += 1 + random_() % 3;
    stamp += random_() % 60;
    value += static_cast<float>(static_cast<int>(random_() % 200) - 100) / 1000.0f;
    const std::uint16_t flags = static_cast<std::uint16_t>(random_() % 4);
    const std::uint8_t* parts[] = {reinterpret_cast<const std::uint8_t*>(&id), reinterpret_cast<const std::uint8_t*>(&stamp),
                                   reinterpret_cast<const std::uint8_t*>(&value)};
    for (auto* p : parts) out.insert(out.end(), p, p + 4);
    out.insert(out.end(), {static_cast<std::uint8_t>(flags), 0, 'R', 'C'});
  }
  out.resize(size);
  return out;
}

CPayloadGenerator::Bytes CPayloadGenerator::MakeNoise(std::size_t size) {
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(random_() >> 24);
  return out;
}

std::vector<std::size_t> CPayloadGenerator::SplitSizes(int count, std::size_t total) {
  std::vector<std::size_t> weights(static_cast<std::size_t>(count));
  std::size_t sum = 0;
  for (auto& w : weights) sum += w = 1 + random_() % 64;
  std::vector<std::size_t> sizes;
  std::size_t left = total;
  for (int i = 0; i < count; ++i) {
    const std::size_t size = i + 1 == count ? left : static_cast<std::size_t>(
        static_cast<std::uint64_t>(total) * weights[static_cast<std::size_t>(i)] / sum);
    sizes.push_back(size);
    left -= size;
  }
  return sizes;
}
