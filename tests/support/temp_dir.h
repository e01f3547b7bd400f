// temp_dir.h - a private temporary folder for one test, removed afterwards.
#ifndef VBS_TESTS_TEMP_DIR_H
#define VBS_TESTS_TEMP_DIR_H

#include <cstdint>
#include <string>
#include <vector>

/// Creates a unique folder under the system's temporary folder; the
/// destructor removes it with everything inside.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  const std::string &Path() const { return path_; }
  /// Path of name inside the folder.
  std::string File(const std::string &name) const;
  /// Writes bytes to name inside the folder and returns its path.
  std::string Write(const std::string &name, const std::vector<uint8_t> &bytes) const;
  std::string Write(const std::string &name, const std::string &text) const;
  /// Reads a whole file.
  static std::vector<uint8_t> Read(const std::string &path);
  /// Reads a whole file as a string of its bytes.
  static std::string ReadText(const std::string &path);

 private:
  std::string path_;
};

#endif  // VBS_TESTS_TEMP_DIR_H
