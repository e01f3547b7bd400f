// temp_dir.cpp - per-test temporary folders over std::filesystem.
#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<unsigned> serial{0};
  std::random_device rd;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0;; ++attempt) {
    fs::path p = fs::temp_directory_path() /
                 ("vbs-test-" + std::to_string(rd()) + "-" + std::to_string(stamp % 100000) + "-" +
                  std::to_string(serial++));
    std::error_code ec;
    if (fs::create_directory(p, ec)) {
      path_ = p.string();
      return;
    }
    if (attempt > 100) throw std::runtime_error("cannot create a temporary folder");
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only entries would stop remove_all on Windows.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it); it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::string TempDir::File(const std::string &name) const { return (fs::path(path_) / name).string(); }

std::string TempDir::Write(const std::string &name, const std::vector<uint8_t> &bytes) const {
  const std::string p = File(name);
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return p;
}

std::string TempDir::Write(const std::string &name, const std::string &text) const {
  return Write(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> TempDir::Read(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TempDir::ReadText(const std::string &path) {
  const std::vector<uint8_t> bytes = Read(path);
  return std::string(bytes.begin(), bytes.end());
}
