#include "removal/removal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "machine/text.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "removal/quarantine.h"
#include "removal/quarantine_log.h"
#include "removal/safe_path.h"
#include "removal/safe_registry_key.h"
#include "services/file_paths.h"
#include "services/register_server.h"
#include "services/registry_related.h"

namespace removal {

namespace {

using model::RowView;

class Pass {
 public:
  explicit Pass(model::App& app)
      : app_(app),
        main_(app.frmMain),
        quarantine_(app),
        second_pass_(!app.removal.bQuarantinePass),
        files_(main_.lvwFilesToBeDeleted),
        registry_(main_.lvwRegistryToBeDeleted),
        cookies_(main_.lvwCookiesToDelete),
        threats_(main_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved) {}

  RemovalPassResult Run() {
    const int file_count = files_.Count();
    const int registry_count = registry_.Count();
    const int cookie_count = cookies_.Count();
    SetUpProgress(file_count + registry_count + cookie_count);
    RemoveFiles(file_count);
    RemoveRegistryEntries(registry_count, file_count);
    RemoveCookies(cookie_count, file_count + registry_count);
    if (listed_ > 0 && !Abandoned())
      app_.frmDelete->Show();
    return result_;
  }

 private:
  // The main window was closed during a yield (the program lives on under the browser window):
  // the item in hand is finished, no other is started.
  bool Abandoned() const { return main_.EverUnloaded(); }

  void SetUpProgress(int total) {
    if (threats_.Count() == 0)
      return;
    main_.lblDeletingPercentageCompleted.SetVisible(true);
    main_.pgbDeleteSpywaresFound.SetVisible(true);
    main_.lblDeletingPercentageCompleted.SetCaption("Removing : 0% Completed.");
    main_.pgbDeleteSpywaresFound.SetMax(total);  // refused (and ignored) for an empty removal
    main_.pgbDeleteSpywaresFound.SetValue(0);
  }

  void ShowProgress(int position, int row, int count, std::string_view item) {
    main_.pgbDeleteSpywaresFound.SetValue(position);  // a refused position is ignored
    int16_t percent = 0;
    if (machine::RoundHalfEvenToInt16(100.0 * row / count, percent)) {
      main_.lblDeletingPercentageCompleted.SetCaption("Removing : " + std::to_string(percent) +
                                                      "% Completed.");
    }
    main_.lblDeletingCaption.SetCaption(machine::ToLower(item));
  }

  void Tally(QuarantineOutcome outcome) {
    if (outcome == QuarantineOutcome::kMoved)
      ++result_.removed;
    else if (outcome == QuarantineOutcome::kRefused)
      ++result_.refused;
  }

  // --- Files and folders.

  // The guard's verdict on the path as written, then, in the second pass, whether anything is
  // there at all: that pass finds most items gone, and a path where nothing is needs no more
  // work. (The first pass's routines look for themselves.)
  std::optional<QuarantineOutcome> QuickOutcome(const std::string& path) const {
    if (quarantine_.guard.CheckName(path) != PathRefusal::kNone)
      return QuarantineOutcome::kRefused;
    if (second_pass_ && !app_.machine.files().Attributes(path))
      return QuarantineOutcome::kNotThere;
    return std::nullopt;
  }

  QuarantineOutcome RemoveFile(const std::string& path) {
    const std::string extension = machine::ToUpper(services::GetFileExtension(path));
    if (extension == "DLL" || extension == "OCX") {
      if (!quarantine_.guard.Allows(path))
        return QuarantineOutcome::kRefused;
      services::RegisterServer(app_.system.register_server_log, main_.hWnd(), path, false);
      const QuarantineOutcome library =
          QuarantineAndDeleteFile(app_, quarantine_, path, main_.hWnd());
      const QuarantineOutcome rest = QuarantineFolder(app_, quarantine_, path);
      return library == QuarantineOutcome::kMoved ? library : rest;
    }
    if (extension == "EXE")
      return RemoveFileWithProcess(app_, quarantine_, path);
    return QuarantineFolder(app_, quarantine_, path);
  }

  void RemoveFiles(int count) {
    for (int i = 0; i < count && i < files_.Count() && !Abandoned(); ++i) {
      const model::FileTargetRow row = files_[i];
      QuarantineOutcome outcome = QuarantineOutcome::kNotThere;
      bool absent = false;
      if (row.checked) {
        ShowProgress(i + 1, i + 1, count, row.path);
        const std::optional<QuarantineOutcome> quick = QuickOutcome(row.path);
        absent = quick == QuarantineOutcome::kNotThere;
        outcome = quick ? *quick : RemoveFile(row.path);
        Tally(outcome);
      }
      app_.system.Yield();
      if (second_pass_ && row.checked && !absent)
        CheckFileLeftover(i, row, outcome);
    }
  }

  void CheckFileLeftover(int position, const model::FileTargetRow& row, QuarantineOutcome outcome) {
    const bool refused = outcome == QuarantineOutcome::kRefused;
    if (!refused && !ItemExists(row.path))
      return;
    if (!refused && machine::FindIgnoreCase(row.path, ".exe") != std::string::npos) {
      Tally(RemoveFileWithProcess(app_, quarantine_, row.path));
      if (!ItemExists(row.path))
        return;
    }
    List(row.path);
    UncheckThreat(row.threat_name);
    Uncheck(files_, position,
            [&](const model::FileTargetRow& now) { return now.path == row.path; });
  }

  // --- Registry entries.

  QuarantineOutcome RemoveRegistryEntry(const model::RegistryTargetRow& row) {
    machine::RegHandle root = 0;
    if (!ParseRoot(row.main_key, root))
      return QuarantineOutcome::kRefused;
    const std::string key = machine::TrimBlanks(row.key_path);
    const std::string value = machine::TrimBlanks(row.value_name);
    if (!value.empty()) {
      if (!IsDeletableRegistryValue(root, key, value))
        return QuarantineOutcome::kRefused;
      return services::DeleteRegistryValue(app_.system, root, key, value)
                 ? QuarantineOutcome::kMoved
                 : QuarantineOutcome::kNotThere;
    }
    if (!IsDeletableRegistryKey(root, key))
      return QuarantineOutcome::kRefused;
    services::DeleteRegistryValue(app_.system, root, key, "");
    return services::DeleteRegistryKey(app_.system, root, key) ? QuarantineOutcome::kMoved
                                                               : QuarantineOutcome::kNotThere;
  }

  void RemoveRegistryEntries(int count, int bar_offset) {
    for (int i = 0; i < count && i < registry_.Count() && !Abandoned(); ++i) {
      const model::RegistryTargetRow row = registry_[i];
      QuarantineOutcome outcome = QuarantineOutcome::kNotThere;
      if (row.checked) {
        ShowProgress(bar_offset + i + 1, i + 1, count, row.key_path + "\\" + row.value_name);
        outcome = RemoveRegistryEntry(row);
        Tally(outcome);
      }
      app_.system.Yield();
      if (second_pass_ && row.checked && (outcome == QuarantineOutcome::kRefused || Exists(row))) {
        UncheckThreat(row.threat_name);
        Uncheck(registry_, i, [&](const model::RegistryTargetRow& now) {
          return now.main_key == row.main_key && now.key_path == row.key_path &&
                 now.value_name == row.value_name;
        });
      }
    }
  }

  static bool ParseRoot(std::string_view text, machine::RegHandle& root) {
    double number = 0;
    int32_t whole = 0;
    if (!machine::ParseNumber(machine::TrimBlanks(text), number) ||
        !machine::RoundHalfEvenToInt32(number, whole) || static_cast<double>(whole) != number) {
      return false;
    }
    root = whole;
    return !machine::RootKeyName(root).empty();
  }

  bool Exists(const model::RegistryTargetRow& row) {
    machine::RegHandle root = 0;
    if (!ParseRoot(row.main_key, root))
      return false;
    const std::string key = machine::TrimBlanks(row.key_path);
    const std::string value = machine::TrimBlanks(row.value_name);
    return value.empty() ? services::RegistryKeyExists(app_.system, root, key)
                         : services::RegistryValueExists(app_.system, root, key, value);
  }

  // --- Cookie files.

  void RemoveCookies(int count, int bar_offset) {
    for (int i = 0; i < count && i < cookies_.Count() && !Abandoned(); ++i) {
      const model::CookieTargetRow row = cookies_[i];
      QuarantineOutcome outcome = QuarantineOutcome::kNotThere;
      bool absent = false;
      if (row.checked) {
        ShowProgress(bar_offset + i + 1, i + 1, count, row.cookie_path);
        const std::optional<QuarantineOutcome> quick = QuickOutcome(row.cookie_path);
        absent = quick == QuarantineOutcome::kNotThere;
        outcome = quick ? *quick : QuarantineCookieFile(app_, quarantine_, row.cookie_path);
        Tally(outcome);
      }
      app_.system.Yield();
      if (second_pass_ && row.checked && !absent &&
          (outcome == QuarantineOutcome::kRefused || ItemExists(row.cookie_path))) {
        List(row.cookie_path);
        UncheckCookieThreat(row.cookie_path);
        Uncheck(cookies_, i, [&](const model::CookieTargetRow& now) {
          return now.cookie_path == row.cookie_path;
        });
      }
    }
  }

  // --- Leftovers.

  bool ItemExists(std::string_view path) const {
    return app_.machine.files().Attributes(path).has_value();
  }

  void List(const std::string& path) {
    RowView<model::UndeletedFileRow>(app_.frmDelete->lstProblem).Add({path});
    ++listed_;
  }

  // Unchecks the row at `position` when it is still the row that was worked on (the lists can
  // change during the yields).
  template <class Row, class Same>
  void Uncheck(RowView<Row>& rows, int position, const Same& same) {
    ++result_.leftovers;
    if (position < rows.Count() && same(rows[position]))
      rows.SetChecked(position, false);
  }

  // The first threat row of that name (exact); the check propagation is not run, so the
  // threat's other target rows keep their checks.
  void UncheckThreat(const std::string& threat_name) {
    for (int i = 0; i < threats_.Count(); ++i) {
      if (threats_[i].name == threat_name) {
        threats_.SetChecked(i, false);
        return;
      }
    }
  }

  void UncheckCookieThreat(const std::string& cookie_path) {
    for (int i = 0; i < threats_.Count(); ++i) {
      const model::ThreatRow threat = threats_[i];
      if (threat.icon == model::ThreatIconKind::kCookie && threat.location == cookie_path) {
        threats_.SetChecked(i, false);
        return;
      }
    }
  }

  model::App& app_;
  model::FrmMain& main_;
  Quarantine quarantine_;
  const bool second_pass_;
  RowView<model::FileTargetRow> files_;
  RowView<model::RegistryTargetRow> registry_;
  RowView<model::CookieTargetRow> cookies_;
  RowView<model::ThreatRow> threats_;
  RemovalPassResult result_;
  int listed_ = 0;
};

}  // namespace

RemovalPassResult RemoveCheckedItems(model::App& app) {
  if (!app.removal.bQuarantinePass)
    return Pass(app).Run();
  // The pass that logs: the services' registry deletions write their entries through the
  // quarantine log's writer for exactly as long as it runs, however it ends.
  QuarantineLogWriter writer(app);
  struct Installed {
    services::System& system;
    services::QuarantineLogWriter* before;
    ~Installed() { system.quarantine_log = before; }
  } installed{app.system, std::exchange(app.system.quarantine_log, &writer)};
  return Pass(app).Run();
}

}  // namespace removal
