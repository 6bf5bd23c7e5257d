#pragma once
// Scheduled scans: the schedule's sub-page and the scheduler's tick.

namespace model {
struct App;
}

namespace ui {

void LoadSchedule(model::App& app);
void InstallScheduler(model::App& app);

}  // namespace ui
