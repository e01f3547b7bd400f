// language_dll.cpp - language.ini and the language variants of modules.
#include "messages/language_dll.h"

#include <cstring>
#include <new>

#include "base/sal_config.h"
#include "base/text.h"
#include "platform/file.h"
#include "platform/message_table.h"

namespace {
constexpr const char *kLanguageFile = "language.ini";
constexpr uint32_t kReadChunk = 4096;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The module's path with its folder replaced by its companion folder
// (sal::os::CompanionFolder); empty when that cannot be stored.
CCommonString InCompanionFolder(const char *moduleFile) {
  char folder[4096];
  CCommonString path;
  if (!sal::os::CompanionFolder(moduleFile, folder, sizeof folder)) return path;
  const char *name = moduleFile;
  for (const char *p = moduleFile; *p != '\0'; ++p)
    if (*p == '/' || *p == SAL_PATH_SEPARATOR) name = p + 1;
  if (path.Assign(folder) == 0 || path.Append(name) == 0) path.Clear();
  return path;
}
}  // namespace

CCommonString ReadLanguageFile(const char *path) {
  CCommonString line;
  if (path == nullptr || *path == '\0') return line;
  CSalFile file;
  file.SetPath(path);
  if (!file.Open(SAL_FILE_ACCESS_READ, SAL_FILE_OPEN_EXISTING, SAL_FILE_SHARE_READ_WRITE))
    return line;
  char chunk[kReadChunk];
  for (;;) {
    uint32_t got = 0;
    file.Read(chunk, sizeof chunk, &got);
    if (got == 0) break;
    const void *feed = std::memchr(chunk, '\n', got);
    const uint32_t take = feed != nullptr ? static_cast<uint32_t>(static_cast<const char *>(feed) - chunk) : got;
    if (line.AppendPiece(chunk, take) == 0) {
      line.Clear();  // no storage for the line: as if the file were blank
      return line;
    }
    if (feed != nullptr) {
      if (line.GetLength() != 0 && line.CharAt(line.GetLength() - 1) == '\r')
        line.DeleteRight(1);  // text-mode reading turns "\r\n" into "\n"
      break;
    }
  }
  file.Close();
  // Only spaces and tabs are trimmed: a byte-order mark or any other byte
  // stays part of the suffix.
  uint32_t begin = 0;
  uint32_t end = line.GetLength();
  while (begin < end && IsBlank(line.CharAt(begin))) ++begin;
  while (end > begin && IsBlank(line.CharAt(end - 1))) --end;
  if (begin == 0 && end == line.GetLength()) return line;
  CCommonString trimmed;
  if (end > begin && trimmed.Assign(line.CStr() + begin, end - begin) == 0) trimmed.Clear();
  return trimmed;
}

CCommonString SalLanguageFileBeside(const char *fileName) {
  const char *text = fileName != nullptr ? fileName : "";
  const char *separator = SafeStrRChr(text, static_cast<unsigned char>(SAL_PATH_SEPARATOR));
  const uint32_t folder = static_cast<uint32_t>(separator != nullptr ? separator - text : std::strlen(text));
  CCommonString path;
  if (path.Assign(text, folder) == 0 || path.AppendChar(SAL_PATH_SEPARATOR) == 0 ||
      path.Append(kLanguageFile) == 0)
    path.Clear();
  return path;
}

CCommonString SalVariantModuleName(const char *fileName, const char *suffix) {
  const char *text = fileName != nullptr ? fileName : "";
  CCommonString name;
  if (name.Assign(text, static_cast<uint32_t>(sal::os::ModuleStemLength(text))) == 0 ||
      name.Append(suffix != nullptr ? suffix : "") == 0 ||
      name.Append(sal::os::ModuleSuffix()) == 0)
    name.Clear();
  return name;
}

CLanguageDll::CLanguageDll(SalModuleHandle module, const char *language)
    : ownsModule_(false), module_(module), variant_(nullptr) {
  if (module == nullptr) return;  // no module, no file name to derive a variant from
  CWntModuleInfo info(module, 0, 0);
  if (info.GetFullPath().IsEmpty()) return;  // the module has no file: it serves itself
  // language.ini and the variant lie in the module's companion folder: its
  // private folder in an installed tree, else beside it.
  const CCommonString fileName = InCompanionFolder(info.GetFullPath().CStr());
  if (fileName.IsEmpty()) return;
  CCommonString suffix;
  if (language != nullptr && *language != '\0') {
    if (suffix.Assign(language) == 0) return;
  } else {
    suffix = ReadLanguageFile(SalLanguageFileBeside(fileName.CStr()).CStr());
  }
  if (suffix.IsEmpty()) return;
  const CCommonString candidate = SalVariantModuleName(fileName.CStr(), suffix.CStr());
  if (candidate.IsEmpty()) return;
  CSalModule *loader = new (std::nothrow) CSalModule();
  if (loader == nullptr) return;
  if (!loader->Load(candidate.CStr(), 0)) {
    delete loader;
    return;
  }
  variant_ = loader;
  module_ = loader->GetHandle();
  ownsModule_ = true;
}

CLanguageDll::~CLanguageDll() {
  if (variant_ != nullptr) {
    variant_->Unload();
    delete variant_;
  }
}

SalModuleHandle CLanguageDll::GetModule() const { return module_; }
