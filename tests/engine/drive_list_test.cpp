#include "engine/scan/drive_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/result_rows.h"
#include "support/app_fixture.h"
#include "version_resource.h"

namespace {

using machine::DriveType;

void AddDrive(hg_test::TempMachine& temp, char letter, DriveType type, bool ready,
              std::string label = "DATA", uint32_t serial = 0x00AB0001) {
  const std::filesystem::path root = temp.root() / (std::string("drive_") + letter);
  if (ready)
    std::filesystem::create_directories(root);
  temp.profile().drives.push_back({letter, root, type, std::move(label), serial});
}

std::vector<std::string> DriveRows(model::App& app) {
  std::vector<std::string> rows;
  model::RowView<model::DriveRow> drives(app.frmMain.lvwHardDrives);
  for (int i = 0; i < drives.Count(); ++i) {
    EXPECT_FALSE(drives[i].checked);
    rows.push_back(drives[i].drive);
  }
  return rows;
}

TEST(DriveListTest, ListsDrivesByKindAndReadiness) {
  hg_test::AppFixture fixture([](hg_test::TempMachine& temp) {
    auto& drives = temp.profile().drives;
    drives.insert(drives.begin(), {'A', temp.root() / "no_floppy", DriveType::kRemovable, "", 0});
    AddDrive(temp, 'D', DriveType::kFixed, false);
    AddDrive(temp, 'E', DriveType::kCdRom, false);
    AddDrive(temp, 'N', DriveType::kRemote, true);
    AddDrive(temp, 'R', DriveType::kRamDisk, true);
    AddDrive(temp, 'U', DriveType::kUnknown, true);
  });
  engine::ListDrives(fixture.app());
  EXPECT_EQ(DriveRows(fixture.app()), (std::vector<std::string>{"A", "C", "E", "N"}));
  EXPECT_EQ(fixture.backend.YieldCount(), 7);
}

TEST(DriveListTest, VolumeLabelAndSerial) {
  hg_test::AppFixture fixture([](hg_test::TempMachine& temp) {
    AddDrive(temp, 'D', DriveType::kFixed, true, "   ", 0x00AB0001);
    AddDrive(temp, 'E', DriveType::kFixed, true, "A LONG VOLUME NAME", 0xFFFF0000);
    AddDrive(temp, 'F', DriveType::kFixed, false);
  });
  struct Case {
    const char* root;
    bool ok;
    const char* label;
    const char* serial;
  };
  const Case cases[] = {
      {"C:\\", true, "LOCAL DISK", "1A2B-3C4D"},
      {"d:\\", true, "(no label)", "AB-1"},
      {"E:\\", true, "A LONG VOLUME", "FFFF-0"},
      {"F:\\", false, "", ""},         // not ready
      {"Q:\\", false, "", ""},         // no such drive
      {"C:\\WINDOWS", false, "", ""},  // not a root
  };
  for (const Case& c : cases) {
    std::string label;
    std::string serial;
    EXPECT_EQ(engine::GetVolumeLabelAndSerial(fixture.app(), c.root, label, serial), c.ok)
        << c.root;
    EXPECT_EQ(label, c.label) << c.root;
    EXPECT_EQ(serial, c.serial) << c.root;
  }
}

TEST(DriveListTest, SweepFindsListedNamesOnly) {
  hg_test::AppFixture fixture;
  model::App& app = fixture.app();
  fixture.temp.WriteFile("C:\\Deep\\er\\Evil.EXE", "x");
  fixture.temp.WriteFile("C:\\Deep\\ms.exe", hg_test::FileWithCompany("Microsoft Corporation"));
  fixture.temp.WriteFile("C:\\Deep\\evil", "x");
  fixture.temp.WriteFile("C:\\Deep\\other.exe", "x");
  forms::ListView& wanted = app.frmMain.lvwFileNotFounds;
  wanted.AddItem("evil.exe");
  wanted.AddItem("ms.exe");
  wanted.AddItem("evil");

  engine::ScanDrive(app, "C");

  ASSERT_EQ(app.frmMain.lvwSpywareFound.Count(), 1);
  EXPECT_EQ(app.frmMain.lvwSpywareFound.Item(0).text, "Evil.EXE - Found");
  ASSERT_EQ(app.frmMain.lvwFilesToBeDeleted.Count(), 1);
  EXPECT_EQ(app.frmMain.lvwFilesToBeDeleted.Item(0).text, "C:\\Deep\\er\\Evil.EXE");
  EXPECT_EQ(app.scan.lngThreatsFound, 1);
  EXPECT_EQ(app.frmMain.pbgMain.Value(), app.frmMain.pbgMain.Max());
  EXPECT_TRUE(app.frmMain.lblPercentageCompleted.Visible());
}

TEST(DriveListTest, SweepEndsOnStop) {
  hg_test::AppFixture fixture;
  model::App& app = fixture.app();
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    fixture.temp.WriteFile(std::string("C:\\Sweep\\") + name, "x");
  }
  fixture.backend.AtYield(1, "stop", [&] { app.scan.bStopScan = true; });
  engine::ScanFolder(app, "C:\\Sweep");
  EXPECT_EQ(fixture.backend.YieldCount(), 1);
}

TEST(DriveListTest, TrimApiString) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string("VOLUME\0\0  \0", 11), "VOLUME"},
      {std::string("A B\0C", 5), "A B"},
      {"NTFS   ", "NTFS"},
      {"NOSPACE", "NOSPACE"},
      {"", ""},
  };
  for (const auto& [input, expected] : cases) {
    std::string text = input;
    EXPECT_EQ(engine::TrimApiString(text), expected);
    EXPECT_EQ(text, expected);
  }
}

}  // namespace
