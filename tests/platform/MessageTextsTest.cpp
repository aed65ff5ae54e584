// The table of the texts the layers below the windows show: each text comes
// out as it always did, and the table is sound enough to be read back.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "MessageTexts.h"

using namespace zanfeld;

namespace {

using I = MessageId;

struct Case {
    MessageId id;
    std::vector<std::string> args;
    std::string expected;  // as the code put it together before the table
};

const std::string P = "/home/明/报告：终稿 1.txt";
const std::string Q = "/out/大于100KB";
const std::string Reason = "没有权限";

// Each text with its pieces filled in, against the expression that made it.
std::vector<Case> Cases() {
    const std::string s = std::string("\xe2\x80\x9c");  // “
    const std::string e = std::string("\xe2\x80\x9d");  // ”
    return {
        {I::NoFilesToSort, {}, "没有需要分拣的文件!"},
        {I::NoFoldersToSort, {}, "没有需要分拣的文件夹（目录）!"},
        {I::EmptyTypeList, {}, "如果选择了只分拣某些文件类型，则类型不应当为空！"},
        {I::ChooseOutputDir, {}, "请选择分拣结果输出目录！"},
        {I::EnterKeywords, {}, "请输入匹配关键字!"},
        {I::EnterWholeNumbers, {}, "请输入整数序号!"},
        {I::EnterPictureSize, {}, "请输入正确的图片宽高!"},
        {I::EnterFileSize, {}, "请输入正确的文件大小!"},
        {I::SortDone, {}, "分拣工作完成！"},
        {I::SortStopped, {}, "分拣已停止。"},
        {I::Sentence, {"已放置 1 个"}, std::string("已放置 1 个") + "。"},
        {I::FailedHeading, {"12"}, "有 " + std::to_string(12) + " 个文件未能分拣："},
        {I::FailureItem, {P, Reason}, P + "：" + Reason},
        {I::MoreFailures, {}, "……"},
        {I::LostReplaced,
         {"2"},
         "有 " + std::to_string(2) + " 个被覆盖的文件无法放入回收站，已不能恢复。"},
        {I::JournalUnwritable, {}, "分拣记录无法写入，此次分拣不能撤销。"},
        {I::RunInterrupted, {"std::bad_alloc"}, std::string("分拣中断：") + "std::bad_alloc"},
        {I::CannotEnterFolder,
         {P, Reason},
         "无法进入文件夹“" + P + "”：" + Reason + "，分拣已中止。"},
        {I::CountsLine,
         {"3", "1", "0", "2", "0"},
         std::string("已放置 ") + "3" + " 个" + "，" + "跳过 " + "1" + " 个" + "，" + "改名 " +
             "0" + " 个" + "，" + "覆盖 " + "2" + " 个" + "，" + "失败 " + "0" + " 个"},
        {I::OutsideOutputDir, {"../x"}, "目标文件夹“" + std::string("../x") + "”不在输出目录之内"},
        {I::CannotMakeFolder, {Q, Reason}, "无法建立目标文件夹“" + Q + "”：" + Reason},
        {I::TargetTaken, {Q}, "目标位置“" + Q + "”已被同名的文件或链接占用"},
        {I::AlreadyInPlace, {}, "已在目标位置"},
        {I::ReasonNotRegular, {}, "不是普通文件（设备、管道或套接字），未打开"},
        {I::ReasonChanged, {}, "文件在处理期间被改动或替换"},
        {I::ReasonLinkOntoTarget, {}, "此符号链接会取代它所指向的文件，未移动"},
        {I::ReasonNoEntry, {}, "文件或文件夹不存在"},
        {I::ReasonNoAccess, {}, "没有权限"},
        {I::ReasonNotPermitted, {}, "操作不被允许"},
        {I::ReasonReadOnly, {}, "只读文件系统"},
        {I::ReasonNoSpace, {}, "磁盘空间不足"},
        {I::ReasonQuota, {}, "超出磁盘配额"},
        {I::ReasonNameTooLong, {}, "文件名或路径过长"},
        {I::ReasonLinkLoop, {}, "符号链接层数过多"},
        {I::ReasonTooManyLinks, {}, "链接数过多"},
        {I::ReasonIsFolder, {}, "是一个文件夹"},
        {I::ReasonNotFolder, {}, "不是文件夹"},
        {I::ReasonIo, {}, "输入/输出错误"},
        {I::ReasonCrossDevice, {}, "不能跨文件系统"},
        {I::ReasonExists, {}, "已有同名项目"},
        {I::StatusCopying, {"电影.mkv"}, std::string("正在复制 ") + "电影.mkv"},
        {I::StatusMoving, {"电影.mkv"}, std::string("正在移动 ") + "电影.mkv"},
        {I::StatusBytes,
         {"正在复制 a", "1.2 GB", "3.0 GB"},
         std::string("正在复制 a") + "（" + "1.2 GB" + " / " + "3.0 GB" + "）"},
        {I::StatusJoin, {"正在复制 a", "第 1 / 2 个文件"}, "正在复制 a · 第 1 / 2 个文件"},
        {I::StatusJoinAfterBracket, {"a（1）", "第 1 / 2 个文件"}, "a（1）· 第 1 / 2 个文件"},
        {I::StatusFileOf,
         {"120", "300"},
         "第 " + std::to_string(120) + " / " + std::to_string(300) + " 个" + "文件"},
        {I::StatusFolderOf,
         {"1", "3"},
         "第 " + std::to_string(1) + " / " + std::to_string(3) + " 个" + "文件夹"},
        {I::StatusTimeLeft, {"00:42"}, std::string("剩余约 ") + "00:42"},
        {I::StatusFinished, {"x"}, std::string("分拣完成：") + "x"},
        {I::StatusStopped, {"x"}, std::string("分拣已停止：") + "x"},
        {I::ColumnSource, {}, "源文件"},
        {I::ColumnFolder, {}, "目标文件夹"},
        {I::ColumnTarget, {}, "目标文件"},
        {I::ColumnAction, {}, "操作"},
        {I::Copy, {}, "复制"},
        {I::Move, {}, "移动"},
        {I::Ask, {}, "询问"},
        {I::Overwrite, {}, "覆盖"},
        {I::RenamedAs, {}, "编号为"},
        {I::SkipSameName, {}, "跳过（同名）"},
        {I::ReplaceOlder, {}, "只替换旧文件 → 替换"},
        {I::KeepNewer, {}, "只替换旧文件 → 保留"},
        {I::Skip, {}, "跳过"},
        {I::Refused, {}, "不能分拣"},
        {I::Renamed, {}, "编号"},
        {I::NotSelected, {}, "未选中"},
        {I::RenamedAsName, {"报告_1.pdf"}, std::string("编号为") + ' ' + "报告_1.pdf"},
        {I::RefusedBecause, {"是一个文件夹"}, std::string("不能分拣") + ' ' + "是一个文件夹"},
        {I::UndoNotThere, {}, "文件已不在分拣放到的位置，未撤销"},
        {I::UndoChanged, {}, "文件在分拣之后被改动或替换过，未撤销"},
        {I::UndoTrashOccupied, {}, "被覆盖的文件留在回收站：它原来的位置仍被占用"},
        {I::UndoReplacedLost, {}, "被覆盖的文件当时无法放入回收站，不能恢复"},
        {I::UndoInDoubtKept, {}, "分拣中断时这个文件是否已放好无法确定，未撤销"},
        {I::UndoCannotMoveBack, {P, Reason}, "无法移回“" + P + "”：" + Reason},
        {I::UndoRenamedBack, {}, "原来的名字已被占用，已移回并改名"},
        {I::UndoCopyTrashed, {}, "源文件已不在或已改动，副本已放入回收站"},
        {I::UndoCannotRemoveCopy, {Reason}, "无法撤销这个副本：" + Reason},
        {I::UndoCannotRestore, {P, Reason}, "无法从回收站恢复到“" + P + "”：" + Reason},
        {I::UndoStopped, {}, "撤销已停止。"},
        {I::UndoDone, {}, "撤销完成！"},
        {I::UndoIncomplete, {}, "撤销未能全部完成。"},
        {I::UndoCounts,
         {"1", "2", "3", "4"},
         "移回 " + std::to_string(1) + " 个" + "文件" + "，删除 " + std::to_string(2) + " 个" +
             "副本" + "，从回收站恢复 " + std::to_string(3) + " 个" + "文件" + "，删除 " +
             std::to_string(4) + " 个" + "空文件夹" + "。"},
        {I::UndoKeptHeading, {"2"}, "有 " + std::to_string(2) + " 个文件需要留意："},
        {I::UndoQuestion,
         {"2026-12-08 09:15:02", "/out/", "1", "2", "3"},
         std::string("将撤销 ") + "2026-12-08 09:15:02" + " 开始的分拣（输出目录“" + "/out/" +
             "”）：移回 " + std::to_string(1) + " 个" + "文件" + "，删除 " + std::to_string(2) +
             " 个" + "副本" + "，从回收站恢复 " + std::to_string(3) + " 个" + "文件" + "。"},
        {I::UndoInDoubt,
         {"4"},
         "有 " + std::to_string(4) + " 个" + "文件" +
             "在分拣中断时状态不明，将按磁盘上的情况处理。"},
        {I::UndoLost, {"5"}, "有 " + std::to_string(5) + " 个" + "被覆盖的文件" + "不能恢复。"},
        {I::UndoAsk, {}, "改动过的文件保持原样。是否继续？"},
        {I::UndoTell, {}, "改动过的文件保持原样。"},
        {I::UndoNotInJournal, {}, "分拣记录中没有这次分拣。"},
        {I::UndoOfUndo, {}, "撤销本身不能再撤销。"},
        {I::UndoAlreadyUndone, {}, "这次分拣已经撤销过了。"},
        {I::HistoryFiles, {}, "文件"},
        {I::HistoryFolders, {}, "文件夹"},
        {I::PageKeys, {}, "按文件名匹配关键字分拣"},
        {I::PageName, {}, "按文件名分拣"},
        {I::PageType, {}, "按文件类型分拣"},
        {I::PageSize, {}, "按文件大小分拣"},
        {I::PageDate, {}, "按文件日期属性分拣"},
        {I::PagePicture, {}, "图像文件分拣"},
        {I::FolderPageKeys, {}, "按目录名匹配关键字分拣"},
        {I::FolderPageName, {}, "按目录名分拣"},
        {I::FolderPageDate, {}, "按目录日期属性分拣"},
        {I::HistoryUndo, {}, "撤销"},
        {I::HistoryCounts,
         {"3", "0", "1", "0", "0"},
         "已放置 " + std::to_string(3) + "，跳过 " + std::to_string(0) + "，改名 " +
             std::to_string(1) + "，覆盖 " + std::to_string(0) + "，失败 " + std::to_string(0)},
        {I::StateFinished, {}, "完成"},
        {I::StateStopped, {}, "已停止"},
        {I::StateEndedEarly, {}, "中断"},
        {I::StateUnfinished, {}, "未正常结束"},
        {I::StateUndone, {"完成"}, std::string("完成") + "，已撤销"},
        {I::ListExportNotRegular,
         {P},
         "无法导出列表：“" + P + "”不是普通文件（设备、管道或套接字），未被替换。"},
        {I::ListTooLarge,
         {P},
         "无法导入列表：“" + P + "”太大（上限为 64 MiB 或 100 万行），未导入任何条目。"},
        {I::ListImportNotRegular,
         {P},
         "无法导入列表：“" + P + "”不是普通文件（设备、管道或套接字），未被打开。"},
        {I::ListCannotCreate,
         {P, "No such device"},
         std::string("Cannot create file") + " \"" + P + "\". " + "No such device"},
        {I::ListCannotOpen,
         {P, "No such device"},
         std::string("Cannot open file") + " \"" + P + "\". " + "No such device"},
        {I::SettingsNotRegular,
         {P},
         "无法保存设置：“" + P + "”不是普通文件（设备、管道或套接字），未被改动。"},
        {I::SettingsLineFault,
         {P, "7"},
         "无法保存设置：“" + P + "”第 " + std::to_string(7) + " 行" + "" +
             "。文件未被改动，请修改或删除该行后再试。"},
        {I::SettingsLineNul,
         {P, "7"},
         "无法保存设置：“" + P + "”第 " + std::to_string(7) + " 行" +
             "含有空字符（NUL），其后的内容无法保留" + "。文件未被改动，请修改或删除该行后再试。"},
        {I::SettingsLineNoEquals,
         {P, "7"},
         "无法保存设置：“" + P + "”第 " + std::to_string(7) + " 行" + "既不是" + s + "键=值" + e +
             "，也不是节名或注释，无法保留" + "。文件未被改动，请修改或删除该行后再试。"},
        {I::SettingsLineEmptyKey,
         {P, "7"},
         "无法保存设置：“" + P + "”第 " + std::to_string(7) + " 行" + "的键名为空，无法保留" +
             "。文件未被改动，请修改或删除该行后再试。"},
        {I::SettingsLineUnclosed,
         {P, "7"},
         "无法保存设置：“" + P + "”第 " + std::to_string(7) + " 行" + "的节名缺少" + s + "]" + e +
             "，其后的内容无法保留" + "。文件未被改动，请修改或删除该行后再试。"},
        {I::SettingsLineAfterSection,
         {P, "7"},
         "无法保存设置：“" + P + "”第 " + std::to_string(7) + " 行" + "在节名的" + s + "]" + e +
             "之后还有文字，无法保留" + "。文件未被改动，请修改或删除该行后再试。"},
        {I::SettingsWouldLose,
         {P},
         "无法保存设置：保存会丢失“" + P + "”中原有的内容。文件未被改动。"},
        {I::SettingsUnableToWrite, {P}, "Unable to write to " + P},
        {I::CliJournalCannotOpen, {}, "分拣记录无法打开。"},
        {I::CliJournalEmpty, {}, "分拣记录中还没有分拣。"},
        {I::CliUndoJournalCannotOpen, {}, "分拣记录无法打开，不能撤销。"},
        {I::CliNothingToUndo, {}, "没有可以撤销的分拣。"},
        {I::CliNotUndone, {}, "没有撤销。"},
        {I::CliPreview, {"复制 3 个"}, std::string("预览：") + "复制 3 个"},
        {I::CliPreviewNothing, {}, std::string("预览：") + "没有文件"},
        {I::CliPreviewCount, {"复制", "3"}, std::string("复制") + " " + std::to_string(3) + " 个"},
        {I::CliListJoin, {"复制 3 个", "跳过 1 个"}, std::string("复制 3 个") + "，" + "跳过 1 个"},
        {I::CliFailedHeading, {}, "未能分拣的文件："},
        {I::CliReplaceQuestion, {P}, "文件" + P + "已存在，是否覆盖？"},
        {I::CliExistingFile,
         {"512 字节", "2026-01-02 03:04:05"},
         std::string("  现有文件：") + "512 字节" + "，" + "2026-01-02 03:04:05"},
        {I::CliNewFile, {"—", "—"}, std::string("  新文件：  ") + "—" + "，" + "—"},
        {I::CliBytes, {"512"}, std::to_string(512) + " 字节"},
        {I::CliSizeWithBytes,
         {"1.5 KB", "1536"},
         std::string("1.5 KB") + "（" + std::to_string(1536) + " 字节）"},
        {I::CliNewer, {"2026-01-02 03:04:05"}, std::string("2026-01-02 03:04:05") + "（较新）"},
        {I::CliAnswerPrompt, {}, "[y 是 / n 否 / a 全部是 / N 全部否 / s 停止]（默认 n）："},
        {I::CliRefused, {"请输入匹配关键字!"}, "zanfeld-cli: " + std::string("请输入匹配关键字!")},
        {I::CliRefusedOption,
         {"请输入匹配关键字!", "--keywords"},
         "zanfeld-cli: " + std::string("请输入匹配关键字!") + "（" + "--keywords" + "）"},
    };
}

TEST(MessageTexts, EveryTextComesOutAsItAlwaysDid) {
    std::set<MessageId> seen;
    for (const Case& c : Cases()) {
        ASSERT_TRUE(seen.insert(c.id).second) << MessageTexts::text(c.id);
        EXPECT_EQ(
            MessageTexts::fill(MessageTexts::text(c.id), std::span<const std::string>(c.args)),
            c.expected);
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(MessageId::Count)) << "a text without its case";
}

TEST(MessageTexts, FormatFillsEachPieceOnce) {
    EXPECT_EQ(Format(I::CannotMakeFolder, {"/a/%2/%1", "没有权限"}),
              "无法建立目标文件夹“/a/%2/%1”：没有权限");
    EXPECT_EQ(Format(I::SortDone), "分拣工作完成！");
    // A piece not given stays as it is rather than reading past the pieces.
    EXPECT_EQ(Format(I::CannotMakeFolder, {"/a"}), "无法建立目标文件夹“/a”：%2");
    EXPECT_EQ(MessageTexts::fill("100%", {"x"}), "100%");
    EXPECT_EQ(MessageTexts::fill("%1%", {"x"}), "x%");
    EXPECT_STREQ(MessageTexts::text(MessageId::Count), "");
}

// What the translator needs of each text to read it back.
TEST(MessageTexts, EveryTextCanBeReadBack) {
    std::set<std::pair<std::string, int>> texts;
    for (const MessageText& t : MessageTexts::all()) {
        const std::string text = t.text;
        SCOPED_TRACE(text);
        ASSERT_FALSE(text.empty());
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
        // %1 .. %N, each with its kind.
        const std::string kinds = t.pieces;
        ASSERT_EQ(numbers.size(), kinds.size());
        if (!numbers.empty()) {
            EXPECT_EQ(*numbers.begin(), 1);
            EXPECT_EQ(*numbers.rbegin(), static_cast<int>(numbers.size()));
        }
        for (char k : kinds) {
            // A group must have texts.
            if (k >= 'a' && k <= 'z') {
                bool member = false;
                for (const MessageText& other : MessageTexts::all())
                    member = member || std::string(other.groups).find(k) != std::string::npos;
                EXPECT_TRUE(member) << k;
            } else {
                EXPECT_NE(std::string("TNRM").find(k), std::string::npos) << k;
            }
        }
        if (t.countPiece != 0) {
            ASSERT_LE(static_cast<size_t>(t.countPiece), kinds.size());
            EXPECT_EQ(kinds[static_cast<size_t>(t.countPiece) - 1], 'N');
        }
        // The same text twice must mean the same, or it could not be read back.
        for (const auto& [other, role] : texts) {
            if (other == text) {
                EXPECT_EQ(role, static_cast<int>(t.role));
            }
        }
        texts.insert({text, static_cast<int>(t.role)});
    }
}

// The words of the folders a run makes are not in the table: a folder's name
// never depends on the language of the interface.
TEST(MessageTexts, FolderWordsAreNotTranslatable) {
    for (const char* word : {"大于", "小于", "大于等于", "小于等于", "等于", "KB", "MB"})
        for (const MessageText& t : MessageTexts::all()) EXPECT_STRNE(t.text, word);
}

}  // namespace

namespace {

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

}  // namespace

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
