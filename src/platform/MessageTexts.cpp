#include "MessageTexts.h"

#include <QtGlobal>
#include <array>

namespace zanfeld {

namespace {

using R = MessageRole;
using I = MessageId;

// lupdate finds each text by its QT_TRANSLATE_NOOP (QT_TRANSLATE_N_NOOP for a
// text with plural forms) under the context "Engine"; the "//:" lines are the
// translator's notes. A translation keeps every %N of its text.
constexpr MessageText kTexts[] = {
    {I::NoFilesToSort, QT_TRANSLATE_NOOP("Engine", "没有需要分拣的文件!"), "", R::Line, 0},
    {I::NoFoldersToSort, QT_TRANSLATE_NOOP("Engine", "没有需要分拣的文件夹（目录）!"), "", R::Line,
     0},
    {I::EmptyTypeList,
     QT_TRANSLATE_NOOP("Engine", "如果选择了只分拣某些文件类型，则类型不应当为空！"), "", R::Line,
     0},
    {I::ChooseOutputDir, QT_TRANSLATE_NOOP("Engine", "请选择分拣结果输出目录！"), "", R::Line, 0},
    {I::EnterKeywords, QT_TRANSLATE_NOOP("Engine", "请输入匹配关键字!"), "", R::Line, 0},
    {I::EnterWholeNumbers, QT_TRANSLATE_NOOP("Engine", "请输入整数序号!"), "", R::Line, 0},
    {I::EnterPictureSize, QT_TRANSLATE_NOOP("Engine", "请输入正确的图片宽高!"), "", R::Line, 0},
    {I::EnterFileSize, QT_TRANSLATE_NOOP("Engine", "请输入正确的文件大小!"), "", R::Line, 0},

    {I::SortDone, QT_TRANSLATE_NOOP("Engine", "分拣工作完成！"), "", R::Line, 0},
    {I::SortStopped, QT_TRANSLATE_NOOP("Engine", "分拣已停止。"), "", R::Line, 0},
    //: A sentence made of another text (the counts of a stopped run).
    {I::Sentence, QT_TRANSLATE_NOOP("Engine", "%1。"), "c", R::Line, 0},
    //: %1 files; the failed files follow, one a line.
    {I::FailedHeading, QT_TRANSLATE_N_NOOP("Engine", "有 %1 个文件未能分拣："), "N", R::Heading, 1},
    //: %1 the path of a file, %2 why it failed.
    {I::FailureItem, QT_TRANSLATE_NOOP("Engine", "%1：%2"), "TR", R::Item, 0},
    //: Ends a list that names only the first few.
    {I::MoreFailures, QT_TRANSLATE_NOOP("Engine", "……"), "", R::Item, 0},
    {I::LostReplaced,
     QT_TRANSLATE_N_NOOP("Engine", "有 %1 个被覆盖的文件无法放入回收站，已不能恢复。"), "N",
     R::Line, 1},
    {I::JournalUnwritable, QT_TRANSLATE_NOOP("Engine", "分拣记录无法写入，此次分拣不能撤销。"), "",
     R::Line, 0},
    //: %1 the system's words for what went wrong.
    {I::RunInterrupted, QT_TRANSLATE_NOOP("Engine", "分拣中断：%1"), "T", R::Line, 0},
    //: %1 a folder's path, %2 the reason.
    {I::CannotEnterFolder, QT_TRANSLATE_NOOP("Engine", "无法进入文件夹“%1”：%2，分拣已中止。"),
     "TR", R::Line, 0},
    //: The files of a run by what became of them.
    {I::CountsLine,
     QT_TRANSLATE_NOOP("Engine", "已放置 %1 个，跳过 %2 个，改名 %3 个，覆盖 %4 个，失败 %5 个"),
     "NNNNN", R::Line, 0, "c"},

    //: %1 a folder's path below the output directory.
    {I::OutsideOutputDir, QT_TRANSLATE_NOOP("Engine", "目标文件夹“%1”不在输出目录之内"), "T",
     R::Line, 0},
    //: %1 a folder's path, %2 the reason.
    {I::CannotMakeFolder, QT_TRANSLATE_NOOP("Engine", "无法建立目标文件夹“%1”：%2"), "TR", R::Line,
     0},
    //: %1 a path.
    {I::TargetTaken, QT_TRANSLATE_NOOP("Engine", "目标位置“%1”已被同名的文件或链接占用"), "T",
     R::Line, 0},
    {I::AlreadyInPlace, QT_TRANSLATE_NOOP("Engine", "已在目标位置"), "", R::Line, 0},
    {I::ReasonNotRegular, QT_TRANSLATE_NOOP("Engine", "不是普通文件（设备、管道或套接字），未打开"),
     "", R::Line, 0},
    {I::ReasonChanged, QT_TRANSLATE_NOOP("Engine", "文件在处理期间被改动或替换"), "", R::Line, 0},
    {I::ReasonLinkOntoTarget, QT_TRANSLATE_NOOP("Engine", "此符号链接会取代它所指向的文件，未移动"),
     "", R::Line, 0},
    {I::ReasonNoEntry, QT_TRANSLATE_NOOP("Engine", "文件或文件夹不存在"), "", R::Line, 0},
    {I::ReasonNoAccess, QT_TRANSLATE_NOOP("Engine", "没有权限"), "", R::Line, 0},
    {I::ReasonNotPermitted, QT_TRANSLATE_NOOP("Engine", "操作不被允许"), "", R::Line, 0},
    {I::ReasonReadOnly, QT_TRANSLATE_NOOP("Engine", "只读文件系统"), "", R::Line, 0},
    {I::ReasonNoSpace, QT_TRANSLATE_NOOP("Engine", "磁盘空间不足"), "", R::Line, 0},
    //: A full disk is the target's: %1 the folder the file was to go to.
    {I::ReasonNoSpaceIn, QT_TRANSLATE_NOOP("Engine", "目标文件夹“%1”所在的磁盘空间不足"), "T",
     R::Line, 0},
    {I::ReasonQuota, QT_TRANSLATE_NOOP("Engine", "超出磁盘配额"), "", R::Line, 0},
    //: A quota is the target's: %1 the folder the file was to go to.
    {I::ReasonQuotaIn, QT_TRANSLATE_NOOP("Engine", "目标文件夹“%1”超出磁盘配额"), "T", R::Line,
     0},
    {I::ReasonNameTooLong, QT_TRANSLATE_NOOP("Engine", "文件名或路径过长"), "", R::Line, 0},
    {I::ReasonLinkLoop, QT_TRANSLATE_NOOP("Engine", "符号链接层数过多"), "", R::Line, 0},
    {I::ReasonTooManyLinks, QT_TRANSLATE_NOOP("Engine", "链接数过多"), "", R::Line, 0},
    {I::ReasonIsFolder, QT_TRANSLATE_NOOP("Engine", "是一个文件夹"), "", R::Line, 0},
    {I::ReasonNotFolder, QT_TRANSLATE_NOOP("Engine", "不是文件夹"), "", R::Line, 0},
    {I::ReasonIo, QT_TRANSLATE_NOOP("Engine", "输入/输出错误"), "", R::Line, 0},
    {I::ReasonCrossDevice, QT_TRANSLATE_NOOP("Engine", "不能跨文件系统"), "", R::Line, 0},
    {I::ReasonExists, QT_TRANSLATE_NOOP("Engine", "已有同名项目"), "", R::Line, 0},

    //: %1 a file's name.
    {I::StatusCopying, QT_TRANSLATE_NOOP("Engine", "正在复制 %1"), "T", R::Line, 0, "hl"},
    //: %1 a file's name.
    {I::StatusMoving, QT_TRANSLATE_NOOP("Engine", "正在移动 %1"), "T", R::Line, 0, "hl"},
    //: %1 what is being copied, %2 the bytes copied so far, %3 the file's size.
    {I::StatusBytes, QT_TRANSLATE_NOOP("Engine", "%1（%2 / %3）"), "hTT", R::Line, 0, "l"},
    //: Two parts of the status line.
    {I::StatusJoin, QT_TRANSLATE_NOOP("Engine", "%1 · %2"), "lr", R::Line, 0, "l"},
    //: Two parts of the status line, the first ending in a full-width bracket.
    {I::StatusJoinAfterBracket, QT_TRANSLATE_NOOP("Engine", "%1· %2"), "lr", R::Line, 0, "l"},
    //: %1 the entry of the list, %2 the entries in it.
    {I::StatusFileOf, QT_TRANSLATE_NOOP("Engine", "第 %1 / %2 个文件"), "NN", R::Line, 0, "r"},
    //: %1 the entry of the list, %2 the entries in it.
    {I::StatusFolderOf, QT_TRANSLATE_NOOP("Engine", "第 %1 / %2 个文件夹"), "NN", R::Line, 0, "r"},
    //: %1 a time such as 00:42 or 1:02:03.
    {I::StatusTimeLeft, QT_TRANSLATE_NOOP("Engine", "剩余约 %1"), "T", R::Line, 0, "r"},
    //: %1 the counts of the run.
    {I::StatusFinished, QT_TRANSLATE_NOOP("Engine", "分拣完成：%1"), "c", R::Line, 0},
    //: %1 the counts of the run.
    {I::StatusStopped, QT_TRANSLATE_NOOP("Engine", "分拣已停止：%1"), "c", R::Line, 0},
    //: %1 the name of a file an undo puts back.
    {I::StatusUndoing, QT_TRANSLATE_NOOP("Engine", "正在撤销 %1"), "T", R::Line, 0, "hl"},
    //: %1 the counts of the undo.
    {I::StatusUndone, QT_TRANSLATE_NOOP("Engine", "撤销完成：%1"), "u", R::Line, 0},
    //: %1 the counts of the undo.
    {I::StatusUndoStopped, QT_TRANSLATE_NOOP("Engine", "撤销已停止：%1"), "u", R::Line, 0},
    //: An undo that left some files as they were. %1 the counts of the undo.
    {I::StatusUndoIncomplete, QT_TRANSLATE_NOOP("Engine", "撤销未能全部完成：%1"), "u", R::Line, 0},
    //: The files of an undo: moved back, copies removed (deleted or put in the Trash),
    //: replaced files restored from the Trash, files left as they were.
    {I::UndoCountsLine,
     QT_TRANSLATE_NOOP("Engine", "移回 %1 个，移除 %2 个，恢复 %3 个，未撤销 %4 个"), "NNNN",
     R::Line, 0, "u"},

    {I::ColumnSource, QT_TRANSLATE_NOOP("Engine", "源文件"), "", R::Line, 0},
    {I::ColumnFolder, QT_TRANSLATE_NOOP("Engine", "目标文件夹"), "", R::Line, 0},
    {I::ColumnTarget, QT_TRANSLATE_NOOP("Engine", "目标文件"), "", R::Line, 0},
    {I::ColumnAction, QT_TRANSLATE_NOOP("Engine", "操作"), "", R::Line, 0},
    {I::Copy, QT_TRANSLATE_NOOP("Engine", "复制"), "", R::Line, 0, "p"},
    {I::Move, QT_TRANSLATE_NOOP("Engine", "移动"), "", R::Line, 0, "p"},
    {I::Ask, QT_TRANSLATE_NOOP("Engine", "询问"), "", R::Line, 0, "p"},
    {I::Overwrite, QT_TRANSLATE_NOOP("Engine", "覆盖"), "", R::Line, 0, "p"},
    //: Followed by the numbered name the file gets.
    {I::RenamedAs, QT_TRANSLATE_NOOP("Engine", "编号为"), "", R::Line, 0},
    {I::SkipSameName, QT_TRANSLATE_NOOP("Engine", "跳过（同名）"), "", R::Line, 0, "p"},
    {I::ReplaceOlder, QT_TRANSLATE_NOOP("Engine", "只替换旧文件 → 替换"), "", R::Line, 0, "p"},
    {I::KeepNewer, QT_TRANSLATE_NOOP("Engine", "只替换旧文件 → 保留"), "", R::Line, 0, "p"},
    //: The file there holds the same bytes and stays; the new one is skipped.
    {I::SkipIdentical, QT_TRANSLATE_NOOP("Engine", "跳过（相同）"), "", R::Line, 0, "p"},
    {I::Skip, QT_TRANSLATE_NOOP("Engine", "跳过"), "", R::Line, 0},
    {I::Refused, QT_TRANSLATE_NOOP("Engine", "不能分拣"), "", R::Line, 0, "p"},
    //: Files given a numbered name, in a count.
    {I::Renamed, QT_TRANSLATE_NOOP("Engine", "编号"), "", R::Line, 0, "p"},
    {I::NotSelected, QT_TRANSLATE_NOOP("Engine", "未选中"), "", R::Line, 0, "p"},
    //: %1 the numbered name.
    {I::RenamedAsName, QT_TRANSLATE_NOOP("Engine", "编号为 %1"), "T", R::Line, 0},
    //: %1 why the file cannot be sorted.
    {I::RefusedBecause, QT_TRANSLATE_NOOP("Engine", "不能分拣 %1"), "R", R::Line, 0},

    {I::UndoNotThere, QT_TRANSLATE_NOOP("Engine", "文件已不在分拣放到的位置，未撤销"), "", R::Line,
     0},
    {I::UndoChanged, QT_TRANSLATE_NOOP("Engine", "文件在分拣之后被改动或替换过，未撤销"), "",
     R::Line, 0},
    {I::UndoTrashOccupied,
     QT_TRANSLATE_NOOP("Engine", "被覆盖的文件留在回收站：它原来的位置仍被占用"), "", R::Line, 0},
    {I::UndoReplacedLost, QT_TRANSLATE_NOOP("Engine", "被覆盖的文件当时无法放入回收站，不能恢复"),
     "", R::Line, 0},
    {I::UndoInDoubtKept,
     QT_TRANSLATE_NOOP("Engine", "分拣中断时这个文件是否已放好无法确定，未撤销"), "", R::Line, 0},
    //: %1 the path the file came from, %2 the reason.
    {I::UndoCannotMoveBack, QT_TRANSLATE_NOOP("Engine", "无法移回“%1”：%2"), "TR", R::Line, 0},
    {I::UndoRenamedBack, QT_TRANSLATE_NOOP("Engine", "原来的名字已被占用，已移回并改名"), "",
     R::Line, 0},
    {I::UndoCopyTrashed, QT_TRANSLATE_NOOP("Engine", "源文件已不在或已改动，副本已放入回收站"), "",
     R::Line, 0},
    //: %1 the reason.
    {I::UndoCannotRemoveCopy, QT_TRANSLATE_NOOP("Engine", "无法撤销这个副本：%1"), "R", R::Line, 0},
    //: %1 the path the file is to go back to, %2 the reason.
    {I::UndoCannotRestore, QT_TRANSLATE_NOOP("Engine", "无法从回收站恢复到“%1”：%2"), "TR", R::Line,
     0},
    {I::UndoStopped, QT_TRANSLATE_NOOP("Engine", "撤销已停止。"), "", R::Line, 0},
    {I::UndoDone, QT_TRANSLATE_NOOP("Engine", "撤销完成！"), "", R::Line, 0},
    //: An undo that left some files as they were (named below it).
    {I::UndoIncomplete, QT_TRANSLATE_NOOP("Engine", "撤销未能全部完成。"), "", R::Line, 0},
    //: %1 files moved back, %2 copies deleted, %3 files restored, %4 empty folders deleted.
    {I::UndoCounts,
     QT_TRANSLATE_NOOP(
         "Engine", "移回 %1 个文件，删除 %2 个副本，从回收站恢复 %3 个文件，删除 %4 个空文件夹。"),
     "NNNN", R::Line, 0},
    //: %1 files; they follow, one a line, each with what became of it.
    {I::UndoKeptHeading, QT_TRANSLATE_N_NOOP("Engine", "有 %1 个文件需要留意："), "N", R::Heading,
     1},
    //: %1 when the run began, %2 its output directory, %3 files to move back, %4 copies to
    //: delete, %5 files to restore.
    {I::UndoQuestion,
     QT_TRANSLATE_NOOP("Engine",
                       "将撤销 %1 开始的分拣（输出目录“%2”）：移回 %3 个文件，删除 %4 个副本，"
                       "从回收站恢复 %5 个文件。"),
     "TTNNN", R::Line, 0},
    {I::UndoInDoubt,
     QT_TRANSLATE_N_NOOP("Engine", "有 %1 个文件在分拣中断时状态不明，将按磁盘上的情况处理。"), "N",
     R::Line, 1},
    {I::UndoLost, QT_TRANSLATE_N_NOOP("Engine", "有 %1 个被覆盖的文件不能恢复。"), "N", R::Line, 1},
    {I::UndoAsk, QT_TRANSLATE_NOOP("Engine", "改动过的文件保持原样。是否继续？"), "", R::Line, 0},
    //: The same without the question, when nothing is asked.
    {I::UndoTell, QT_TRANSLATE_NOOP("Engine", "改动过的文件保持原样。"), "", R::Line, 0},
    {I::UndoNotInJournal, QT_TRANSLATE_NOOP("Engine", "分拣记录中没有这次分拣。"), "", R::Line, 0},
    {I::UndoOfUndo, QT_TRANSLATE_NOOP("Engine", "撤销本身不能再撤销。"), "", R::Line, 0},
    {I::UndoAlreadyUndone, QT_TRANSLATE_NOOP("Engine", "这次分拣已经撤销过了。"), "", R::Line, 0},

    //: The window a run was made in.
    {I::HistoryFiles, QT_TRANSLATE_NOOP("Engine", "文件"), "", R::Line, 0},
    //: The window a run was made in.
    {I::HistoryFolders, QT_TRANSLATE_NOOP("Engine", "文件夹"), "", R::Line, 0},
    {I::PageKeys, QT_TRANSLATE_NOOP("Engine", "按文件名匹配关键字分拣"), "", R::Line, 0},
    {I::PageName, QT_TRANSLATE_NOOP("Engine", "按文件名分拣"), "", R::Line, 0},
    {I::PageType, QT_TRANSLATE_NOOP("Engine", "按文件类型分拣"), "", R::Line, 0},
    {I::PageSize, QT_TRANSLATE_NOOP("Engine", "按文件大小分拣"), "", R::Line, 0},
    {I::PageDate, QT_TRANSLATE_NOOP("Engine", "按文件日期属性分拣"), "", R::Line, 0},
    {I::PagePicture, QT_TRANSLATE_NOOP("Engine", "图像文件分拣"), "", R::Line, 0},
    {I::PageTaken, QT_TRANSLATE_NOOP("Engine", "拍摄日期"), "", R::Line, 0},
    {I::FolderPageKeys, QT_TRANSLATE_NOOP("Engine", "按目录名匹配关键字分拣"), "", R::Line, 0},
    {I::FolderPageName, QT_TRANSLATE_NOOP("Engine", "按目录名分拣"), "", R::Line, 0},
    {I::FolderPageDate, QT_TRANSLATE_NOOP("Engine", "按目录日期属性分拣"), "", R::Line, 0},
    //: A run that undid another.
    {I::HistoryUndo, QT_TRANSLATE_NOOP("Engine", "撤销"), "", R::Line, 0},
    //: Placed, skipped, renamed, overwritten, failed.
    {I::HistoryCounts, QT_TRANSLATE_NOOP("Engine", "已放置 %1，跳过 %2，改名 %3，覆盖 %4，失败 %5"),
     "NNNNN", R::Line, 0},
    //: An undo run: moved back, copies removed, restored, left as they were.
    {I::HistoryUndoCounts, QT_TRANSLATE_NOOP("Engine", "移回 %1，移除 %2，恢复 %3，未撤销 %4"),
     "NNNN", R::Line, 0},
    {I::StateFinished, QT_TRANSLATE_NOOP("Engine", "完成"), "", R::Line, 0, "s"},
    {I::StateStopped, QT_TRANSLATE_NOOP("Engine", "已停止"), "", R::Line, 0, "s"},
    {I::StateEndedEarly, QT_TRANSLATE_NOOP("Engine", "中断"), "", R::Line, 0, "s"},
    {I::StateUnfinished, QT_TRANSLATE_NOOP("Engine", "未正常结束"), "", R::Line, 0, "s"},
    //: %1 how the run ended.
    {I::StateUndone, QT_TRANSLATE_NOOP("Engine", "%1，已撤销"), "s", R::Line, 0},

    //: %1 the list file's path.
    {I::ListExportNotRegular,
     QT_TRANSLATE_NOOP("Engine",
                       "无法导出列表：“%1”不是普通文件（设备、管道或套接字），未被替换。"),
     "T", R::Line, 0},
    //: %1 the list file's path.
    {I::ListTooLarge,
     QT_TRANSLATE_NOOP("Engine",
                       "无法导入列表：“%1”太大（上限为 64 MiB 或 100 万行），未导入任何条目。"),
     "T", R::Line, 0},
    //: %1 the list file's path.
    {I::ListImportNotRegular,
     QT_TRANSLATE_NOOP("Engine",
                       "无法导入列表：“%1”不是普通文件（设备、管道或套接字），未被打开。"),
     "T", R::Line, 0},
    //: %1 the list file's path, %2 the system's reason.
    {I::ListCannotCreate, QT_TRANSLATE_NOOP("Engine", "Cannot create file \"%1\". %2"), "TR",
     R::Line, 0},
    //: %1 the list file's path, %2 the system's reason.
    {I::ListCannotOpen, QT_TRANSLATE_NOOP("Engine", "Cannot open file \"%1\". %2"), "TR", R::Line,
     0},
    //: %1 the settings file's path.
    {I::SettingsNotRegular,
     QT_TRANSLATE_NOOP("Engine",
                       "无法保存设置：“%1”不是普通文件（设备、管道或套接字），未被改动。"),
     "T", R::Line, 0},
    //: %1 the settings file's path, %2 the line.
    {I::SettingsLineFault,
     QT_TRANSLATE_NOOP("Engine",
                       "无法保存设置：“%1”第 %2 行。文件未被改动，请修改或删除该行后再试。"),
     "TN", R::Line, 0},
    //: %1 the settings file's path, %2 the line.
    {I::SettingsLineNul,
     QT_TRANSLATE_NOOP("Engine",
                       "无法保存设置：“%1”第 %2 行含有空字符（NUL），其后的内容无法保留。"
                       "文件未被改动，请修改或删除该行后再试。"),
     "TN", R::Line, 0},
    //: %1 the settings file's path, %2 the line.
    {I::SettingsLineNoEquals,
     QT_TRANSLATE_NOOP("Engine",
                       "无法保存设置：“%1”第 %2 行既不是“键=值”，也不是节名或注释，无法保留。"
                       "文件未被改动，请修改或删除该行后再试。"),
     "TN", R::Line, 0},
    //: %1 the settings file's path, %2 the line.
    {I::SettingsLineEmptyKey,
     QT_TRANSLATE_NOOP("Engine",
                       "无法保存设置：“%1”第 %2 行的键名为空，无法保留。"
                       "文件未被改动，请修改或删除该行后再试。"),
     "TN", R::Line, 0},
    //: %1 the settings file's path, %2 the line.
    {I::SettingsLineUnclosed,
     QT_TRANSLATE_NOOP("Engine",
                       "无法保存设置：“%1”第 %2 行的节名缺少“]”，其后的内容无法保留。"
                       "文件未被改动，请修改或删除该行后再试。"),
     "TN", R::Line, 0},
    //: %1 the settings file's path, %2 the line.
    {I::SettingsLineAfterSection,
     QT_TRANSLATE_NOOP("Engine",
                       "无法保存设置：“%1”第 %2 行在节名的“]”之后还有文字，无法保留。"
                       "文件未被改动，请修改或删除该行后再试。"),
     "TN", R::Line, 0},
    //: %1 the settings file's path.
    {I::SettingsWouldLose,
     QT_TRANSLATE_NOOP("Engine", "无法保存设置：保存会丢失“%1”中原有的内容。文件未被改动。"), "T",
     R::Line, 0},
    //: %1 the settings file's path.
    {I::SettingsUnableToWrite, QT_TRANSLATE_NOOP("Engine", "Unable to write to %1"), "T", R::Line,
     0},
    {I::PlanNameEmpty, QT_TRANSLATE_NOOP("Engine", "方案名称不能为空。"), "", R::Line, 0},
    //: %1 the plan's name as typed.
    {I::PlanNameTooLong,
     QT_TRANSLATE_NOOP("Engine", "方案名称“%1”太长：最多 64 个字节（约 21 个汉字）。"), "T", R::Line,
     0},
    //: %1 the plan's name as typed.
    {I::PlanNameUnusable,
     QT_TRANSLATE_NOOP("Engine",
                       "方案名称“%1”不能使用：名称中不能有方括号“[”“]”或控制字符，首尾不能有空格。"),
     "T", R::Line, 0},

    {I::CliJournalCannotOpen, QT_TRANSLATE_NOOP("Engine", "分拣记录无法打开。"), "", R::Line, 0},
    {I::CliJournalEmpty, QT_TRANSLATE_NOOP("Engine", "分拣记录中还没有分拣。"), "", R::Line, 0},
    {I::CliUndoJournalCannotOpen, QT_TRANSLATE_NOOP("Engine", "分拣记录无法打开，不能撤销。"), "",
     R::Line, 0},
    {I::CliNothingToUndo, QT_TRANSLATE_NOOP("Engine", "没有可以撤销的分拣。"), "", R::Line, 0},
    {I::CliNotUndone, QT_TRANSLATE_NOOP("Engine", "没有撤销。"), "", R::Line, 0},
    //: %1 the actions of a plan with their counts.
    {I::CliPreview, QT_TRANSLATE_NOOP("Engine", "预览：%1"), "q", R::Line, 0},
    {I::CliPreviewNothing, QT_TRANSLATE_NOOP("Engine", "预览：没有文件"), "", R::Line, 0},
    //: %1 an action of a plan, %2 how many files it takes.
    {I::CliPreviewCount, QT_TRANSLATE_NOOP("Engine", "%1 %2 个"), "pN", R::Line, 0, "q"},
    //: Two parts of a list on one line.
    {I::CliListJoin, QT_TRANSLATE_NOOP("Engine", "%1，%2"), "qq", R::Line, 0, "q"},
    //: The failed files follow, one a line.
    {I::CliFailedHeading, QT_TRANSLATE_NOOP("Engine", "未能分拣的文件："), "", R::Heading, 0},
    //: %1 the path of the file already there.
    {I::CliReplaceQuestion, QT_TRANSLATE_NOOP("Engine", "文件%1已存在，是否覆盖？"), "T", R::Line,
     0},
    //: %1 the file's size, %2 its time; lined up with the next line.
    {I::CliExistingFile, QT_TRANSLATE_NOOP("Engine", "  现有文件：%1，%2"), "RR", R::Line, 0},
    //: %1 the file's size, %2 its time; lined up with the line before.
    {I::CliNewFile, QT_TRANSLATE_NOOP("Engine", "  新文件：  %1，%2"), "RR", R::Line, 0},
    {I::CliBytes, QT_TRANSLATE_N_NOOP("Engine", "%1 字节"), "N", R::Line, 1},
    //: %1 the size in KB, MB, ..., %2 in bytes.
    {I::CliSizeWithBytes, QT_TRANSLATE_N_NOOP("Engine", "%1（%2 字节）"), "TN", R::Line, 2},
    //: %1 a time.
    {I::CliNewer, QT_TRANSLATE_NOOP("Engine", "%1（较新）"), "T", R::Line, 0},
    //: The letters are what the user types; keep them.
    {I::CliAnswerPrompt,
     QT_TRANSLATE_NOOP("Engine", "[y 是 / n 否 / a 全部是 / N 全部否 / s 停止]（默认 n）："), "",
     R::Line, 0},
    //: %1 why the run was refused.
    {I::CliRefused, QT_TRANSLATE_NOOP("Engine", "zanfeld-cli: %1"), "R", R::Line, 0},
    //: %1 why the run was refused, %2 the option at fault.
    {I::CliRefusedOption, QT_TRANSLATE_NOOP("Engine", "zanfeld-cli: %1（%2）"), "RT", R::Line, 0},
    //: %1 the output directory, %2 why it cannot be one.
    {I::CliOutputUnusable, QT_TRANSLATE_NOOP("Engine", "“%1”不能作为输出目录：%2"), "TR", R::Line,
     0},
    //: %1 a path; a reason the output directory cannot be made.
    {I::CliNotFolder, QT_TRANSLATE_NOOP("Engine", "“%1”不是文件夹"), "T", R::Line, 0},
    //: A reason the output directory cannot be used.
    {I::CliVirtualFileSystem,
     QT_TRANSLATE_NOOP("Engine", "它在系统的虚拟文件系统（如 /proc、/sys）之中"), "", R::Line, 0},
    //: %1 the option, %2 the first character typed, %3 the last.
    {I::CliRangeReversed,
     QT_TRANSLATE_NOOP("Engine", "%1：第一个字符（%2）在最后一个字符（%3）之后"), "TTT", R::Line,
     0},
    //: %1 "There are no files to sort!" or the same of folders, %2 the list file's path.
    {I::CliListNoPaths,
     QT_TRANSLATE_NOOP("Engine", "%1列表“%2”中没有路径：它是空的，或者不是文本文件。"), "RT",
     R::Line, 0},
    //: %1 "There are no files to sort!", %2 the list file's path.
    {I::CliListNoFiles, QT_TRANSLATE_NOOP("Engine", "%1列表“%2”中的路径都不是现有的文件。"), "RT",
     R::Line, 0},
    //: %1 "There are no folders to sort!", %2 the list file's path.
    {I::CliListNoFolders, QT_TRANSLATE_NOOP("Engine", "%1列表“%2”中的路径都不是现有的文件夹。"),
     "RT", R::Line, 0},
    //: %1 the option, %2 the smallest number it takes, %3 what was typed.
    {I::CliWholeNumber, QT_TRANSLATE_NOOP("Engine", "%1：应为不小于 %2 的整数，而不是“%3”"), "TNT",
     R::Line, 0},
    //: %1 the option, %2 the smallest number it takes, %3 the largest, %4 what was typed.
    {I::CliWholeNumberRange,
     QT_TRANSLATE_NOOP("Engine", "%1：应为 %2 到 %3 之间的整数，而不是“%4”"), "TNNT", R::Line, 0},
    //: %1 the option, %2 what was typed, %3 the values it takes.
    {I::CliNotAllowed, QT_TRANSLATE_NOOP("Engine", "%1：“%2”不是可选的值（可选：%3）"), "TTT",
     R::Line, 0},
    //: %1 the options typed.
    {I::CliUnknownOption, QT_TRANSLATE_NOOP("Engine", "不认识的选项：%1"), "T", R::Line, 0},
    //: %1 the words typed.
    {I::CliUnexpectedArgument, QT_TRANSLATE_NOOP("Engine", "多余的参数：%1"), "T", R::Line, 0},
    //: %1 the option.
    {I::CliMissingValue, QT_TRANSLATE_NOOP("Engine", "%1 后面缺少值"), "T", R::Line, 0},
    //: %1 and %2 two options.
    {I::CliExcludes, QT_TRANSLATE_NOOP("Engine", "%1 和 %2 不能同时使用"), "TT", R::Line, 0},
    //: The command names stay as they are.
    {I::CliNoCommand,
     QT_TRANSLATE_NOOP("Engine", "请给出命令：sort、sort-folders、undo 或 history"), "", R::Line,
     0},
    //: %1 the word typed; the command names stay as they are.
    {I::CliUnknownCommand,
     QT_TRANSLATE_NOOP("Engine", "不认识的命令：%1（命令有 sort、sort-folders、undo 和 history）"),
     "T", R::Line, 0},
    {I::CliHelpHint, QT_TRANSLATE_NOOP("Engine", "加上 --help 运行可查看更多说明。"), "", R::Line,
     0},
    //: %1 the option, %2 the path.
    {I::CliNoSettingsFile, QT_TRANSLATE_NOOP("Engine", "%1：没有设置文件“%2”"), "TT", R::Line, 0},
    //: %1 the option, %2 the criteria's names, which stay as they are.
    {I::CliChooseCriterion, QT_TRANSLATE_NOOP("Engine", "%1：请选择分拣方式：%2"), "TT", R::Line,
     0},
    //: %1 the option.
    {I::CliRangeForm,
     QT_TRANSLATE_NOOP("Engine", "%1：请以 A:B 给出第一个和最后一个字符，例如 1:4"), "T", R::Line,
     0},
    //: %1 the option, %2 what was typed.
    {I::CliSizeForm,
     QT_TRANSLATE_NOOP("Engine", "%1：应为 >N 或 <N，N 以 KB 或 MB 计，例如“>10MB”，而不是“%2”"),
     "TT", R::Line, 0},
    //: %1 the option, %2 what was typed.
    {I::CliDateForm,
     QT_TRANSLATE_NOOP("Engine",
                       "%1：应为 <日期 或 >日期，日期写作 YYYY-MM-DD "
                       "[HH:MM[:SS]]，例如“<2015-05-06 12:00”，而不是“%2”"),
     "TT", R::Line, 0},
    //: %1 the option, %2 what was typed.
    {I::CliPixelsForm,
     QT_TRANSLATE_NOOP("Engine", "%1：应为 >=N、<=N 或 =N 像素，例如“>=800”，而不是“%2”"), "TT",
     R::Line, 0},
    //: %1 the option, %2 what was typed.
    {I::CliPictureTypesForm,
     QT_TRANSLATE_NOOP("Engine",
                       "%1：应为 JPG、BMP、GIF、PNG、TIF 中的图片类型，以逗号分隔，而不是“%2”"),
     "TT", R::Line, 0},
    //: %1 the option, %2 what was typed.
    {I::CliTakenTypesForm,
     QT_TRANSLATE_NOOP("Engine",
                       "%1：应为 JPG、JPEG、HEIC、HEIF、PNG、TIF、TIFF、WEBP、DNG、CR2、CR3、NEF、ARW、"
                       "ORF、RW2、MP4、MOV、3GP、M4V、MKV 中的类型，以逗号分隔，而不是“%2”"),
     "TT", R::Line, 0},
    //: %1 the option, %2 what was typed.
    {I::CliUnknownFolderForm,
     QT_TRANSLATE_NOOP("Engine", "%1：应为输出目录下一个文件夹的名称（不含“/”），而不是“%2”"),
     "TT", R::Line, 0},
    //: %1 the option.
    {I::CliFileTypesForm,
     QT_TRANSLATE_NOOP("Engine", "%1：应为以逗号分隔的文件类型，例如“*.txt,*.doc”或“txt,doc”"), "T",
     R::Line, 0},
    //: %1 the option or FILE, %2 the path.
    {I::CliNoSuchFile, QT_TRANSLATE_NOOP("Engine", "%1：没有文件 %2"), "TT", R::Line, 0},
    //: %1 the option or FOLDER, %2 the path.
    {I::CliNoSuchFolder, QT_TRANSLATE_NOOP("Engine", "%1：没有文件夹 %2"), "TT", R::Line, 0},
    //: Said after a path given as a file that is a folder; --walk stays as it is.
    {I::CliFolderNotFile, QT_TRANSLATE_NOOP("Engine", "（这是文件夹：请用 --walk 加入其中的文件）"),
     "", R::Line, 0},
    //: The option names stay as they are.
    {I::CliNoTerminalUndo,
     QT_TRANSLATE_NOOP("Engine",
                       "zanfeld-cli: undo：没有可以提问的终端；不经询问直接撤销请加 --yes"),
     "", R::Line, 0},
    //: The option names stay as they are.
    {I::CliNoTerminalAsk,
     QT_TRANSLATE_NOOP(
         "Engine",
         "--same ask：没有可以提问的终端；请用 --yes 或 --no 给出回答，或选择其他的 --same"),
     "", R::Line, 0},

    //: %1 a plan's name. "zanfeld-cli plans" stays as it is.
    {I::CliNoSuchPlan,
     QT_TRANSLATE_NOOP("Engine", "没有名为“%1”的方案（zanfeld-cli plans 列出所有方案）"), "T",
     R::Line, 0},
    //: %1 a plan's name; sort-folders stays as it is.
    {I::CliFolderPlan, QT_TRANSLATE_NOOP("Engine", "“%1”是文件夹的方案：请用 sort-folders 运行它"),
     "T", R::Line, 0},
    //: %1 a plan's name; sort stays as it is.
    {I::CliFilePlan, QT_TRANSLATE_NOOP("Engine", "“%1”是文件的方案：请用 sort 运行它"), "T",
     R::Line, 0},
    {I::CliOneFolderPlan, QT_TRANSLATE_NOOP("Engine", "sort-folders 一次只能运行一个方案"), "",
     R::Line, 0},
    {I::CliPlansEmpty, QT_TRANSLATE_NOOP("Engine", "设置文件中还没有方案。"), "", R::Line, 0},
    {I::CliPlanSaved, QT_TRANSLATE_NOOP("Engine", "方案“%1”已保存。"), "T", R::Line, 0},
    {I::CliPlanDeleted, QT_TRANSLATE_NOOP("Engine", "方案“%1”已删除。"), "T", R::Line, 0},
    //: The option names and values stay as they are.
    {I::CliPlanFolderPage,
     QT_TRANSLATE_NOOP("Engine", "--folders：文件夹的方案只能用 --by keys 或 --by name"), "",
     R::Line, 0},
    //: %1 a plan's name, %2 why it could not be stored.
    {I::CliPlanCannotSave, QT_TRANSLATE_NOOP("Engine", "方案“%1”无法保存：%2"), "TR", R::Line, 0},
    //: %1 a plan's name.
    {I::WatchFolderPlan,
     QT_TRANSLATE_NOOP("Engine", "“%1”是文件夹的方案：自动分拣只能用文件的方案"), "T", R::Line, 0},
    //: %1 a plan's name; “相同则跳过” is the same-name answer of that name in the window.
    {I::WatchAsk,
     QT_TRANSLATE_NOOP("Engine",
                       "方案“%1”遇到同名文件时询问，而自动分拣时没有人回答：请改用“相同则跳过”"
                       "（--same identical）"),
     "T", R::Line, 0},
    //: The option names stay as they are.
    {I::WatchNoPlan,
     QT_TRANSLATE_NOOP("Engine", "watch：请用 --plan 给出至少一个方案，或使用 --from-settings"), "",
     R::Line, 0},
    //: The option names stay as they are.
    {I::WatchNoFolder,
     QT_TRANSLATE_NOOP("Engine", "watch：请给出要监视的文件夹，或使用 --from-settings"), "",
     R::Line, 0},
    //: The option names stay as they are.
    {I::WatchFromSettingsAlone,
     QT_TRANSLATE_NOOP("Engine", "--from-settings 不能与监视的文件夹、--plan、--depth 或 --all 同时使用"),
     "", R::Line, 0},
    //: %1 the settings file's path.
    {I::WatchNothingOn, QT_TRANSLATE_NOOP("Engine", "设置文件“%1”中没有打开的监视文件夹"), "T",
     R::Line, 0},
    //: %1 a watched folder, %2 a plan's output folder.
    {I::WatchInsideOutput,
     QT_TRANSLATE_NOOP("Engine",
                       "监视的文件夹“%1”在输出目录“%2”之中：自动分拣从不分拣自己的输出"),
     "TT", R::Line, 0},
    //: %1 the process number of the watch that runs.
    {I::WatchAlreadyRunning,
     QT_TRANSLATE_NOOP("Engine", "已经有一个使用同一设置文件的自动分拣在运行（进程 %1）"), "N",
     R::Line, 0},
    //: %1 the lock file's path, %2 why.
    {I::WatchCannotLock, QT_TRANSLATE_NOOP("Engine", "无法建立自动分拣的锁文件“%1”：%2"), "TR",
     R::Line, 0},
    //: %1 why the system gives no notice of new files.
    {I::WatchNoEvents, QT_TRANSLATE_NOOP("Engine", "无法监视文件夹：%1"), "R", R::Line, 0},
    //: %1 the watched folders, separated by commas.
    {I::WatchStarted, QT_TRANSLATE_NOOP("Engine", "自动分拣开始，监视的文件夹：%1"), "T", R::Line,
     0},
    {I::WatchEnded, QT_TRANSLATE_NOOP("Engine", "自动分拣已停止。"), "", R::Line, 0},
    //: One line a sorted batch in a service's log: %1 the time, %2 files, then placed,
    //: skipped and failed ones, %6 the run's number in the history.
    {I::WatchBatch,
     QT_TRANSLATE_NOOP("Engine",
                       "%1 自动分拣 %2 个文件：放置 %3 个，跳过 %4 个，失败 %5 个（分拣记录 %6）"),
     "TNNNNN", R::Line, 0},
    //: The same for a run the journal could not record.
    {I::WatchBatchUnrecorded,
     QT_TRANSLATE_NOOP("Engine",
                       "%1 自动分拣 %2 个文件：放置 %3 个，跳过 %4 个，失败 %5 个（未记录）"),
     "TNNNN", R::Line, 0},
    //: %1 the time, %2 files, %3 why the run did not begin.
    {I::WatchRunRefused,
     QT_TRANSLATE_NOOP("Engine", "%1 自动分拣 %2 个文件未能开始：%3"), "TNR", R::Line, 0},
    //: %1 a watched folder.
    {I::WatchFolderMissing,
     QT_TRANSLATE_NOOP("Engine", "监视的文件夹“%1”不存在：它出现后开始监视"), "T", R::Line, 0},
    //: %1 a watched folder.
    {I::WatchFolderGone,
     QT_TRANSLATE_NOOP("Engine", "监视的文件夹“%1”已不存在：它再出现后继续监视"), "T", R::Line, 0},
    //: %1 a watched folder.
    {I::WatchFolderBack,
     QT_TRANSLATE_NOOP("Engine", "监视的文件夹“%1”已出现：查看其中的文件并继续监视"), "T", R::Line,
     0},
    //: %1 a missing watched folder, %2 the folder above it that could not be watched, %3 why.
    {I::WatchCannotWait,
     QT_TRANSLATE_NOOP("Engine", "无法等待文件夹“%1”出现：无法监视“%2”：%3"), "TTR", R::Line, 0},
    //: %1 a folder; fs.inotify.max_user_watches is the system setting's name.
    {I::WatchLimit,
     QT_TRANSLATE_NOOP("Engine",
                       "无法监视文件夹“%1”：已达到系统允许的监视数上限"
                       "（fs.inotify.max_user_watches），其中新到的文件不会被分拣；"
                       "请提高这个上限，然后重新启动自动分拣"),
     "T", R::Line, 0},
    //: %1 folders.
    {I::WatchLimitMore,
     QT_TRANSLATE_NOOP("Engine", "另有 %1 个文件夹也因这个上限无法监视"), "N", R::Line, 0},
    //: %1 a folder, %2 why.
    {I::WatchCannotWatch, QT_TRANSLATE_NOOP("Engine", "无法监视文件夹“%1”：%2"), "TR", R::Line, 0},
    {I::WatchOverflow,
     QT_TRANSLATE_NOOP("Engine", "系统的事件队列已满，有些通知丢失了：重新查看所有监视的文件夹"),
     "", R::Line, 0},
    //: Marks a run the watcher made by itself in a list of runs.
    {I::HistoryAutomatic, QT_TRANSLATE_NOOP("Engine", "自动"), "", R::Line, 0},
};

constexpr bool InIdOrder() {
    for (size_t i = 0; i < std::size(kTexts); ++i)
        if (static_cast<size_t>(kTexts[i].id) != i) return false;
    return std::size(kTexts) == static_cast<size_t>(MessageId::Count);
}
static_assert(InIdOrder(), "kTexts holds every MessageId once, in the order of the enumeration");

constexpr MessageText kNone{MessageId::Count, "", "", MessageRole::Line, 0};

template <typename Piece>
std::string Fill(std::string_view text, const Piece* args, size_t count) {
    std::string out;
    out.reserve(text.size() + 32);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto n = static_cast<size_t>(text[i + 1] - '1');
            if (n < count) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

const MessageText& MessageTexts::entry(MessageId id) {
    const auto index = static_cast<size_t>(id);
    return index < std::size(kTexts) ? kTexts[index] : kNone;
}

const char* MessageTexts::text(MessageId id) { return entry(id).text; }

std::span<const MessageText> MessageTexts::all() { return kTexts; }

std::string MessageTexts::fill(std::string_view text,
                               std::initializer_list<std::string_view> args) {
    return Fill(text, args.begin(), args.size());
}

std::string MessageTexts::fill(std::string_view text, std::span<const std::string> args) {
    return Fill(text, args.data(), args.size());
}

std::string Format(MessageId id, std::initializer_list<std::string_view> args) {
    return MessageTexts::fill(MessageTexts::text(id), args);
}

}  // namespace zanfeld
