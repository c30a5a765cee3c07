// CMutator: damaged copies of valid inputs, for the fuzz targets. A corpus
// holds a format's valid inputs (made by the project's own writers) and the
// tokens the format is made of; a mutator over it and a seed gives mutant
// number n as a pure function of (seed, n), so that any mutant can be made
// again on its own from the two numbers a failure prints.
//
// A mutant is one of the corpus's inputs with one to four of these done to
// it: a bit flipped; a byte set to an edge value (0, 0xFF, 0x7F, 0x80) or
// to any value; a 16- or 32-bit word set to 0, -1, the largest signed
// value, the smallest, 1 or a small number; the input cut short, extended,
// or a block of it deleted, repeated or swapped with another; the start of
// the input joined to the rest of another input of the corpus; a token of
// the format inserted or written over the bytes at some place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text);
std::string ToText(const Bytes& bytes);

struct Corpus {
  std::vector<Bytes> inputs;        // valid inputs; at least one
  std::vector<std::string> tokens;  // the format's own words ("mfen", "[groups]", "=", "\r\n" ...)
  // A text format: tokens are placed at line starts as often as anywhere.
  bool text = false;
};

class CMutator {
public:
  // Mutants never grow beyond maxSize bytes.
  CMutator(Corpus corpus, std::uint64_t seed, std::size_t maxSize = 1u << 20);

  // Mutant n; recipe, when given, receives what was done ("dword@288=ffffffff
  // cut@400").
  Bytes Make(std::uint64_t n, std::string* recipe = nullptr) const;

  const Corpus& GetCorpus() const noexcept { return corpus_; }
  std::uint64_t GetSeed() const noexcept { return seed_; }

private:
  class Random;
  void MutateOnce(Random& random, Bytes& bytes, std::string& recipe) const;

  Corpus corpus_;
  std::uint64_t seed_;
  std::size_t maxSize_;
};

}  // namespace fuzz
