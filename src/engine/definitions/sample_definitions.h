#pragma once
// The sample definitions a new program folder starts with: a few invented, harmless threats
// covering every kind of definition file, every folder token and every registry root code.

#include <string_view>
#include <vector>

#include "machine/file_system.h"

namespace engine {

struct SampleDefinitionFile {
  std::string_view file_name;           // e.g. "FileDefinition.dat"
  std::vector<std::string_view> lines;  // decoded
};

// The five files with their decoded lines.
const std::vector<SampleDefinitionFile>& SampleDefinitionFiles();

// Writes each of the five definition files that the program folder lacks (encoded, lines ended
// by CR LF), creating the folder when needed. A file already there is never replaced, so a
// folder that has definitions keeps them. True when all five are there afterwards.
bool WriteSampleDefinitions(machine::FileSystem& files, std::string_view program_folder);

// True when the program folder is there but holds none of the five files (emptied to start
// again), so that the start-up fills it with the samples. A missing folder is left alone.
bool LacksAllDefinitionFiles(const machine::FileSystem& files, std::string_view program_folder);

}  // namespace engine
