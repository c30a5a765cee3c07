#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tools/mkkit/KitException.h"
#include "tools/mkkit/KitLayout.h"

namespace {

LayoutItem Plain(const std::string& name, std::uint64_t size) { return LayoutItem{name, false, size, {}, ""}; }
LayoutItem Archive(const std::string& name, std::vector<std::uint32_t> members) {
  return LayoutItem{name, true, 0, std::move(members), ""};
}

// Checks what the reader needs of an archive's parts: they tile the
// archive's bytes, each fits its diskette, and every cut but the last lies
// inside some member's data (from right after its header to one byte before
// its end), with that member, and only such members, marked continued.
void ExpectReadableParts(const LayoutItem& item, const LayoutPlacement& place, std::uint64_t capacity,
                         const std::string& context) {
  std::vector<std::uint64_t> dataStart;
  std::uint64_t at = 0;
  for (auto size : item.members) {
    dataStart.push_back(at + 346);
    at += 346 + size;
  }
  ASSERT_FALSE(place.parts.empty()) << context;
  EXPECT_EQ(0u, place.parts.front().streamBegin) << context;
  EXPECT_EQ(at, place.parts.back().streamEnd) << context;
  std::vector<bool> continued(item.members.size(), false);
  for (std::size_t p = 0; p < place.parts.size(); ++p) {
    const LayoutPart& part = place.parts[p];
    EXPECT_LE(part.FileSize(), capacity) << context << " part " << p;
    EXPECT_LT(part.streamBegin, part.streamEnd) << context << " part " << p;
    if (p + 1 < place.parts.size()) {
      EXPECT_EQ(part.streamEnd, place.parts[p + 1].streamBegin) << context;
      EXPECT_EQ(part.diskette + 1, place.parts[p + 1].diskette) << context;
      bool inside = false;
      for (std::size_t k = 0; k < item.members.size(); ++k) {
        if (part.streamEnd >= dataStart[k] && part.streamEnd < dataStart[k] + item.members[k]) {
          inside = true;
          continued[k] = true;
        }
      }
      EXPECT_TRUE(inside) << context << ": part " << p << " ends at " << part.streamEnd << ", outside any data";
    }
  }
  EXPECT_EQ(continued, place.continued) << context;
}

}  // namespace

TEST(KitLayout, PlainFilesFillDiskettesInWholeClusters) {
  CKitLayout layout(MediaKind::diskettes, 10240, 512);
  layout.Plan({Plain("a", 5000), Plain("b", 4000), Plain("c", 1), Plain("d", 10240)}, 1024);
  // 1024 reserved + 5120 (a) + 4096 (b) = 10240: c goes to diskette 2, d
  // fills diskette 3 exactly.
  const auto& p = layout.GetPlacements();
  EXPECT_EQ(1, p[0].diskette);
  EXPECT_EQ(1, p[1].diskette);
  EXPECT_EQ(2, p[2].diskette);
  EXPECT_EQ(3, p[3].diskette);
  EXPECT_EQ(3, layout.GetDisketteCount());
}

TEST(KitLayout, RefusesWhatCannotBePlaced) {
  const struct {
    std::vector<LayoutItem> items;
    std::uint64_t reserved;
    const char* message;
  } rows[] = {
      {{Plain("big.exe", 10241)}, 0, "big.exe (10241 bytes) is larger than a diskette"},
      {{Plain("x", 1)}, 10752, "do not fit on a diskette"},
      {{Archive("velt.ar9", {20000})}, 0, "needs a part after velt.ar9"},
      // The message names a name that gives every part the archive needs.
      {{Archive("velt.ar9", {20000})}, 0, "it needs 2 parts in all: name it velt.ar1, whose parts run from velt.ar1 to velt.ar2"},
      {{Archive("maps.ar1", {95000})}, 0, "after maps.ar9, but the name cannot be continued"},
      {{Archive("maps.ar1", {95000})}, 0, "it needs 10 parts in all: name it maps.ar0, whose parts run from maps.ar0 to maps.ar9"},
      {{Archive("maps.ar1", {115000})}, 0, "it needs 12 parts in all: name it maps.ara, whose parts run from maps.ara to maps.arl"},
      {{Archive("maps.ar1", {300000})}, 0, "it needs 30 parts in all: no name changed in its last character gives that many"},
      {{Archive("empty.ar1", std::vector<std::uint32_t>(40, 0))}, 0, "too many empty members"},
  };
  for (const auto& row : rows) {
    CKitLayout layout(MediaKind::diskettes, 10240, 512);
    try {
      layout.Plan(row.items, row.reserved);
      ADD_FAILURE() << "accepted: " << row.message;
    } catch (CKitException& e) {
      EXPECT_EQ(kExitBadInput, e.GetExitCode());
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find(row.message)) << e.GetErrorMessage();
    }
  }
}

TEST(KitLayout, CutsNearMemberBoundariesMoveIntoTheData) {
  // Two members; the diskette ends at every point from one header before
  // the end of the first member's data to one header after it.
  const std::uint32_t first = 3000, second = 5000;
  const std::uint64_t firstEnd = 346 + first;  // stream offset where the second header starts
  for (std::int64_t shift = -347; shift <= 347; ++shift) {
    const std::uint64_t capacity = 8 + firstEnd + shift;
    CKitLayout layout(MediaKind::diskettes, capacity, 1);
    const LayoutItem item = Archive("velt.ar1", {first, second});
    layout.Plan({item}, 0);
    ExpectReadableParts(item, layout.GetPlacements()[0], capacity, "shift " + std::to_string(shift));
  }
}

TEST(KitLayout, RandomArchivesAlwaysGiveReadableParts) {
  std::mt19937 random(4242);
  for (int run = 0; run < 300; ++run) {
    // At most ~19 parts, so that the name (ending in 'a') can be raised for all.
    std::vector<std::uint32_t> members(1 + random() % 8);
    for (auto& m : members) m = random() % 4 == 0 ? 0 : random() % 2000;
    members.back() = 1 + random() % 100;  // some member must hold data for cuts to exist
    const std::uint32_t cluster = random() % 2 ? 1 : 512;
    const std::uint64_t capacity = (1024 + random() % 6000) / cluster * cluster + 1024;
    const LayoutItem item = Archive("velt.aa", members);
    CKitLayout layout(MediaKind::diskettes, capacity, cluster);
    try {
      layout.Plan({Plain("first", random() % 2000), item, Plain("after", random() % 600)}, 0);
    } catch (CKitException& e) {
      // Only a run of empty members too long for one diskette may refuse.
      EXPECT_NE(std::string::npos, e.GetErrorMessage().find("empty members")) << e.GetErrorMessage();
      continue;
    }
    const auto& place = layout.GetPlacements()[1];
    ExpectReadableParts(item, place, capacity, "run " + std::to_string(run));
    EXPECT_EQ(place.Spans(), place.parts.size() > 1) << run;
  }
}

TEST(KitLayout, FlatMediaKeepArchivesWhole) {
  CKitLayout layout(MediaKind::flat, 1000, 512);
  layout.Plan({Plain("big", 1 << 20), Archive("a.ar1", {100000, 0, 5})}, 0);
  EXPECT_EQ(1, layout.GetDisketteCount());
  ASSERT_EQ(1u, layout.GetPlacements()[1].parts.size());
  EXPECT_EQ(3u * 346 + 100005, layout.GetPlacements()[1].parts[0].streamEnd);
}
