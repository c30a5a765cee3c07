#include "tools/mkkit/KitVerifier.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <set>
#include <vector>

#include "setup/errors/XException.h"
#include "setup/archive/MediaReader.h"
#include "setup/archive/MultiFileException.h"
#include "setup/archive/ZLibException.h"
#include "setup/profile/InstallModel.h"
#include "setup/profile/InstallProfileException.h"
#include "setup/profile/IniTextFile.h"
#include "setup/profile/ProfileEntry.h"
#include "setup/archive/MediaFileName.h"
#include "tools/mkkit/AutorunCheck.h"
#include "tools/mkkit/IniDocument.h"
#include "tools/mkkit/KitCdRoot.h"
#include "tools/mkkit/KitBuilder.h"
#include "tools/mkkit/KitProfile.h"
#include "setup/archive/KitSeal.h"
#include "setup/archive/PartHeaders.h"
#include "tools/mkkit/FileDigest.h"
#include "tools/mkkit/LowerCase.h"

namespace {

[[noreturn]] void Problem(const std::string& text) { throw CKitException(kExitVerifyFailed, text); }

bool IsFile(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// What an exception of the reader says, in the words the setup program
// would show.
std::string Describe(const CException& e) {
  if (const auto* x = dynamic_cast<const CXException*>(&e)) {
    // Named by what failed, not by the code's class names.
    const char* what = dynamic_cast<const CZLibException*>(x)          ? "deflate error"
                       : dynamic_cast<const CMultiFileException*>(x)    ? "archive error"
                       : dynamic_cast<const CInstallProfileException*>(x) ? "profile error"
                                                                          : "error";
    return x->LoadErrorInfo().shortText + " (" + what + " " + std::to_string(x->GetErrorCode()) + ")";
  }
  if (const auto* f = dynamic_cast<const CFileException*>(&e)) {
    return f->m_cause == CFileException::endOfFile ? "the file ends too early" : f->GetErrorMessage();
  }
  return e.GetErrorMessage();
}

// The first offset at which the two files differ, or -1 when they are equal.
std::int64_t FirstDifference(const std::string& a, const std::string& b) {
  CStdioFile fa(a, CFile::modeRead | CFile::typeBinary), fb(b, CFile::modeRead | CFile::typeBinary);
  std::vector<char> ba(65536), bb(65536);
  std::int64_t at = 0;
  for (;;) {
    const UINT na = fa.Read(ba.data(), static_cast<UINT>(ba.size()));
    const UINT nb = fb.Read(bb.data(), static_cast<UINT>(bb.size()));
    const UINT n = std::min(na, nb);
    const auto mismatch = std::mismatch(ba.begin(), ba.begin() + n, bb.begin());
    if (mismatch.first != ba.begin() + n) return at + (mismatch.first - ba.begin());
    if (na != nb) return at + n;
    if (na == 0) return -1;
    at += na;
  }
}

// A folder of scratch files, removed with its files when done.
class ScratchFolder {
public:
  ScratchFolder() {
    char temp[MAX_PATH];
    const DWORD n = ::GetTempPathA(MAX_PATH, temp);
    for (unsigned i = ::GetTickCount() ^ ::GetCurrentProcessId();; ++i) {
      path_ = std::string(temp, n < MAX_PATH ? n : 0) + "mkkit" + std::to_string(i % 100000);
      if (::CreateDirectoryA(path_.c_str(), nullptr)) break;
      if (::GetLastError() != ERROR_ALREADY_EXISTS) throw CKitException(kExitIoError, "cannot make " + path_);
    }
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAA data;
    CFindHandle find(::FindFirstFileA((path_ + "\\*").c_str(), &data));
    if (find.valid()) {
      do {
        const std::string full = path_ + "\\" + data.cFileName;
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(full.c_str());
      } while (::FindNextFileA(find.get(), &data));
    }
    ::RemoveDirectoryA(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

// The kit's diskettes: asking for diskette n "inserts" its folder.
class KitMedia : public CSourceMedia {
public:
  KitMedia(std::string root, MediaKind kind) : root_(std::move(root)), kind_(kind) {}
  std::string Folder(int n) const { return CKitBuilder::DisketteFolder(root_, kind_, n); }

  // The last file asked for that was not found, and its diskette.
  const std::string& GetMissingName() const noexcept { return missingName_; }
  int GetMissingDiskette() const noexcept { return missingDiskette_; }

protected:
  bool PromptForDiskette(const CPathName& expected, int n) override {
    if (!IsFile(Folder(n) + "\\" + expected.GetFileName())) {
      missingName_ = expected.GetFileName();
      missingDiskette_ = n;
      return false;
    }
    SetSourceDir(Folder(n));
    return true;
  }

private:
  std::string root_;
  MediaKind kind_;
  std::string missingName_;
  int missingDiskette_ = 0;
};

// Reads an archive like the setup program, and insists that every part is
// found on the diskette it belongs to.
class CheckedEntry : public CMediaReader {
public:
  CheckedEntry(KitMedia& media, std::string name, int diskette)
      : CMediaReader(media, std::move(name), diskette), media_(media) {}
  // Whether a part ended inside a member's data that does not go on.
  bool EndedInsideData() const noexcept { return endedInsideData_; }

  bool OnEndOfData() override {
    const bool stop = CMediaReader::OnEndOfData();
    if (stop) endedInsideData_ = true;
    if (!stop) {
      const std::string folder = GetPathName().GetDirectory();
      if (Lower(folder) != Lower(media_.Folder(GetDisketteNumber()))) {
        Problem(GetPathName().GetFileName() + " belongs on diskette " + std::to_string(GetDisketteNumber()) +
                " but was found in " + folder);
      }
    }
    return stop;
  }

private:
  KitMedia& media_;
  bool endedInsideData_ = false;
};

}  // namespace

class CKitVerifier::Impl {
public:
  Impl(CKitVerifier& owner) : v_(owner), media_(owner.kitDir_, owner.media_) {}

  KitExitCode Run();

private:
  void Progress(const std::string& line) {
    if (v_.options_.progress) v_.options_.progress(line);
  }
  void ReadDestinations();
  void CompareRecords(const CKitDescription& description);
  bool KnownDestination(std::int16_t id) const { return id == -1 || model_.destinations.Find(id) != nullptr; }
  const KitFile* Described(const std::string& archive, const std::string& name, std::int16_t destination);
  void CheckPlainFile(const std::string& group, const std::string& name, std::int32_t size, int diskette,
                      std::int16_t destination);
  void CheckArchive(const std::string& group, const std::string& name, std::int32_t size, int count, int diskette,
                    bool marked);
  void CheckSetupRecord(const std::string& group, std::int16_t kind, int diskette, std::int16_t destination);
  // The seal: first that every file it lists is there with its size, at
  // the end that every file has its digest.
  void ReadSeal();
  void CheckSealSizes();
  void CheckSealDigests();
  // The CD's menu: every command and picture its autorun.inf names is on the CD.
  void CheckCdRoot();
  std::string SealedPath(const SealEntry& e) const { return media_.Folder(e.diskette) + "\\" + e.name; }

  CKitVerifier& v_;
  KitMedia media_;
  CPathName profile_;
  CIniText profileText_;  // the profile, read once as the setup program reads it
  ScratchFolder scratch_;
  // The profile as the setup program reads it.
  CInstallModel model_;
  std::set<std::string> installed_;            // lower-case names of files that get installed
  std::set<const KitFile*> seen_;              // described files met in the kit
  std::optional<CKitSeal> seal_;
  std::string setupGroup_;                     // the group that installs the setup program into destination 0
  bool setupMissing_ = false;                  // and the program is not there (allowed)
};

void CKitVerifier::Impl::ReadDestinations() {
  // Through the setup program's own table, resolved as the setup program
  // resolves it, with destination 0 at a folder the user might choose.
  try {
    model_.destinations.Load(profileText_);
  } catch (const CInstallProfileException&) {
    Problem("the profile lists no destinations");
  }
  model_.destinations.SetPath(0, "C:\\Program Files\\Product");
  try {
    model_.destinations.Resolve();
  } catch (const CInstallProfileException&) {
    // Name the first destination whose chain stays open.
    for (const auto& d : model_.destinations) {
      if (d->HasParent() && d->path.IsEmpty()) {
        Problem("destination " + std::to_string(d->id) + " cannot be resolved (parent " +
                std::to_string(d->parentId) + ")");
      }
    }
    Problem("the destinations cannot be resolved");
  }
}

void CKitVerifier::Impl::CompareRecords(const CKitDescription& description) {
  CIniDocument expected;
  expected.Parse(CKitProfile::Render(description, {}), "the description");
  for (const char* name : {"destinations", "groups", "targets", "PMGroup", "diskettes"}) {
    const CIniDocument::Section* want = expected.Find(name);
    std::set<std::string> keys;
    if (want) {
      for (const auto& e : want->entries) {
        keys.insert(Lower(e.key));
        CProfileEntry entry("", name, e.key, profile_, false, false);
        entry.ReadFrom(profileText_);
        if (entry.GetValue() != e.value) {
          Problem(std::string("[") + name + "] " + e.key + " is \"" + entry.GetValue() + "\"; the description says \"" +
                  e.value + "\"");
        }
      }
    }
    profileText_.ForEachKey(name, [&](std::string_view key, std::string_view) {
      if (!keys.count(Lower(std::string(key)))) {
        Problem(std::string("[") + name + "] " + std::string(key) + " is not in the description");
      }
    });
  }
}

const KitFile* CKitVerifier::Impl::Described(const std::string& archive, const std::string& name,
                                              std::int16_t destination) {
  const CKitDescription* d = v_.options_.description;
  if (!d) return nullptr;
  for (const KitFile& f : d->files) {
    if (SameName(f.archive, archive) && SameName(f.name, name) && (archive.empty() || f.destination == destination)) {
      seen_.insert(&f);
      return &f;
    }
  }
  Problem((archive.empty() ? name : archive + ": member " + name) + " is in the kit but not in the description");
}

void CKitVerifier::Impl::CheckSetupRecord(const std::string& group, std::int16_t kind, int diskette,
                                          std::int16_t destination) {
  if (kind != 0 || diskette != 1 || destination != 0) return;
  if (setupGroup_.empty()) setupGroup_ = group;
}

void CKitVerifier::Impl::CheckPlainFile(const std::string& group, const std::string& name, std::int32_t size,
                                        int diskette, std::int16_t destination) {
  const std::string path = media_.Folder(diskette) + "\\" + name;
  const bool setupProgram = SameName(name, CKitDescription::kSetupProgramName) && diskette == 1;
  if (setupProgram && setupMissing_) return;  // allowed, and reported as incomplete
  if (!IsFile(path)) Problem(name + " (group " + group + ") is missing from diskette " + std::to_string(diskette));
  CFileStatus status;
  CFile::GetStatus(path, status);
  if (status.m_size != static_cast<std::uint64_t>(size)) {
    Problem(name + " has " + std::to_string(status.m_size) + " bytes, the profile says " + std::to_string(size));
  }
  if (!KnownDestination(destination)) Problem(name + ": unknown destination " + std::to_string(destination));
  // The setup program comes from the command line or [kit], not from the
  // description's files; the seal vouches for its bytes.
  if (const KitFile* f = setupProgram ? nullptr : Described("", name, destination)) {
    const std::int64_t at =
        f->sign ? FirstDifferenceApartFromSignature(path, f->source) : FirstDifference(path, f->source);
    if (at >= 0) Problem(name + " differs from its source " + f->source + " at byte " + std::to_string(at));
  } else {
    FirstDifference(path, path);  // read it through once
  }
  if (destination != -1) installed_.insert(Lower(name));
  ++v_.filesChecked_;
}

void CKitVerifier::Impl::CheckArchive(const std::string& group, const std::string& name, std::int32_t size, int count,
                                      int diskette, bool marked) {
  const std::string where = name + " (group " + group + ", diskette " + std::to_string(diskette) + ")";
  media_.SetSourceDir(media_.Folder(diskette));
  if (!IsFile(media_.Folder(diskette) + "\\" + name)) Problem(where + " is missing");
  CheckedEntry entry(media_, name, diskette);
  std::int64_t total = 0;
  int members = 0;
  std::string member = "its header";
  try {
    entry.OpenArchive(entry.GetSourcePath());
    auto file = entry.CreateMemberFile();
    while (entry.NextEntry(*file)) {
      const CEntryHeader& h = file->GetHeader();
      member = file->GetMemberName();
      Progress("checking " + name + ": " + member);
      if (!KnownDestination(h.GetDestination())) Problem(where + ": member " + member + " has the unknown destination " + std::to_string(h.GetDestination()));
      // Every member is extracted, also those not installed, so that every
      // checksum is tested.
      file->SetOutputPath(CPathName(scratch_.path() + "\\m" + std::to_string(members)));
      entry.Extract(*file);
      if (const KitFile* f = Described(name, FileNamePart(member), h.GetDestination())) {
        const std::string& extracted = file->GetOutputPath().GetPath();
        const std::int64_t at = f->sign ? FirstDifferenceApartFromSignature(extracted, f->source)
                                        : FirstDifference(extracted, f->source);
        if (at >= 0) Problem(where + ": member " + member + " differs from its source " + f->source + " at byte " + std::to_string(at));
        if (h.GetText() != f->text) {
          Problem(where + ": member " + member + " has the text \"" + h.GetText() + "\"; the description says \"" +
                  f->text + "\"");
        }
      }
      ::SetFileAttributesA(file->GetOutputPath().c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA(file->GetOutputPath().c_str());
      if (h.GetDestination() != -1) installed_.insert(Lower(FileNamePart(member)));
      total += h.GetSize();
      ++members;
      ++v_.membersChecked_;
      member = "the header after " + member;
    }
    if (entry.GetPosition() != entry.GetLength()) {
      Problem(where + ": " + std::to_string(entry.GetLength() - entry.GetPosition()) + " bytes after the last member of " +
              entry.GetPathName().GetFileName());
    }
  } catch (CKitException&) {
    throw;
  } catch (CUserException&) {
    // A member goes on in a further part that is not on its diskette.
    const int n = media_.GetMissingDiskette();
    std::string text = where + ": " + member + " goes on in the part " + media_.GetMissingName() +
                       ", which is missing from diskette " + std::to_string(n) + " (" + media_.Folder(n) +
                       "), or the part before it is truncated";
    for (int k = 1; k <= CKitBuilder::kMaxCdFolders; ++k) {
      if (media_.Folder(k) == media_.Folder(n)) continue;
      if (IsFile(media_.Folder(k) + "\\" + media_.GetMissingName())) {
        text += "; it lies in " + media_.Folder(k);
        break;
      }
    }
    Problem(text);
  } catch (CException& e) {
    if (entry.EndedInsideData()) {
      Problem(where + ": the part " + entry.GetPathName().GetFileName() + " ends inside the data of " + member +
              ", which does not go on in a further part: the part is truncated (" + Describe(e) + ")");
    }
    Problem(where + ", " + member + " in " + entry.GetPathName().GetFileName() + ": " + Describe(e));
  }
  if (members != count) Problem(where + " holds " + std::to_string(members) + " members, the profile says " + std::to_string(count));
  if (total != size) Problem(where + " installs " + std::to_string(total) + " bytes, the profile says " + std::to_string(size));
  if (entry.GetDisketteNumber() != diskette && !marked) {
    Problem(where + " goes on to diskette " + std::to_string(entry.GetDisketteNumber()) +
            " but is not marked to be read after the other files of its first diskette");
  }
  ++v_.filesChecked_;
}

KitExitCode CKitVerifier::Impl::Run() {
  const std::string first = media_.Folder(1);
  profile_ = CPathName(first + "\\_setupx.ini");
  profileText_ = ReadIniTextFile(profile_);
  bool incomplete = false;
  if (!IsFile(first + "\\_setupx.exe")) {
    if (!v_.options_.allowMissingSetup) Problem("the setup program _setupx.exe is missing from " + first);
    incomplete = true;
    setupMissing_ = true;
  }
  ReadSeal();
  CheckCdRoot();
  if (seal_) CheckSealSizes();
  ReadDestinations();
  if (v_.options_.description) CompareRecords(*v_.options_.description);

  // The file records through the setup program's own tables, in the order
  // in which it copies them.
  model_.groups.Load(profileText_);
  model_.files.Load(profileText_, model_.groups);
  for (const auto& file : model_.files) {
    const std::string& group = file->group->key;
    const std::string& name = file->GetFileName();
    const int disk = file->GetDisketteNumber();
    if (disk < 1) Problem(name + " (group " + group + ") names no diskette");
    Progress("checking " + name);
    if (SameName(name, CKitDescription::kSetupProgramName)) {
      CheckSetupRecord(group, file->kind, file->marked ? -disk : disk, file->destinationId);
    }
    if (file->kind == CFileEntry::plainFile) {
      CheckPlainFile(group, name, file->size, disk, file->destinationId);
    } else if (file->kind == CFileEntry::archive) {
      CheckArchive(group, name, file->size, file->memberCount, disk, file->marked != 0);
    } else {
      Problem(name + " (group " + group + ") has the unknown kind " + std::to_string(file->kind));
    }
  }
  model_.targets.Load(profileText_, model_.programFolder);
  for (const auto& target : model_.targets) {
    const std::string& key = target.target->key;
    if (!installed_.count(Lower(key))) Problem("program item " + key + " names no installed file");
  }
  if (const CKitDescription* d = v_.options_.description) {
    for (const KitFile& f : d->files) {
      if (!seen_.count(&f)) Problem(f.name + " (" + d->Where(f.line) + ") is missing from the kit");
    }
  }
  if (v_.filesChecked_ == 0) Problem("the profile lists no files");
  if (setupGroup_.empty()) {
    Problem("the profile does not install the setup program _setupx.exe of diskette 1 into destination 0: the "
            "product's uninstall command would name a program that is not there");
  }
  const CGroup* setupGroup = model_.groups.Find(setupGroup_);
  if (!setupGroup || !setupGroup->IsMemberOfSetupType(2)) {
    Problem("the profile installs the setup program _setupx.exe with the group " + setupGroup_ +
            ", which is not in setup type 2: installations do not select it, and the product could not be removed");
  }
  if (seal_) CheckSealDigests();
  if (!setupMissing_) v_.setupSignature_ = ReadAuthenticode(first + "\\_setupx.exe");
  return incomplete ? kExitIncomplete : kExitOk;
}

void CKitVerifier::Impl::CheckCdRoot() {
  const std::string root = media_.Folder(0);
  const std::string autorun = root + "\\" + CKitCdRoot::kAutorunName;
  if (v_.media_ != MediaKind::cd || !IsFile(autorun)) return;
  std::ifstream in(autorun, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string setup = Lower(CKitCdRoot::SetupCommand());
  const std::string problem = FindAutorunProblem(
      text.str(),
      [&](const std::string& path, bool anyExtension) {
        if (setupMissing_ && Lower(path) == setup) return true;  // allowed, and reported as incomplete
        if (!anyExtension) return IsFile(root + "\\" + path);
        WIN32_FIND_DATAA data;
        CFindHandle find(::FindFirstFileA((root + "\\" + path + ".*").c_str(), &data));
        return find.valid();
      },
      &v_.cdMenuNames_);
  if (!problem.empty()) Problem(root + "\\" + problem);
}

void CKitVerifier::Impl::ReadSeal() {
  const std::string path = media_.Folder(1) + "\\" + CKitSeal::kFileName;
  if (!IsFile(path)) return;  // a kit from another writer, or an older mkkit
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  CKitSeal seal;
  if (!seal.Parse(text.str())) Problem(path + " is not a seal that mkkit wrote");
  if (seal.GetMedia() != v_.media_) {
    Problem(path + " seals a " + MediaKindName(seal.GetMedia()) + " kit, but the kit is laid out for " +
            MediaKindName(v_.media_));
  }
  seal_ = std::move(seal);
}

void CKitVerifier::Impl::CheckSealSizes() {
  for (const SealEntry& e : seal_->GetEntries()) {
    const std::string path = SealedPath(e);
    if (setupMissing_ && e.diskette == 1 && SameName(e.name, CKitDescription::kSetupProgramName)) continue;
    if (!IsFile(path)) Problem(path + " is missing; the kit's seal lists it");
    CFileStatus status;
    CFile::GetStatus(path, status);
    if (status.m_size != e.size) {
      Problem(path + " has " + std::to_string(status.m_size) + " bytes; the kit's seal says " + std::to_string(e.size) +
              (status.m_size < e.size ? " (truncated)" : ""));
    }
  }
}

void CKitVerifier::Impl::CheckSealDigests() {
  // The parts of an archive follow each other in the seal: a part begins
  // with the data that the one before it carries over.
  std::uint64_t carried = 0;
  for (const SealEntry& e : seal_->GetEntries()) {
    if (setupMissing_ && e.diskette == 1 && SameName(e.name, CKitDescription::kSetupProgramName)) continue;
    const std::string path = SealedPath(e);
    Progress("checking the seal: " + path);
    std::uint64_t size = 0;
    if (Sha256OfFile(path, size) != e.sha256) {
      Problem(path + " differs from the kit's seal (its SHA-256 is not the one the seal holds)");
    }
    if (const CSealDigest headerDigest = seal_->HeaderDigest(e); !headerDigest.empty()) {
      CCountedFile part;
      part.OpenRead(CPathName(path));
      const PartHeaderWalk walk = WalkPartHeaders(part, carried);
      carried = walk.carried;
      if (walk.digest != headerDigest) {
        Problem(path + " has entry headers other than the kit's seal says (the setup program would refuse it)");
      }
    } else {
      carried = 0;
    }
    ++v_.filesSealed_;
  }
}

KitExitCode CKitVerifier::Verify() {
  if (options_.media) {
    media_ = *options_.media;
  } else if (IsFile(kitDir_ + "\\_setupx.ini")) {
    media_ = MediaKind::flat;
  } else if (IsFile(CKitBuilder::DisketteFolder(kitDir_, MediaKind::cd, 1) + "\\_setupx.ini")) {
    media_ = MediaKind::cd;
  } else if (IsFile(CKitBuilder::DisketteFolder(kitDir_, MediaKind::diskettes, 1) + "\\_setupx.ini")) {
    media_ = MediaKind::diskettes;
  } else {
    Problem("no _setupx.ini in " + kitDir_ + ", in its DISK01 or in its disk1 folder");
  }
  if (!IsFile(CKitBuilder::DisketteFolder(kitDir_, media_, 1) + "\\_setupx.ini")) {
    Problem("no _setupx.ini on the first diskette of " + kitDir_);
  }
  Impl impl(*this);
  return impl.Run();
}
