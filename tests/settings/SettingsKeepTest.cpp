// A save of one window's section never loses what else the settings file
// holds. A file holding a line the save could not keep as it stands (a NUL
// byte, a line that is no entry, section or comment, a section never closed)
// is refused with the line named and left byte for byte as it was; so is a
// path that leads to a device, pipe or socket. What the save can keep, it
// keeps.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "FaultySys.h"
#include "FileChecks.h"
#include "SettingsFile.h"
#include "NonRegularFiles.h"
#include "Sys.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using test::EntryIdentity;
using test::FaultySys;
using test::IdentityOf;
using test::LStat;
using test::MakeDir;
using test::Names;
using test::ReadFile;
using test::SysOp;
using test::TempDir;
using test::WriteFile;

class SettingsKeepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeDir(m_tmp / "config");
        MakeDir(m_tmp / "prog");
    }
    std::string ini() const { return m_tmp / "config/Zanfeld.ini"; }
    FileWindowSettings Changed() const {
        FileWindowSettings s;
        s.filter = "after";
        s.page = 3;
        return s;
    }
    // The save is refused with text and leaves the file exactly as it was:
    // the same bytes in the same file, nothing beside it.
    void ExpectRefused(const std::string& content, const std::string& text) {
        WriteFile(ini(), content);
        const struct stat before = LStat(ini());
        EXPECT_EQ(SaveFileWindowSettings(ini(), Changed()), text);
        EXPECT_EQ(ReadFile(ini()), content);
        const struct stat after = LStat(ini());
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        EXPECT_EQ(Names(m_tmp / "config"), std::vector<std::string>{"Zanfeld.ini"});
    }
    std::string LineText(int line, const std::string& why) const {
        return "无法保存设置：“" + ini() + "”第 " + std::to_string(line) + " 行" + why +
               "。文件未被改动，请修改或删除该行后再试。";
    }

    TempDir m_tmp;
};

// SimpleIni reads no further than a NUL byte, so a save used to drop the whole
// other section behind it.
TEST_F(SettingsKeepTest, ANulByteRefusesTheSaveAndLoadingUsesWhatComesBefore) {
    static const char kContent[] =
        "[Parameter]\r\nFilter=before\r\nPage=2\r\n[Parameter2]\r\nFilter=ke\0ep\r\nPage=1\r\n"
        "[Other]\r\nname=value\r\n";
    const std::string content(kContent, sizeof kContent - 1);
    ASSERT_NE(content.find('\0'), std::string::npos);
    ExpectRefused(content, LineText(5, "含有空字符（NUL），其后的内容无法保留"));
    const FileWindowSettings loaded = LoadFileWindowSettings(ini(), m_tmp / "prog");
    EXPECT_EQ(loaded.filter, "before");
    EXPECT_EQ(loaded.page, 2);
    EXPECT_EQ(SaveFolderWindowSettings(ini(), FolderWindowSettings{}),
              LineText(5, "含有空字符（NUL），其后的内容无法保留"));
    EXPECT_EQ(ReadFile(ini()), content);
}

TEST_F(SettingsKeepTest, LinesTheSaveWouldDropRefuseIt) {
    const std::string head = "; settings\n[Parameter2]\nFilter=keep\n";
    struct Case {
        const char* line;
        const char* why;
    };
    const Case cases[] = {
        {"a line of notes", "既不是“键=值”，也不是节名或注释，无法保留"},
        {"\f", "既不是“键=值”，也不是节名或注释，无法保留"},
        {"  = value", "的键名为空，无法保留"},
        {"[Unclosed", "的节名缺少“]”，其后的内容无法保留"},
        {"[Other] ; remark", "在节名的“]”之后还有文字，无法保留"},
        {"[a]b]", "在节名的“]”之后还有文字，无法保留"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        // In the other section, and in the section being written.
        ExpectRefused(head + c.line + "\nPage=2\n", LineText(4, c.why));
        ExpectRefused("[Parameter]\r\nFilter=x\r\n" + std::string(c.line) + "\r\n" + head,
                      LineText(3, c.why));
    }
    // A lone CR ends a line as well.
    ExpectRefused("[Parameter2]\rPage=2\rnotes\r",
                  LineText(3, "既不是“键=值”，也不是节名或注释，无法保留"));
}

// SimpleIni keeps only the first comment of a section given twice; the check
// of the new text against the old finds that and refuses.
TEST_F(SettingsKeepTest, ACommentSimpleIniWouldLoseRefusesTheSave) {
    ExpectRefused(
        "[Parameter2]\nPage=1\n[Other]\nx=1\n; about the second part\n[Parameter2]\nEdtKeys=k\n",
        "无法保存设置：保存会丢失“" + ini() + "”中原有的内容。文件未被改动。");
}

TEST_F(SettingsKeepTest, WhatTheSaveCanKeepIsKept) {
    WriteFile(ini(),
              "top=first\r\n"
              "\r\n"
              "[Parameter2]\r\n"
              "  Filter =  keep me  \r\n"
              "   ; an indented note\r\n"
              "Page=1\r\n"
              "[]\r\n"
              "alsoTop=second\r\n"
              "[Other]\r\n"
              "name=one\r\n"
              "name=two\r\n"
              "[Parameter]\r\n"
              "; the keyword field\r\n"
              "EdtKeys=old\r\n"
              "Unknown=stays\r\n"
              "[other]\r\n"
              "more=three\r\n"
              "[Empty]\r\n"
              "; at the end\r\n");
    ASSERT_EQ(SaveFileWindowSettings(ini(), Changed()), "");
    const std::string text = ReadFile(ini());
    for (const char* kept :
         {"top=first\n", "alsoTop=second\n", "Filter=keep me\n", "; an indented note\nPage=1\n",
          "[Other]\nname=one\nname=two\nmore=three\n", "Unknown=stays\n", "[Empty]\n",
          "; at the end\n", "Filter=after\n", "Page=3\n"}) {
        EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n---\n" << text;
    }
    const FolderWindowSettings folder = LoadFolderWindowSettings(ini(), m_tmp / "prog");
    EXPECT_EQ(folder.filter, "keep me");
    EXPECT_EQ(folder.page, 1);
    // The next save changes nothing more.
    ASSERT_EQ(SaveFileWindowSettings(ini(), Changed()), "");
    EXPECT_EQ(ReadFile(ini()), text);
}

// ---- what the path leads to -----------------------------------------------

std::string NotRegular(const std::string& path) {
    return "无法保存设置：“" + path + "”不是普通文件（设备、管道或套接字），未被改动。";
}

// A settings file linked to a private copy of /dev/null (or a pipe, or
// through a chain of links) is neither opened nor replaced.
TEST_F(SettingsKeepTest, ADeviceOrPipeBehindTheNameIsNeitherOpenedNorReplaced) {
    MakeDir(m_tmp / "odd");
    ASSERT_EQ(test::MakeFifo(m_tmp / "odd/pipe"), 0);
    std::vector<std::string> specials = {m_tmp / "odd/pipe"};
    const int deviceError = test::MakeNullDevice(m_tmp / "odd/null");
    if (deviceError == 0)
        specials.push_back(m_tmp / "odd/null");
    else
        ASSERT_TRUE(deviceError == EPERM || deviceError == EACCES) << std::strerror(deviceError);

    for (const std::string& special : specials) {
        SCOPED_TRACE(special);
        const EntryIdentity before = IdentityOf(special);
        ::unlink(ini().c_str());
        ::unlink((m_tmp / "config/hop").c_str());
        ASSERT_EQ(::symlink("hop", ini().c_str()), 0);
        ASSERT_EQ(::symlink(special.c_str(), (m_tmp / "config/hop").c_str()), 0);
        for (const std::string& path : {special, ini()}) {
            FaultySys sys;
            std::string result;
            {
                ScopedSys scoped(sys);
                result = SaveFileWindowSettings(path, Changed());
                EXPECT_EQ(LoadFileWindowSettings(path, m_tmp / "prog").filter, "");
            }
            EXPECT_EQ(result, NotRegular(path));
            EXPECT_EQ(sys.calls(SysOp::Open), 0);
            EXPECT_EQ(IdentityOf(special), before);
        }
        EXPECT_TRUE(S_ISLNK(LStat(ini()).st_mode));
        EXPECT_EQ(Names(m_tmp / "odd").size(), specials.size());
    }
    if (deviceError != 0)
        GTEST_SKIP() << "device node left out, mknod refused: " << std::strerror(deviceError);
}

TEST_F(SettingsKeepTest, ADanglingLinkGetsTheFileAtItsTarget) {
    MakeDir(m_tmp / "store");
    ASSERT_EQ(::symlink("../store/Zanfeld.ini", ini().c_str()), 0);
    ASSERT_EQ(SaveFileWindowSettings(ini(), Changed()), "");
    EXPECT_TRUE(S_ISLNK(LStat(ini()).st_mode));
    EXPECT_NE(ReadFile(m_tmp / "store/Zanfeld.ini").find("Filter=after\n"), std::string::npos);
    EXPECT_EQ(LoadFileWindowSettings(ini(), m_tmp / "prog").filter, "after");
}

}  // namespace
}  // namespace zanfeld
