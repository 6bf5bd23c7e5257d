#pragma once
// The registry stage of a scan (RegistryDefinition.dat): each key or value that a definition
// names and the registry holds becomes a removal target and, the first time its threat is seen,
// a scan-log row and a threat-list row; an entry on the ignore list is logged as excluded.
//
// A line is never looked for, nor counted as inspected, when its root code maps to no root,
// when its key path is blank (it would name the root itself) or when it holds no "=". A value
// line is found whatever the type of the value.

namespace model {
struct App;
}

namespace engine {

void ScanRegistryDefinitions(model::App& app);

}  // namespace engine
