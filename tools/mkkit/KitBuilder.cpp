#include "tools/mkkit/KitBuilder.h"

#include <windows.h>

#include <cstdio>
#include <map>

#include "framework/MemFile.h"
#include "setup/transfer/ArchiveFormat.h"
#include "setup/transfer/ArchiveMember.h"
#include "setup/transfer/DeflateCodec.h"
#include "setup/transfer/StoredCodec.h"
#include "tools/mkkit/ArchiveWriter.h"
#include "tools/mkkit/KitProfile.h"

namespace {

constexpr DWORD kCarriedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

std::string Lower(std::string s) {
  ::CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

std::uint64_t FileSize(const std::string& path) {
  CFileStatus status;
  if (!CFile::GetStatus(path, status)) ThrowBadInput("", "missing file " + path);
  return status.m_size;
}

// Removes everything below dir (not dir itself).
void EmptyFolder(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  CFindHandle owner(find);
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const std::string full = dir + "\\" + name;
    ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      EmptyFolder(full);
      if (!::RemoveDirectoryA(full.c_str())) throw CKitException(kExitIoError, "cannot remove " + full);
    } else if (!::DeleteFileA(full.c_str())) {
      throw CKitException(kExitIoError, "cannot delete " + full);
    }
  } while (::FindNextFileA(find, &data));
}

bool FolderIsEmpty(const std::string& dir) {
  WIN32_FIND_DATAA data;
  CFindHandle find(::FindFirstFileA((dir + "\\*").c_str(), &data));
  if (!find.valid()) return true;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") return false;
  } while (::FindNextFileA(find.get(), &data));
  return true;
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

void CKitBuilder::PrepareOutput() const {
  const std::string& dir = options_.outputDir;
  if (dir.empty() || (dir.size() <= 3 && dir.find(':') != std::string::npos)) {
    ThrowBadInput("", "'" + dir + "' cannot be the output folder");
  }
  const DWORD attributes = ::GetFileAttributesA(dir.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) ThrowBadInput("", dir + " is a file, not a folder");
    if (options_.clean) {
      EmptyFolder(dir);
    } else if (!FolderIsEmpty(dir)) {
      ThrowBadInput("", "the output folder " + dir + " is not empty (--clean empties it first)");
    }
  }
  CPathName(dir + "\\").CreateDirectoryOrThrow();
}

void CKitBuilder::Pack(Archive& archive) {
  for (Member& m : archive.members) {
    const KitFile& f = *m.file;
    CArchiveMember status;
    status.TakeStatus(CPathName(f.source));
    m.header = status.GetHeader();
    m.header.SetName(f.name);
    m.header.SetDestination(f.destination);

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
      throw CKitException(kExitIoError, f.source + " changed while it was being read");
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
  const bool haveSetup = !setup.empty() && ::GetFileAttributesA(setup.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!haveSetup && !options_.allowMissingSetup) {
    ThrowBadInput("", setup.empty() ? "no setup program named (--setup, or setup= in [kit])"
                                    : "the setup program " + setup +
                                          " is missing (--allow-missing-setup builds an incomplete kit)");
  }
  PrepareOutput();

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
    Progress("packing " + archives[a].name + " (" + std::to_string(archives[a].members.size()) + " files, archive " +
             std::to_string(a + 1) + " of " + std::to_string(archives.size()) + ")");
    Pack(archives[a]);
    if (archives[a].members.size() > 32767) ThrowBadInput("", "archive " + archives[a].name + " holds too many files");
  }

  std::vector<LayoutItem> items;
  for (const Slot& slot : slots) {
    LayoutItem item;
    if (slot.plain) {
      item.name = slot.plain->name;
      item.size = FileSize(slot.plain->source);
    } else {
      item.name = archives[slot.archive].name;
      item.archive = true;
      for (const Member& m : archives[slot.archive].members) item.members.push_back(m.header.GetCompressedSize());
    }
    items.push_back(std::move(item));
  }

  // The profile goes on the first diskette, and its size depends on where
  // everything went: plan with room for it until it fits that room.
  layout_ = std::make_unique<CKitLayout>(description_.media, description_.capacity, description_.cluster);
  const std::uint64_t setupSize = haveSetup ? FileSize(setup) : 0;
  std::uint64_t reserve = 2048;
  std::string profile;
  for (;;) {
    layout_->Plan(items, layout_->Occupied(setupSize) + layout_->Occupied(reserve));
    std::vector<ProfileFileRecord> records;
    for (std::size_t i = 0; i < slots.size(); ++i) {
      const LayoutPlacement& place = layout_->GetPlacements()[i];
      ProfileFileRecord r;
      if (slots[i].plain) {
        const KitFile& f = *slots[i].plain;
        r = ProfileFileRecord{f.group, f.name, static_cast<std::uint32_t>(items[i].size), 0, 1, place.diskette,
                              f.destination, f.text};
      } else {
        const Archive& a = archives[slots[i].archive];
        std::uint64_t total = 0;
        for (const Member& m : a.members) total += m.header.GetSize();
        if (total > 0xFFFFFFFFull) ThrowBadInput("", "archive " + a.name + " would install 4 GiB or more");
        r = ProfileFileRecord{a.members.front().file->group, a.name, static_cast<std::uint32_t>(total), 1,
                              static_cast<int>(a.members.size()), place.Spans() ? -place.diskette : place.diskette,
                              0, ""};
      }
      records.push_back(std::move(r));
    }
    profile = CKitProfile::Render(description_, records);
    if (description_.media == MediaKind::flat || profile.size() <= reserve) break;
    reserve = profile.size();
  }

  Progress("writing " + std::to_string(layout_->GetDisketteCount()) + " " +
           (description_.media == MediaKind::flat ? std::string("folder") : "diskette folder(s)"));
  for (int n = 1; n <= layout_->GetDisketteCount(); ++n) {
    CPathName(DisketteFolder(options_.outputDir, description_.media, n) + "\\").CreateDirectoryOrThrow();
  }
  const std::string first = DisketteFolder(options_.outputDir, description_.media, 1);
  if (haveSetup) CopyWithStatus(setup, first + "\\_setupx.exe");
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].plain) {
      WritePlainFile(*slots[i].plain, layout_->GetPlacements()[i].diskette);
    } else {
      WriteArchive(archives[slots[i].archive], layout_->GetPlacements()[i]);
    }
  }
  CNamedFile ini;
  ini.OpenWrite(CPathName(first + "\\_setupx.ini"));
  ini.Write(profile.data(), static_cast<UINT>(profile.size()));
  ini.Close();
  return haveSetup ? kExitOk : kExitIncomplete;
}
