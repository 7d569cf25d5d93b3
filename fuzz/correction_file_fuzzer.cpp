// Loading a correction file of any bytes: no crash, a failure only as the tool's errors, and two
// lines that saving writes load back to the same texts and values.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/errors.h"
#include "corrections/correction_file.h"
#include "fuzz/fuzz_input.h"

using namespace miralto;
namespace fs = std::filesystem;

namespace {
fs::path Scratch(const char* name) {
  const fs::path dir =
      fs::temp_directory_path() / ("miralto-fuzz-" + std::to_string(::getpid())) / name;
  fs::create_directories(dir);
  return dir;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fs::path loaded = Scratch("loaded");
  static const fs::path saved = Scratch("saved");
  {
    std::FILE* file = std::fopen(CorrectionFilePath(loaded).c_str(), "wb");
    fuzz::Require(file != nullptr);
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  const CorrectionLoad load = LoadCorrections(loaded);
  fuzz::Require(load.present && load.lines.size() <= 2);
  if (load.failure) {
    try {
      std::rethrow_exception(load.failure);
    } catch (const EndOfFileError&) {
    } catch (const OverflowError&) {
    } catch (const FileError&) {  // a line longer than a correction can be
    }
    return 0;
  }
  fuzz::Require(load.lines.size() == 2);
  const Corrections values = SaveCorrections(saved, load.lines[0].text, load.lines[1].text);
  fuzz::Require(values.lon == load.lines[0].value && values.lat == load.lines[1].value);
  const CorrectionLoad again = LoadCorrections(saved);
  fuzz::Require(!again.failure && again.lines.size() == 2);
  for (std::size_t i = 0; i < 2; ++i) {
    fuzz::Require(again.lines[i].text == load.lines[i].text);
    fuzz::Require(again.lines[i].value == load.lines[i].value);
  }
  return 0;
}
