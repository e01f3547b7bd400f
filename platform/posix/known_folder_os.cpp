// posix/known_folder_os.cpp - the temporary folder and the special folders
// on POSIX, from the XDG base directories and fixed system folders.
// Implementation here must contain only POSIX code.
//
//   number                       folder
//   0 PERSONAL                   XDG_DOCUMENTS_DIR (environment, then
//                                user-dirs.dirs), else $HOME/Documents
//   1 COMMON_DOCUMENTS           /usr/share/doc
//   2 APPDATA                    $XDG_CONFIG_HOME, else $HOME/.config
//   3 LOCAL_APPDATA              $XDG_DATA_HOME, else $HOME/.local/share
//   4 COMMON_APPDATA             first entry of $XDG_DATA_DIRS, else
//                                /usr/local/share
//   5 PROGRAM_FILES              /opt
//   6 WINDOWS                    /usr
//   7 SYSTEM                     /usr/lib
//   8 TEMP                       $TMPDIR, else /tmp (with a trailing '/')
//   9 PROGRAM_FILES_COMMON       /usr/local/lib
//
// As the XDG rules say, a variable that is empty or holds a relative path
// is ignored.  $HOME falls back to the user database.  A missing folder is
// an error unless create is given; then it is created with its missing
// parents, mode 0700 for the user's folders (0, 2, 3), 0755 for the others.
#include <errno.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstring>

#include "platform/os/directory_os.h"

namespace sal::os {

namespace {
constexpr size_t kCapacity = 260;

bool Put(char *out, const char *a, const char *b = "") {
  const size_t la = std::strlen(a);
  const size_t lb = std::strlen(b);
  if (la + lb + 1 > kCapacity) return false;
  std::memcpy(out, a, la);
  std::memcpy(out + la, b, lb + 1);
  return true;
}

// An absolute, non-empty value of the variable, or null.
const char *AbsoluteEnv(const char *name) {
  const char *value = getenv(name);
  return (value != nullptr && value[0] == '/') ? value : nullptr;
}

bool Home(char *out) {
  if (const char *home = AbsoluteEnv("HOME")) return Put(out, home);
  struct passwd entry;
  struct passwd *found = nullptr;
  char scratch[4096];
  if (getpwuid_r(getuid(), &entry, scratch, sizeof scratch, &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr || found->pw_dir[0] != '/')
    return false;
  return Put(out, found->pw_dir);
}

// $XDG_DOCUMENTS_DIR from user-dirs.dirs: a line XDG_DOCUMENTS_DIR="..."
// whose value is "$HOME/..." or absolute.
bool DocumentsFromUserDirs(const char *home, char *out) {
  char file[kCapacity];
  const char *config = AbsoluteEnv("XDG_CONFIG_HOME");
  if (!(config != nullptr ? Put(file, config, "/user-dirs.dirs")
                          : Put(file, home, "/.config/user-dirs.dirs")))
    return false;
  FILE *in = fopen(file, "r");
  if (in == nullptr) return false;
  static const char kKey[] = "XDG_DOCUMENTS_DIR=\"";
  char line[1024];
  bool found = false;
  while (!found && fgets(line, sizeof line, in) != nullptr) {
    if (std::strncmp(line, kKey, sizeof kKey - 1) != 0) continue;
    char *value = line + sizeof kKey - 1;
    char *quote = std::strchr(value, '"');
    if (quote == nullptr) continue;
    *quote = '\0';
    if (std::strncmp(value, "$HOME", 5) == 0 && (value[5] == '/' || value[5] == '\0'))
      found = Put(out, home, value + 5);
    else if (value[0] == '/')
      found = Put(out, value);
  }
  fclose(in);
  return found;
}

bool UserFolder(int number, char *out) {
  char home[kCapacity];
  switch (number) {
    case 0:
      if (const char *docs = AbsoluteEnv("XDG_DOCUMENTS_DIR")) return Put(out, docs);
      if (!Home(home)) return false;
      return DocumentsFromUserDirs(home, out) || Put(out, home, "/Documents");
    case 2:
      if (const char *config = AbsoluteEnv("XDG_CONFIG_HOME")) return Put(out, config);
      return Home(home) && Put(out, home, "/.config");
    case 3:
      if (const char *data = AbsoluteEnv("XDG_DATA_HOME")) return Put(out, data);
      return Home(home) && Put(out, home, "/.local/share");
    default:
      return false;
  }
}

bool SystemFolder(int number, char *out) {
  switch (number) {
    case 1: return Put(out, "/usr/share/doc");
    case 4: {
      const char *dirs = getenv("XDG_DATA_DIRS");
      if (dirs != nullptr && dirs[0] == '/') {
        const size_t length = std::strcspn(dirs, ":");
        if (length + 1 > kCapacity) return false;
        std::memcpy(out, dirs, length);
        out[length] = '\0';
        return true;
      }
      return Put(out, "/usr/local/share");
    }
    case 5: return Put(out, "/opt");
    case 6: return Put(out, "/usr");
    case 7: return Put(out, "/usr/lib");
    case 9: return Put(out, "/usr/local/lib");
    default: return false;
  }
}

// mkdir -p: creates every missing level of path.
bool MakeAll(char *path, mode_t mode) {
  for (char *p = path + 1;; ++p) {
    if (*p != '/' && *p != '\0') continue;
    const char saved = *p;
    *p = '\0';
    const bool ok = mkdir(path, mode) == 0 || errno == EEXIST;
    *p = saved;
    if (!ok) return false;
    if (saved == '\0') break;
  }
  struct stat st;
  return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

uint32_t TempPath(char *buffer, uint32_t capacity) {
  const char *dir = getenv("TMPDIR");
  if (dir == nullptr || dir[0] == '\0') dir = "/tmp";
  const size_t length = std::strlen(dir);
  const bool addSlash = dir[length - 1] != '/';
  const size_t total = length + (addSlash ? 1 : 0);
  if (total + 1 > capacity) return static_cast<uint32_t>(total + 1);
  std::memcpy(buffer, dir, length);
  if (addSlash) buffer[length] = '/';
  buffer[total] = '\0';
  return static_cast<uint32_t>(total);
}

bool ShellFolder(int number, bool create, char *buffer) {
  const bool user = number == 0 || number == 2 || number == 3;
  if (!(user ? UserFolder(number, buffer) : SystemFolder(number, buffer))) return false;
  struct stat st;
  if (stat(buffer, &st) == 0) return S_ISDIR(st.st_mode);
  return create && MakeAll(buffer, user ? 0700 : 0755);
}

}  // namespace sal::os
