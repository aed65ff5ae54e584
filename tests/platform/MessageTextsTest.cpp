// The table of the texts the layers below the windows show: its pieces are
// filled in as they are given, and it is sound enough to be read back.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "MessageTexts.h"

using namespace zanfeld;

namespace {

using I = MessageId;

// One text of each shape stands for the rest: whether each text still reads
// as it did is for the catalogue, which holds every text by its Chinese.
TEST(MessageTexts, FillPutsEachPieceInItsPlaceOnce) {
    const std::string path = "/home/明/报告：终稿 1.txt";
    struct Case {
        std::string filled;
        std::string expected;
    };
    const Case cases[] = {
        {Format(I::SortDone), "分拣工作完成！"},
        {Format(I::FailureItem, {path, Format(I::ReasonNoAccess)}), path + "：没有权限"},
        // A piece holding %N is not filled in turn.
        {Format(I::CannotMakeFolder, {"/a/%2/%1", "没有权限"}),
         "无法建立目标文件夹“/a/%2/%1”：没有权限"},
        {Format(I::CountsLine, {"3", "1", "0", "2", "5"}),
         "已放置 3 个，跳过 1 个，改名 0 个，覆盖 2 个，失败 5 个"},
        {Format(I::StateUndone, {Format(I::StateStopped)}), "已停止，已撤销"},
        // A piece not given stays as it is rather than reading past the pieces.
        {Format(I::CannotMakeFolder, {"/a"}), "无法建立目标文件夹“/a”：%2"},
        {MessageTexts::fill("100%", {"x"}), "100%"},
        {MessageTexts::fill("%1%", {"x"}), "x%"},
        {MessageTexts::text(MessageId::Count), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.filled, c.expected);
}

// What the translator needs of each text to read it back.
TEST(MessageTexts, EveryTextCanBeReadBack) {
    std::string groups;
    for (const MessageText& t : MessageTexts::all()) groups += t.groups;
    std::map<std::string, MessageRole> roles;
    for (const MessageText& t : MessageTexts::all()) {
        const std::string text = t.text;
        SCOPED_TRACE(text);
        std::set<int> numbers;
        bool lastWasPiece = false;
        size_t literal = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
                // Two pieces side by side could not be told apart.
                EXPECT_FALSE(lastWasPiece);
                numbers.insert(text[i + 1] - '0');
                lastWasPiece = true;
                ++i;
            } else {
                lastWasPiece = false;
                ++literal;
            }
        }
        EXPECT_GT(literal, 0u);
        // %1 .. %N, each with its kind; a group must have texts.
        const std::string kinds = t.pieces;
        ASSERT_EQ(numbers.size(), kinds.size());
        if (!numbers.empty()) {
            EXPECT_EQ(*numbers.rbegin(), static_cast<int>(numbers.size()));
        }
        for (char k : kinds)
            EXPECT_NE(((k >= 'a' && k <= 'z') ? groups : std::string("TNRM")).find(k),
                      std::string::npos)
                << k;
        if (t.countPiece != 0) {
            ASSERT_LE(static_cast<size_t>(t.countPiece), kinds.size());
            EXPECT_EQ(kinds[static_cast<size_t>(t.countPiece) - 1], 'N');
        }
        // The same text twice must mean the same, or it could not be read back.
        const auto [it, fresh] = roles.emplace(text, t.role);
        if (!fresh) {
            EXPECT_EQ(it->second, t.role);
        }
    }
}

// The string literals of a C++ source, comments left out.
std::vector<std::string> Literals(const std::string& code) {
    std::vector<std::string> out;
    for (size_t i = 0; i < code.size(); ++i) {
        if (code.compare(i, 2, "//") == 0) {
            i = code.find('\n', i);
            if (i == std::string::npos) break;
        } else if (code.compare(i, 2, "/*") == 0) {
            i = code.find("*/", i + 2);
            if (i == std::string::npos) break;
            ++i;
        } else if (code[i] == '\'') {
            // A character literal, which may be '"'.
            for (++i; i < code.size() && code[i] != '\''; ++i)
                if (code[i] == '\\') ++i;
        } else if (code[i] == '"') {
            std::string literal;
            for (++i; i < code.size() && code[i] != '"'; ++i) {
                if (code[i] == '\\') literal += code[i++];
                literal += code[i];
            }
            out.push_back(literal);
        }
    }
    return out;
}

bool LooksChinese(const std::string& text) {
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0xE0 || c >= 0xF0) continue;
        const uint32_t point = (c & 0x0F) << 12 |
                               (static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6 |
                               (static_cast<unsigned char>(text[i + 2]) & 0x3F);
        if ((point >= 0x3000 && point <= 0x303F) || (point >= 0x4E00 && point <= 0x9FFF) ||
            (point >= 0xFF00 && point <= 0xFFEF) || point == 0x201C || point == 0x201D)
            return true;
    }
    return false;
}

// A text shown to the user is made from the table, where it can be
// translated: no other Chinese string stands in the layers below the windows.
TEST(MessageTexts, NoShownTextIsMadeOutsideTheTable) {
    // What is not shown: the words of the folders a run makes, a check on
    // what a text ends with, and the answers a person may type.
    const std::set<std::pair<std::string, std::string>> allowed = {
        {"engine/SortTypes.cpp", "大于"},     {"engine/SortTypes.cpp", "小于"},
        {"engine/SortTypes.cpp", "大于等于"}, {"engine/SortTypes.cpp", "小于等于"},
        {"engine/SortTypes.cpp", "等于"},     {"engine/RunStatusLine.cpp", "）"},
        {"cli/TerminalHost.cpp", "是"},       {"cli/TerminalHost.cpp", "否"},
        {"cli/TerminalHost.cpp", "全部是"},   {"cli/TerminalHost.cpp", "全部否"},
        {"cli/TerminalHost.cpp", "停止"},     {"cli/JournalCommands.cpp", "是"},
        // The taken-date page: its default folder for files without a date,
        // and the start of the names a messenger gives its pictures.
        {"engine/SortTypes.h", "未知日期"},   {"engine/NameDate.cpp", "微信图片_"},
        // The command line's help names that folder as it is made.
        {"cli/CliParser.cpp",
         "--by taken: the folder of files without a date (default 未知日期)"},
    };
    size_t files = 0;
    for (const char* layer : {"platform", "engine", "lists", "settings", "journal", "cli"}) {
        const std::string folder = std::string(ZANFELD_SOURCE_DIR) + "/src/" + layer;
        std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), &closedir);
        ASSERT_TRUE(dir) << folder;
        while (const dirent* entry = readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name.size() < 4 || (name.compare(name.size() - 4, 4, ".cpp") != 0 &&
                                    name.compare(name.size() - 2, 2, ".h") != 0))
                continue;
            if (name == "MessageTexts.cpp") continue;
            ++files;
            std::ifstream in(folder + "/" + name);
            std::stringstream code;
            code << in.rdbuf();
            const std::string where = std::string(layer) + "/" + name;
            for (const std::string& literal : Literals(code.str())) {
                if (LooksChinese(literal)) {
                    EXPECT_TRUE(allowed.count({where, literal}))
                        << where << ": \"" << literal << "\"";
                }
            }
        }
    }
    EXPECT_GT(files, 100u);
}

}  // namespace
