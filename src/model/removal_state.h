#pragma once
// The removal's shared flag.

namespace model {

struct RemovalState {
  // True during the first removal pass, when the quarantine log is written.
  bool bQuarantinePass = false;
};

}  // namespace model
