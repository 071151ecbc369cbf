#include "robot/zip_archive.h"

#include <zip.h>

#include <cstdio>

namespace velmora::robot {

namespace {

// The bytes the source holds, read back after the archive was closed into it.
std::optional<std::string> Contents(zip_source_t* source) {
  if (zip_source_open(source) < 0) return std::nullopt;
  std::optional<std::string> bytes;
  if (zip_source_seek(source, 0, SEEK_END) == 0) {
    const zip_int64_t size = zip_source_tell(source);
    if (size >= 0 && zip_source_seek(source, 0, SEEK_SET) == 0) {
      std::string data(static_cast<std::size_t>(size), '\0');
      if (zip_source_read(source, data.data(), data.size()) == size) bytes = std::move(data);
    }
  }
  zip_source_close(source);
  return bytes;
}

}  // namespace

std::optional<std::string> ZipArchive(
    const std::vector<std::pair<std::string, std::string>>& files) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (!source) return std::nullopt;
  zip_source_keep(source);  // it outlives the archive, which frees its own reference
  zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
  bool ok = archive != nullptr;
  for (const auto& [name, bytes] : files) {
    if (!ok) break;
    zip_source_t* file = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    ok = file && zip_file_add(archive, name.c_str(), file, ZIP_FL_ENC_GUESS) >= 0;
    if (!ok && file) zip_source_free(file);
  }
  if (archive && (!ok || zip_close(archive) != 0)) {
    zip_discard(archive);
    ok = false;
  }
  std::optional<std::string> bytes = ok ? Contents(source) : std::nullopt;
  zip_source_free(source);
  zip_error_fini(&error);
  return bytes;
}

}  // namespace velmora::robot
