// A machine profile file as the program reads it at start-up. A profile read without an error is
// saved and read back: it must come back the same.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "machine/profile.h"
#include "support/fuzz_machine.h"

namespace {

namespace fs = std::filesystem;

// A folder for the profile files with a drive folder beside them, for the profiles that map one.
const fs::path& ProfileFolder() {
  static const fs::path folder = [] {
    const fs::path made = hg_fuzz::ProcessTempFolder() / "profile";
    fs::create_directories(made / "drive_c");
    return made;
  }();
  return folder;
}

void WriteBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  HG_FUZZ_CHECK(out.good(), file.string());
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path input = ProfileFolder() / "profile.ini";
  WriteBytes(input, hg_fuzz::AsText(data, size));
  const machine::ProfileLoadResult loaded = machine::LoadProfile(input);
  if (!loaded.errors.empty())
    return 0;

  // The writer refuses what it could not write back faithfully (a CR inside a value, say); what
  // it does write must read back the same.
  const fs::path saved = ProfileFolder() / "saved.ini";
  if (!machine::SaveProfile(loaded.profile, saved))
    return 0;
  const machine::ProfileLoadResult reloaded = machine::LoadProfile(saved);
  HG_FUZZ_CHECK(reloaded.errors.empty(), reloaded.errors.front().text + "\n" + ReadBytes(saved));
  const fs::path saved_again = ProfileFolder() / "saved-again.ini";
  HG_FUZZ_CHECK(machine::SaveProfile(reloaded.profile, saved_again), "cannot save it again");
  HG_FUZZ_CHECK(ReadBytes(saved) == ReadBytes(saved_again), ReadBytes(saved));
  return 0;
}
