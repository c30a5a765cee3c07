#include "tools/mkkit/KitBuilder.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>

#include "framework/MemFile.h"
#include "setup/archive/ArchiveFormat.h"
#include "setup/archive/ArchiveMember.h"
#include "setup/archive/DeflateCodec.h"
#include "setup/archive/KitSeal.h"
#include "setup/archive/PartHeaders.h"
#include "setup/archive/StoredCodec.h"
#include "tools/mkkit/ArchiveWriter.h"
#include "tools/mkkit/FileDigest.h"
#include "tools/mkkit/KitOutputFolder.h"
#include "tools/mkkit/KitProgramImage.h"
#include "tools/mkkit/KitProfile.h"
#include "tools/mkkit/KitWarnings.h"
#include "tools/mkkit/LowerCase.h"

namespace {

constexpr DWORD kCarriedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

std::uint64_t FileSize(const std::string& path) {
  CFileStatus status;
  if (!CFile::GetStatus(path, status)) ThrowBadInput("", "missing file " + path);
  return status.m_size;
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
  if (n == 0) return root;  // the CD's root
  const std::string name = DisketteFolderName(kind, n);
  return name.empty() ? root : root + "\\" + name;
}

void CKitBuilder::Progress(const std::string& line) const {
  if (options_.progress) options_.progress(line);
}

const std::string& CKitBuilder::Input(const std::string& source) const {
  return signer_ ? signer_->Input(source) : source;
}

std::string CKitBuilder::PlannedSeal(const std::vector<LayoutItem>& items, const std::uint64_t* setupSize,
                                     std::uint64_t profileSize, const CKitCdRoot* cdRoot) const {
  CKitSeal seal(description_.media);
  if (setupSize) seal.AddPlaceholder(1, CKitDescription::kSetupProgramName, *setupSize);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const LayoutPlacement& place = layout_->GetPlacements()[i];
    if (!items[i].archive) {
      seal.AddPlaceholder(place.diskette, items[i].name, items[i].size);
    } else {
      for (const LayoutPart& part : place.parts) seal.AddPlaceholder(part.diskette, part.name, part.FileSize(), true);
    }
  }
  for (const KitProduct::File& f : description_.product.Files()) seal.AddPlaceholder(1, f.name, FileSize(f.source));
  seal.AddPlaceholder(1, "_setupx.ini", profileSize);
  if (cdRoot) {
    for (const CKitCdRoot::File& f : cdRoot->GetFiles()) seal.AddPlaceholder(0, f.name, f.size);
    seal.AddPlaceholder(0, CKitCdRoot::kAutorunName, cdRoot->GetAutorun().size());
  }
  return seal.Render();
}

void CKitBuilder::Pack(Archive& archive) {
  for (Member& m : archive.members) {
    const KitFile& f = *m.file;
    CArchiveMember status;
    {
      CNamedFile input;
      input.OpenRead(CPathName(Input(f.source)));
      status.TakeStatus(input);
    }
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
      source.OpenRead(CPathName(Input(f.source)));
      CDeflateCodec().Transfer(source, packed);
      read = source.GetBytesRead();
      crc = source.GetChecksum();
      method = archive_format::kMethodDeflate;
      if (description_.method == KitMethod::automatic && packed.GetLength() >= static_cast<std::uint64_t>(read)) {
        method = archive_format::kMethodStored;  // deflate would not make it smaller
        storedForNoGain_.insert(&f);
      }
    }
    if (method == archive_format::kMethodStored) {
      CCountedFile source;
      source.OpenRead(CPathName(Input(f.source)));
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
  CopyWithStatus(Input(file.source), DisketteFolder(options_.outputDir, description_.media, diskette) + "\\" + file.name);
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
  if (haveSetup && !IsWindowsProgramImage(setup)) {
    ThrowBadInput(setupWhere, "the setup program " + setup + " is not a Windows program (no PE image of the Windows "
                                                             "subsystem)");
  }

  // The setup program and the files marked for signing are signed first:
  // signing changes their bytes and sizes, which everything after takes
  // from the signed copies. The copies go when the build ends, however.
  CKitSigner signer(options_.signCommand, options_.progress);
  signer_ = &signer;
  struct SignerInUse {
    const CKitSigner*& in;
    ~SignerInUse() { in = nullptr; }
  } signerInUse{signer_};
  signedFiles_.clear();
  if (signer.Active()) {
    if (haveSetup) signer.Sign(setup, CKitDescription::kSetupProgramName, setupWhere);
    for (const KitFile& f : description_.files) {
      if (f.sign) signer.Sign(f.source, f.name, description_.Where(f.line));
    }
  }

  storedForNoGain_.clear();
  warnings_.clear();

  // The root of a CD: its menu program, the menu's files and autorun.inf.
  std::optional<CKitCdRoot> cdRoot;
  if (!options_.cdMenu.empty() && description_.media != MediaKind::cd) {
    throw CKitException(kExitUsage, "--cd-menu writes the root of a CD, but the kit is for " +
                                        std::string(MediaKindName(description_.media)) + " (--media=cd)");
  }
  if (description_.media == MediaKind::cd && (description_.cd.line || !options_.cdMenu.empty())) {
    cdRoot.emplace();
    cdRoot->Plan(description_, options_.cdMenu, options_.defaultLauncher);
    // AutoPlay starts the menu program: it is signed like the setup program.
    if (signer.Active()) {
      CKitCdRoot::File& launcher = cdRoot->Launcher();
      signer.Sign(launcher.source, launcher.name, description_.WhereSection("cd"));
      launcher.size = FileSize(Input(launcher.source));
    }
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
      item.size = FileSize(Input(slot.plain->source));
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
  const std::uint64_t setupSize = haveSetup ? FileSize(Input(setup)) : 0;
  if (setupSize > 0xFFFFFFFFull) ThrowBadInput(setupWhere, "the setup program is 4 GiB or larger");
  // The files of [product] lie beside the profile, which the setup program
  // reads them from before it asks for any diskette.
  std::uint64_t productSize = 0;
  for (const KitProduct::File& f : description_.product.Files()) productSize += layout_->Occupied(FileSize(f.source));
  std::uint64_t reserve = layout_->Occupied(2048);
  std::string profile;
  for (;;) {
    layout_->Plan(items, layout_->Occupied(setupSize) + productSize + reserve,
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
    const std::uint64_t sealSize =
        PlannedSeal(items, haveSetup ? &setupSize : nullptr, profile.size(), cdRoot ? &*cdRoot : nullptr).size();
    const std::uint64_t need = layout_->Occupied(profile.size()) + layout_->Occupied(sealSize);
    if (description_.media == MediaKind::flat || need <= reserve) break;
    reserve = need;
  }
  if (description_.media == MediaKind::cd && layout_->GetDisketteCount() > kMaxCdFolders) {
    ThrowBadInput(description_.Where(description_.mediaLine),
                  "the CD layout needs " + std::to_string(layout_->GetDisketteCount()) + " numbered folders; _setupx "
                  "finds at most " + std::to_string(kMaxCdFolders) + " (DISK01 to DISK99): give a larger capacity");
  }

  warnings_ = CKitWarnings::Find(description_, layout_->GetDisketteCount(), storedForNoGain_);
  for (std::string& w : CKitSigner::Warnings(description_, signer.Active())) warnings_.push_back(std::move(w));
  for (const std::string& w : warnings_) {
    if (options_.warn) options_.warn(w);
  }
  if (options_.warningsAsErrors && !warnings_.empty()) {
    ThrowBadInput("", std::to_string(warnings_.size()) + (warnings_.size() == 1 ? " warning" : " warnings") +
                          ", and --warnings-as-errors makes them errors: nothing was written");
  }

  // Only now, with everything known to fit, is the output folder touched.
  std::vector<std::string> keep{description_.GetPath().substr(0, description_.GetPath().find_last_of("\\/") + 1)};
  if (keep.front().empty()) keep.front() = ".";
  for (const KitFile& f : description_.files) keep.push_back(f.source);
  if (haveSetup) keep.push_back(setup);
  if (cdRoot) {
    for (const CKitCdRoot::File& f : cdRoot->GetFiles()) keep.push_back(f.source);
  }
  for (const KitProduct::File& f : description_.product.Files()) keep.push_back(f.source);
  CKitOutputFolder(options_.outputDir).Prepare(options_.clean, keep);

  Progress("writing " + std::to_string(layout_->GetDisketteCount()) + " " +
           (description_.media == MediaKind::flat ? std::string("folder") : "diskette folder(s)"));
  for (int n = 1; n <= layout_->GetDisketteCount(); ++n) {
    CPathName(DisketteFolder(options_.outputDir, description_.media, n) + "\\").CreateDirectoryOrThrow();
  }
  CKitSeal seal(description_.media);
  summary_ = KitSummary{};
  summary_.media = description_.media;
  summary_.capacity = description_.capacity;
  summary_.disks.resize(static_cast<std::size_t>(layout_->GetDisketteCount()));
  // Every file written goes into the seal and the summary; an archive part
  // with the digest of its entry headers.
  const auto sealed = [&](int diskette, const std::string& name, std::string headerDigest = {}) {
    const bool part = !headerDigest.empty();
    SealEntry entry{name, 0, {}, diskette};
    entry.sha256 = Sha256OfFile(DisketteFolder(options_.outputDir, description_.media, diskette) + "\\" + name, entry.size);
    const std::uint64_t size = entry.size;
    seal.Add(std::move(entry), headerDigest);
    summary_.kitBytes += size;
    ++summary_.kitFiles;
    if (diskette == 0) {
      ++summary_.rootFiles;
      summary_.rootBytes += size;
      return;
    }
    KitSummaryDisk& disk = summary_.disks[static_cast<std::size_t>(diskette - 1)];
    ++(part ? disk.parts : disk.files);
    disk.used += layout_->Occupied(size);
  };
  const std::string first = DisketteFolder(options_.outputDir, description_.media, 1);
  if (haveSetup) {
    CopyWithStatus(Input(setup), first + "\\" + CKitDescription::kSetupProgramName);
    sealed(1, CKitDescription::kSetupProgramName);
    summary_.entries.push_back(KitSummaryEntry{1, "", CKitDescription::kSetupProgramName, setupSize, setupSize, 0, false});
  }
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const LayoutPlacement& place = layout_->GetPlacements()[i];
    if (slots[i].plain) {
      const KitFile& f = *slots[i].plain;
      WritePlainFile(f, place.diskette);
      sealed(place.diskette, f.name);
      summary_.entries.push_back(KitSummaryEntry{place.diskette, "", f.name, items[i].size, items[i].size, f.destination, false});
    } else {
      const Archive& archive = archives[slots[i].archive];
      WriteArchive(archive, place);
      // The parts' headers walked as the setup program walks them, each
      // part told how much of a member's data it begins with.
      std::uint64_t carried = 0;
      for (const LayoutPart& part : place.parts) {
        CCountedFile written;
        written.OpenRead(CPathName(DisketteFolder(options_.outputDir, description_.media, part.diskette) + "\\" + part.name));
        const PartHeaderWalk walk = WalkPartHeaders(written, carried);
        written.Close();
        carried = walk.carried;
        sealed(part.diskette, part.name, walk.digest);
      }
      // Each member is listed on the diskette that holds its header.
      std::uint64_t at = 0;
      for (const Member& m : archive.members) {
        int diskette = place.parts.back().diskette;
        for (const LayoutPart& part : place.parts) {
          if (at < part.streamEnd) {
            diskette = part.diskette;
            break;
          }
        }
        at += CKitLayout::kEntryHeader + m.data.size();
        summary_.entries.push_back(KitSummaryEntry{diskette, archive.name, m.file->name, m.header.GetSize(), m.data.size(),
                                                   m.file->destination,
                                                   m.header.GetMethod() == archive_format::kMethodStored});
      }
    }
  }
  if (cdRoot) {
    for (const CKitCdRoot::File& f : cdRoot->GetFiles()) {
      CopyWithStatus(Input(f.source), options_.outputDir + "\\" + f.name);
      sealed(0, f.name);
    }
    WriteText(options_.outputDir + "\\" + CKitCdRoot::kAutorunName, cdRoot->GetAutorun());
    sealed(0, CKitCdRoot::kAutorunName);
  }
  for (const KitProduct::File& f : description_.product.Files()) {
    CopyWithStatus(f.source, first + "\\" + f.name);
    sealed(1, f.name);
    const std::uint64_t size = FileSize(f.source);
    summary_.entries.push_back(KitSummaryEntry{1, "", f.name, size, size, -1, false});
  }
  WriteText(first + "\\_setupx.ini", profile);
  sealed(1, "_setupx.ini");
  WriteText(first + "\\" + CKitSeal::kFileName, seal.Render());
  {
    CFileStatus status;
    CFile::GetStatus(first + "\\" + CKitSeal::kFileName, status);
    summary_.kitBytes += status.m_size;
    ++summary_.kitFiles;
    ++summary_.disks.front().files;
    summary_.disks.front().used += layout_->Occupied(status.m_size);
  }
  signedFiles_ = signer.GetSignedNames();
  return haveSetup ? kExitOk : kExitIncomplete;
}
