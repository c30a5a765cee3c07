#include "tools/mkkit/KitBuilder.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>

#include "framework/MemFile.h"
#include "setup/archive/ArchiveFormat.h"
#include "setup/archive/ArchiveMember.h"
#include "setup/archive/DeflateCodec.h"
#include "setup/archive/StoredCodec.h"
#include "tools/mkkit/ArchiveWriter.h"
#include "tools/mkkit/KitOutputFolder.h"
#include "tools/mkkit/KitProfile.h"
#include "tools/mkkit/KitSeal.h"
#include "tools/mkkit/LowerCase.h"

namespace {

constexpr DWORD kCarriedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

std::uint64_t FileSize(const std::string& path) {
  CFileStatus status;
  if (!CFile::GetStatus(path, status)) ThrowBadInput("", "missing file " + path);
  return status.m_size;
}

// Whether path is a program Windows starts as a windowed application,
// by the test SHGetFileInfo's SHGFI_EXETYPE makes: an "MZ" header leading
// to a "PE" image whose subsystem is the Windows GUI.
bool IsWindowsProgram(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<unsigned char, 4096> head{};
  in.read(reinterpret_cast<char*>(head.data()), head.size());
  const auto size = static_cast<std::size_t>(in.gcount());
  const auto u16 = [&](std::size_t at) { return static_cast<unsigned>(head[at] | head[at + 1] << 8); };
  if (size < 0x40 || head[0] != 'M' || head[1] != 'Z') return false;
  const std::size_t pe = u16(0x3C) | static_cast<std::size_t>(u16(0x3E)) << 16;
  const std::size_t optional = pe + 24;  // after the signature and the file header
  if (pe > size || size - pe < 24 + 70) return false;
  if (head[pe] != 'P' || head[pe + 1] != 'E' || head[pe + 2] != 0 || head[pe + 3] != 0) return false;
  const unsigned magic = u16(optional);
  if (magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC && magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) return false;
  return u16(optional + 68) == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}

// Copies source to destination with the stored codec and gives the copy
// the source's time and attributes.
void CopyWithStatus(const std::string& source, const std::string& destination) {
  CNamedFile in, out;
  in.OpenRead(CPathName(source));
  out.OpenWrite(CPathName(destination));
  CStoredCodec().Transfer(in, out);
  out.Close();
  CFileStatus status;
  if (!CFile::GetStatus(source, status)) ThrowBadInput("", "missing file " + source);
  CFileStatus stamp;
  stamp.m_mtime = status.m_mtime;
  stamp.m_attribute = status.m_attribute & kCarriedAttributes;
  CFile::SetStatus(destination, stamp);
}

void WriteText(const std::string& path, const std::string& text) {
  CNamedFile file;
  file.OpenWrite(CPathName(path));
  file.Write(text.data(), static_cast<UINT>(text.size()));
  file.Close();
}

}  // namespace

struct CKitBuilder::Member {
  const KitFile* file = nullptr;
  CEntryHeader header;
  std::vector<std::uint8_t> data;
};

struct CKitBuilder::Archive {
  std::string name;
  std::vector<Member> members;
};

std::string CKitBuilder::DisketteFolder(const std::string& root, MediaKind kind, int n) {
  char name[32];
  switch (kind) {
    case MediaKind::diskettes: std::snprintf(name, sizeof name, "\\disk%d", n); break;
    case MediaKind::cd: std::snprintf(name, sizeof name, "\\DISK%02d", n); break;
    default: return root;
  }
  return root + name;
}

void CKitBuilder::Progress(const std::string& line) const {
  if (options_.progress) options_.progress(line);
}

std::string CKitBuilder::PlannedSeal(const std::vector<LayoutItem>& items, const std::uint64_t* setupSize,
                                     std::uint64_t profileSize) const {
  CKitSeal seal(description_.media);
  if (setupSize) seal.AddPlaceholder(1, CKitDescription::kSetupProgramName, *setupSize);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const LayoutPlacement& place = layout_->GetPlacements()[i];
    if (!items[i].archive) {
      seal.AddPlaceholder(place.diskette, items[i].name, items[i].size);
    } else {
      for (const LayoutPart& part : place.parts) seal.AddPlaceholder(part.diskette, part.name, part.FileSize());
    }
  }
  seal.AddPlaceholder(1, "_setupx.ini", profileSize);
  return seal.Render();
}

void CKitBuilder::Pack(Archive& archive) {
  for (Member& m : archive.members) {
    const KitFile& f = *m.file;
    CArchiveMember status;
    status.TakeStatus(CPathName(f.source));
    m.header = status.GetHeader();
    m.header.SetName(f.name);
    m.header.SetDestination(f.destination);
    m.header.SetText(f.text);

    CMemFile packed;
    std::uint32_t method = archive_format::kMethodStored;
    std::int64_t read = 0;
    std::uint32_t crc = 0;
    if (description_.method != KitMethod::stored) {
      CCountedFile source;
      source.OpenRead(CPathName(f.source));
      CDeflateCodec().Transfer(source, packed);
      read = source.GetBytesRead();
      crc = source.GetChecksum();
      method = archive_format::kMethodDeflate;
      if (description_.method == KitMethod::automatic && packed.GetLength() >= static_cast<std::uint64_t>(read)) {
        method = archive_format::kMethodStored;  // deflate would not make it smaller
      }
    }
    if (method == archive_format::kMethodStored) {
      CCountedFile source;
      source.OpenRead(CPathName(f.source));
      packed.SetLength(0);
      CStoredCodec().Transfer(source, packed);
      read = source.GetBytesRead();
      crc = source.GetChecksum();
    }
    if (read != m.header.GetSize()) {
      throw CKitException(kExitIoError, description_.Where(f.line) + ": " + f.source + " changed while it was being read");
    }
    m.data = packed.Detach();
    m.header.SetMethod(method);
    m.header.SetChecksum(crc);
    m.header.SetCompressedSize(static_cast<std::uint32_t>(m.data.size()));
  }
}

void CKitBuilder::WritePlainFile(const KitFile& file, int diskette) const {
  CopyWithStatus(file.source, DisketteFolder(options_.outputDir, description_.media, diskette) + "\\" + file.name);
}

void CKitBuilder::WriteArchive(const Archive& archive, const LayoutPlacement& placement) const {
  CArchiveWriter writer([this](const LayoutPart& part) {
    return CPathName(DisketteFolder(options_.outputDir, description_.media, part.diskette) + "\\" + part.name);
  });
  writer.Begin(placement.parts);
  for (std::size_t k = 0; k < archive.members.size(); ++k) {
    CEntryHeader header = archive.members[k].header;
    header.SetContinued(placement.continued[k]);
    writer.WriteMember(header, archive.members[k].data);
  }
  writer.Finish();
}

KitExitCode CKitBuilder::Build() {
  const std::string setup = options_.setupProgram.empty() ? description_.setupProgram : options_.setupProgram;
  const std::string setupWhere = options_.setupProgram.empty() && description_.setupLine
                                     ? description_.Where(description_.setupLine)
                                     : std::string("--setup");
  const DWORD setupAttributes = setup.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(setup.c_str());
  const bool haveSetup = setupAttributes != INVALID_FILE_ATTRIBUTES;
  if (!haveSetup && !options_.allowMissingSetup) {
    ThrowBadInput(setup.empty() ? description_.GetPath() : setupWhere,
                  setup.empty() ? "no setup program named (--setup, or setup= in [kit])"
                                : "the setup program " + setup +
                                      " is missing (--allow-missing-setup builds an incomplete kit)");
  }
  if (haveSetup && (setupAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ThrowBadInput(setupWhere, "the setup program " + setup + " is a folder, not a file");
  }
  if (haveSetup && !IsWindowsProgram(setup)) {
    ThrowBadInput(setupWhere, "the setup program " + setup + " is not a Windows program (no PE image of the Windows "
                                                             "subsystem)");
  }

  // The media files in description order; an archive stands where its
  // first member is named.
  struct Slot {
    const KitFile* plain = nullptr;
    std::size_t archive = 0;
  };
  std::vector<Slot> slots;
  std::vector<Archive> archives;
  std::map<std::string, std::size_t> archiveIndex;
  for (const KitFile& f : description_.files) {
    if (f.archive.empty()) {
      slots.push_back(Slot{&f, 0});
      continue;
    }
    const auto [it, added] = archiveIndex.emplace(Lower(f.archive), archives.size());
    if (added) {
      archives.push_back(Archive{f.archive, {}});
      slots.push_back(Slot{nullptr, it->second});
    }
    archives[it->second].members.push_back(Member{&f, {}, {}});
  }
  for (std::size_t a = 0; a < archives.size(); ++a) {
    const std::string where = description_.Where(archives[a].members.front().file->line);
    if (archives[a].members.size() > 32767) ThrowBadInput(where, "archive " + archives[a].name + " holds too many files");
    Progress("packing " + archives[a].name + " (" + std::to_string(archives[a].members.size()) + " files, archive " +
             std::to_string(a + 1) + " of " + std::to_string(archives.size()) + ")");
    Pack(archives[a]);
  }

  std::vector<LayoutItem> items;
  for (const Slot& slot : slots) {
    LayoutItem item;
    if (slot.plain) {
      item.name = slot.plain->name;
      item.size = FileSize(slot.plain->source);
      item.where = description_.Where(slot.plain->line);
    } else {
      item.name = archives[slot.archive].name;
      item.archive = true;
      for (const Member& m : archives[slot.archive].members) item.members.push_back(m.header.GetCompressedSize());
      item.where = description_.Where(archives[slot.archive].members.front().file->line);
    }
    items.push_back(std::move(item));
  }

  // The profile and the seal go on the first diskette, and their sizes
  // depend on where everything went: plan with room for them until they
  // fit that room.
  layout_ = std::make_unique<CKitLayout>(description_.media, description_.capacity, description_.cluster);
  const std::uint64_t setupSize = haveSetup ? FileSize(setup) : 0;
  if (setupSize > 0xFFFFFFFFull) ThrowBadInput(setupWhere, "the setup program is 4 GiB or larger");
  std::uint64_t reserve = layout_->Occupied(2048);
  std::string profile;
  for (;;) {
    layout_->Plan(items, layout_->Occupied(setupSize) + reserve,
                  description_.capacityLine ? description_.Where(description_.capacityLine) : description_.GetPath());
    // The setup program on the first diskette is also the first file of
    // its group, installed into the installation directory, so that the
    // product's uninstall command finds it there.
    const KitGroup& setupGroup = description_.SetupGroup();
    std::vector<ProfileFileRecord> records{ProfileFileRecord{setupGroup.key, CKitDescription::kSetupProgramName,
                                                             static_cast<std::uint32_t>(setupSize), 0, 1, 1, 0, "",
                                                             setupWhere}};
    for (std::size_t i = 0; i < slots.size(); ++i) {
      const LayoutPlacement& place = layout_->GetPlacements()[i];
      ProfileFileRecord r;
      if (slots[i].plain) {
        const KitFile& f = *slots[i].plain;
        r = ProfileFileRecord{f.group, f.name, static_cast<std::uint32_t>(items[i].size), 0, 1, place.diskette,
                              f.destination, f.text, items[i].where};
      } else {
        const Archive& a = archives[slots[i].archive];
        std::uint64_t total = 0;
        for (const Member& m : a.members) total += m.header.GetSize();
        if (total > 0xFFFFFFFFull) ThrowBadInput(items[i].where, "archive " + a.name + " would install 4 GiB or more");
        r = ProfileFileRecord{a.members.front().file->group, a.name, static_cast<std::uint32_t>(total), 1,
                              static_cast<int>(a.members.size()), place.Spans() ? -place.diskette : place.diskette,
                              0, "", items[i].where};
      }
      records.push_back(std::move(r));
    }
    profile = CKitProfile::Render(description_, records);
    const std::uint64_t sealSize = PlannedSeal(items, haveSetup ? &setupSize : nullptr, profile.size()).size();
    const std::uint64_t need = layout_->Occupied(profile.size()) + layout_->Occupied(sealSize);
    if (description_.media == MediaKind::flat || need <= reserve) break;
    reserve = need;
  }
  if (description_.media == MediaKind::cd && layout_->GetDisketteCount() > kMaxCdFolders) {
    ThrowBadInput(description_.Where(description_.mediaLine),
                  "the CD layout needs " + std::to_string(layout_->GetDisketteCount()) + " numbered folders; _setupx "
                  "finds at most " + std::to_string(kMaxCdFolders) + " (DISK01 to DISK99): give a larger capacity");
  }

  // Only now, with everything known to fit, is the output folder touched.
  std::vector<std::string> keep{description_.GetPath().substr(0, description_.GetPath().find_last_of("\\/") + 1)};
  if (keep.front().empty()) keep.front() = ".";
  for (const KitFile& f : description_.files) keep.push_back(f.source);
  if (haveSetup) keep.push_back(setup);
  CKitOutputFolder(options_.outputDir).Prepare(options_.clean, keep);

  Progress("writing " + std::to_string(layout_->GetDisketteCount()) + " " +
           (description_.media == MediaKind::flat ? std::string("folder") : "diskette folder(s)"));
  for (int n = 1; n <= layout_->GetDisketteCount(); ++n) {
    CPathName(DisketteFolder(options_.outputDir, description_.media, n) + "\\").CreateDirectoryOrThrow();
  }
  CKitSeal seal(description_.media);
  const std::string first = DisketteFolder(options_.outputDir, description_.media, 1);
  if (haveSetup) {
    CopyWithStatus(setup, first + "\\" + CKitDescription::kSetupProgramName);
    seal.AddFile(1, CKitDescription::kSetupProgramName, first + "\\" + CKitDescription::kSetupProgramName);
  }
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const LayoutPlacement& place = layout_->GetPlacements()[i];
    if (slots[i].plain) {
      WritePlainFile(*slots[i].plain, place.diskette);
      seal.AddFile(place.diskette, slots[i].plain->name,
                   DisketteFolder(options_.outputDir, description_.media, place.diskette) + "\\" + slots[i].plain->name);
    } else {
      WriteArchive(archives[slots[i].archive], place);
      for (const LayoutPart& part : place.parts) {
        seal.AddFile(part.diskette, part.name, DisketteFolder(options_.outputDir, description_.media, part.diskette) +
                                                   "\\" + part.name);
      }
    }
  }
  WriteText(first + "\\_setupx.ini", profile);
  seal.AddFile(1, "_setupx.ini", first + "\\_setupx.ini");
  WriteText(first + "\\" + CKitSeal::kFileName, seal.Render());
  return haveSetup ? kExitOk : kExitIncomplete;
}
