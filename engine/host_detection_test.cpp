#include "engine/host_detection.h"

#include <gtest/gtest.h>

#include "testing/fake_file_system.h"

namespace velmora {
namespace {

TEST(HostDetectionTest, ReadsTheVersionFromTheHostFolder) {
  testing::FakeFileSystem files;
  files.folders["C:\\Vemo\\"] = {"Other.ini", "Vemo2.ini"};
  files.files["C:\\Vemo\\Vemo2.ini"] = "[Main]\r\nVemo=2.17\r\nX=1\r\n";
  EXPECT_EQ(DetectHostVersion(files, "C:\\Vemo\\", ""), "2.17");
}

TEST(HostDetectionTest, WithoutTheIniFileTheHostIsVemo) {
  testing::FakeFileSystem files;
  files.folders["h/"] = {"vemo2.ini", "Vemo2.ini.bak", "notes.txt"};
  EXPECT_EQ(DetectHostVersion(files, "h/", "2.19"), "Vemo");
  EXPECT_EQ(DetectHostVersion(files, "empty/", ""), "Vemo");
}

TEST(HostDetectionTest, KeepsThePreviousVersionWhenTheFileSaysNothing) {
  testing::FakeFileSystem files;
  files.folders["h/"] = {"Vemo2.ini"};
  files.files["h/Vemo2.ini"] = "[Main]\nName=x\n";
  EXPECT_EQ(DetectHostVersion(files, "h/", "2.16"), "2.16");
  files.fail_read.insert("h/Vemo2.ini");
  EXPECT_EQ(DetectHostVersion(files, "h/", "2.16"), "2.16");
}

TEST(HostDetectionTest, TakesTheLineAfterItsFirstFiveCharacters) {
  testing::FakeFileSystem files;
  files.folders["h/"] = {"Vemo2.ini"};
  files.files["h/Vemo2.ini"] = "Vemo=2.14R";
  EXPECT_EQ(DetectHostVersion(files, "h/", ""), "2.14R");
  files.files["h/Vemo2.ini"] = "OldVemo=1.0\r\nVemo=2.20\r\n";
  EXPECT_EQ(DetectHostVersion(files, "h/", ""), "mo=1.0");
}

}  // namespace
}  // namespace velmora
