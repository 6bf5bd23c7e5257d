#include "engine/scan/company_name.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/app_fixture.h"
#include "version_resource.h"

namespace {

using engine::CompanyNameFromBytes;

TEST(CompanyNameTest, WideForm) {
  EXPECT_EQ(engine::ToWideText("Ab"), std::string("\x01\0A\0b", 5));

  EXPECT_EQ(CompanyNameFromBytes(hg_test::FileWithCompany("Microsoft Corporation")),
            "Microsoft Corporation");
  EXPECT_EQ(CompanyNameFromBytes(hg_test::FileWithCompany("Acme Widgets, Inc.")),
            "Acme Widgets, Inc.");
  // Blanks are kept; the callers trim.
  EXPECT_EQ(CompanyNameFromBytes(hg_test::FileWithCompany(" microsoft corporation ")),
            " microsoft corporation ");
  EXPECT_EQ(CompanyNameFromBytes(hg_test::FileWithCompany("")), "");
}

TEST(CompanyNameTest, NoResourceGivesEmpty) {
  EXPECT_EQ(CompanyNameFromBytes(""), "");
  EXPECT_EQ(CompanyNameFromBytes(std::string(4096, '\0')), "");
  EXPECT_EQ(CompanyNameFromBytes("#!/bin/sh\necho no version block here\n"), "");
}

TEST(CompanyNameTest, WideKeyIsSearchedFromTheStringSection) {
  // A stray wide "CompanyName" before the string section (say, in a string table) is passed.
  std::string stray =
      engine::ToWideText("CompanyName") + std::string(3, '\0') + hg_test::Utf16z("Decoy");
  EXPECT_EQ(CompanyNameFromBytes(stray + hg_test::FileWithCompany("Acme")), "Acme");
}

TEST(CompanyNameTest, StringBlockOfEitherTypeWordIsReadPastAStrayPlainKey) {
  // A symbol name in the code holds the plain key; the version block comes later.
  const std::string stray("PKEY_Contact_JA_CompanyNamePhonetic\0", 36);
  for (const uint16_t type : {0, 1}) {
    EXPECT_EQ(CompanyNameFromBytes(stray + hg_test::FileWithCompany("Microsoft Corporation", type)),
              "Microsoft Corporation")
        << "type word " << type;
  }
}

TEST(CompanyNameTest, PlainForm) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string expected;
  };
  const std::string head = std::string("\x10\x01\0\0StringFileInfo\0\0", 20) + "040904E4";
  const Case cases[] = {
      {"value ended by a run of NULs",
       head + std::string("CompanyName\0Acme Ltd\0\0\0\0", 24) + "FileDescription", "Acme Ltd"},
      {"run of NULs only after the next key: cut at the first control byte",
       head + std::string("CompanyName\0Acme\0\x14\0FileDescription\0Tool\0\0\0", 42), "Acme"},
      {"next key but no control byte within reach: the NUL run stands",
       head + "CompanyName" + std::string(1, '\0') + std::string(300, 'x') + "FileDescription" +
           std::string(3, '\0'),
       std::string(300, 'x') + "FileDescription"},
      {"two NULs in a row do not end a value",
       head + std::string("CompanyName\0Ac\0\0me\0\0\0", 21) + "FileDescription", "Acme"},
      {"value running to the end of the file", head + std::string("CompanyName\0ACME", 16), ""},
      {"key at the very end", head + std::string("CompanyName\0", 12), ""},
      {"no section marker: searched from the start", std::string("CompanyName\0Foo\0\0\0", 18),
       "Foo"},
      {"a longer name holding the key is no key",
       std::string("PKEY_Contact_JA_CompanyNamePhonetic\0\0\0\0", 39), ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompanyNameFromBytes(c.bytes), c.expected) << c.what;
  }
}

}  // namespace

namespace {

TEST(GetFileCompanyNameTest, ReadsFilesOfTheMachine) {
  hg_test::AppFixture fixture;
  model::App& app = fixture.app();
  fixture.temp.WriteFile("C:\\WINDOWS\\Tool.exe", hg_test::FileWithCompany("Acme Inc."));
  fixture.temp.WriteFile("C:\\WINDOWS\\empty.exe", "");
  // Past the size that is read whole the file is mapped instead; the result is the same.
  fixture.temp.WriteFile("C:\\WINDOWS\\big.exe",
                         std::string(3 << 20, '\xCC') + hg_test::FileWithCompany("Big Corp"));
  fixture.temp.MakeFolder("C:\\WINDOWS\\folder.exe");
  // A FIFO must not hang the scan waiting for a writer.
  ASSERT_EQ(::mkfifo(fixture.temp.host("C:\\WINDOWS\\pipe.exe").c_str(), 0600), 0);

  EXPECT_EQ(engine::GetFileCompanyName(app, "c:\\windows\\TOOL.EXE"), "Acme Inc.");
  EXPECT_EQ(engine::GetFileCompanyName(app, "C:\\WINDOWS\\missing.exe"), "");
  EXPECT_EQ(engine::GetFileCompanyName(app, "C:\\WINDOWS\\empty.exe"), "");
  EXPECT_EQ(engine::GetFileCompanyName(app, "C:\\WINDOWS\\big.exe"), "Big Corp");
  EXPECT_EQ(engine::GetFileCompanyName(app, "C:\\WINDOWS\\folder.exe"), "");
  EXPECT_EQ(engine::GetFileCompanyName(app, "C:\\WINDOWS\\pipe.exe"), "");
}

}  // namespace
