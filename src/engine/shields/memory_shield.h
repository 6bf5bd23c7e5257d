#pragma once
// The memory shield's tick: compares the running programs with the definitions.

namespace model {
struct App;
}

namespace engine {

// One run of the memory shield, as its own timer and every third home-page tick start it.
void RunMemoryShield(model::App& app);

}  // namespace engine
