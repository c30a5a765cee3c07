#include "setup/wizard/KitProduct.h"

#include "framework/BmpFile.h"
#include "framework/Exception.h"
#include "setup/archive/KitSealFile.h"
#include "setup/log/VerboseLog.h"
#include "setup/paths/PathName.h"
#include "setup/profile/IniText.h"
#include "setup/profile/IniTextFile.h"
#include "setup/profile/InstallProfileException.h"
#include "framework/JoinText.h"

namespace {

[[noreturn]] void ThrowNotTheProduct(const CPathName& file, const std::string& why) {
  CInstallProfileException e(CInstallProfileException::badProduct);
  e.SetSubject(JoinText({file.GetPath(), ": ", why}));
  throw e;
}

std::string DescribeProduct(const CProductIdentity& product) {
  return product.named ? JoinText({"the product ", product.name, " (key ", product.key, ")"}) : "no product";
}

}  // namespace

CProductIdentity ReadKitProduct(const CPathName& profile) {
  if (!profile.Exists()) return CProductIdentity::Builtin();
  const std::optional<CKitSeal> seal = ReadKitSealBeside(profile);
  if (seal) CheckSealedFile(*seal, 1, profile);
  return CProductIdentity::Read(ReadIniTextFile(profile));
}

CProductIdentity ReadLogProduct(const CIniText& log, const std::string& key) {
  try {
    CProductIdentity product = CProductIdentity::Read(log);
    if (product.named && product.key == key) return product;
  } catch (const CException&) {
    // The Reading page names what is wrong.
  }
  CProductIdentity unknown;
  unknown.named = true;
  unknown.name = unknown.key = key;
  unknown.hostMenu = false;
  return unknown;
}

void CheckSameProduct(const CIniText& text, const CProductIdentity& product, const CPathName& file) {
  CProductIdentity named;
  try {
    named = CProductIdentity::Read(text);
  } catch (CXException& e) {
    e.SetSubject(JoinText({file.GetPath(), ", ", e.GetSubject()}));
    throw;
  }
  if (named.named != product.named || named.key != product.key) {
    ThrowNotTheProduct(file, JoinText({"it names ", DescribeProduct(named), ", but this run is for ", DescribeProduct(product)}));
  }
  if (named.named && named.program.empty()) ThrowNotTheProduct(file, "[Product] names no program");
}

std::string ReadKitFile(const CPathName& profile, const CKitSeal* seal, const std::string& name,
                        std::uint64_t maxBytes) {
  CPathName path = profile;
  path.SetFileName(name);
  return ReadSealedFile(seal, 1, path, maxBytes);
}

std::vector<unsigned char> ReadKitPicture(const CPathName& profile, const CKitSeal* seal, const std::string& name,
                                          CVerboseLog& log) noexcept {
  try {
    std::vector<unsigned char> dib =
        DibOfBmpFile(ReadKitFile(profile, seal, name, CProductIdentity::kMaxPictureBytes));
    if (dib.empty()) log.Write("The kit's picture %s is no picture Setup draws: not shown.", name.c_str());
    return dib;
  } catch (...) {
    const std::string why = AfxTranslateCurrentException([](CException& e) { return e.GetErrorMessage(); });
    log.Write("The kit's picture %s cannot be read (%s): not shown.", name.c_str(), why.c_str());
    return {};
  }
}
