#pragma once
// The running-program stage on the 95/98/ME family: each running program's file name is
// compared with the name fields of ExeDefinition.dat, wherever the program lies. The decoded
// lines are kept from run to run until the file changes (a Live Update). Outside a scan the user is
// asked in a Yes/No box (No puts the program on the ignore list); during a scan a match is ended at
// once and logged.
//
// The stop request and the "EXCLUDED: " rows belong to a scan: outside one neither applies.

namespace model {
struct App;
}

namespace engine {

void InspectProcesses9x(model::App& app);

}  // namespace engine
