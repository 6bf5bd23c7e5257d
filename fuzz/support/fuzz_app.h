#pragma once
// An application object for the fuzz targets that need one: SharedMachine() under the headless
// backend, every window model built and none loaded.

namespace model {
struct App;
}

namespace hg_fuzz {

model::App& SharedApp();

}  // namespace hg_fuzz
