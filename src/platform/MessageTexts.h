#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace zanfeld {

// Every text the Qt-free layers show (engine, journal, lists, settings,
// platform, the command line), by id. The Chinese text is the source; its
// pieces that vary are %1, %2, ... The words that become part of a folder a
// run makes ("大于100KB") are not here: they never depend on the language.
enum class MessageId : int {
    // Checks before a run.
    NoFilesToSort,
    NoFoldersToSort,
    EmptyTypeList,
    ChooseOutputDir,
    EnterKeywords,
    EnterWholeNumbers,
    EnterPictureSize,
    EnterFileSize,

    // The closing message of a run.
    SortDone,
    SortStopped,
    Sentence,
    FailedHeading,
    FailureItem,
    MoreFailures,
    LostReplaced,
    JournalUnwritable,
    RunInterrupted,
    CannotEnterFolder,
    CountsLine,

    // Why a file could not be placed.
    OutsideOutputDir,
    CannotMakeFolder,
    TargetTaken,
    AlreadyInPlace,
    ReasonNotRegular,
    ReasonChanged,
    ReasonLinkOntoTarget,
    ReasonNoEntry,
    ReasonNoAccess,
    ReasonNotPermitted,
    ReasonReadOnly,
    ReasonNoSpace,
    ReasonNoSpaceIn,
    ReasonQuota,
    ReasonQuotaIn,
    ReasonNameTooLong,
    ReasonLinkLoop,
    ReasonTooManyLinks,
    ReasonIsFolder,
    ReasonNotFolder,
    ReasonIo,
    ReasonCrossDevice,
    ReasonExists,

    // The status line.
    StatusCopying,
    StatusMoving,
    StatusBytes,
    StatusJoin,
    StatusJoinAfterBracket,
    StatusFileOf,
    StatusFolderOf,
    StatusTimeLeft,
    StatusFinished,
    StatusStopped,
    StatusUndoing,
    StatusUndone,
    StatusUndoStopped,
    StatusUndoIncomplete,
    UndoCountsLine,

    // A plan's words.
    ColumnSource,
    ColumnFolder,
    ColumnTarget,
    ColumnAction,
    Copy,
    Move,
    Ask,
    Overwrite,
    RenamedAs,
    SkipSameName,
    ReplaceOlder,
    KeepNewer,
    SkipIdentical,
    Skip,
    Refused,
    Renamed,
    NotSelected,
    RenamedAsName,
    RefusedBecause,

    // Undo.
    UndoNotThere,
    UndoChanged,
    UndoTrashOccupied,
    UndoReplacedLost,
    UndoInDoubtKept,
    UndoCannotMoveBack,
    UndoRenamedBack,
    UndoCopyTrashed,
    UndoCannotRemoveCopy,
    UndoCannotRestore,
    UndoStopped,
    UndoDone,
    UndoIncomplete,
    UndoCounts,
    UndoKeptHeading,
    UndoQuestion,
    UndoInDoubt,
    UndoLost,
    UndoAsk,
    UndoTell,
    UndoNotInJournal,
    UndoOfUndo,
    UndoAlreadyUndone,

    // A recorded run in a list of runs.
    HistoryFiles,
    HistoryFolders,
    PageKeys,
    PageName,
    PageType,
    PageSize,
    PageDate,
    PagePicture,
    PageTaken,
    FolderPageKeys,
    FolderPageName,
    FolderPageDate,
    HistoryUndo,
    HistoryCounts,
    HistoryUndoCounts,
    StateFinished,
    StateStopped,
    StateEndedEarly,
    StateUnfinished,
    StateUndone,

    // List files and the settings file.
    ListExportNotRegular,
    ListTooLarge,
    ListImportNotRegular,
    ListCannotCreate,
    ListCannotOpen,
    SettingsNotRegular,
    SettingsLineFault,
    SettingsLineNul,
    SettingsLineNoEquals,
    SettingsLineEmptyKey,
    SettingsLineUnclosed,
    SettingsLineAfterSection,
    SettingsWouldLose,
    SettingsUnableToWrite,
    PlanNameEmpty,
    PlanNameTooLong,
    PlanNameUnusable,

    // The command line.
    CliJournalCannotOpen,
    CliJournalEmpty,
    CliUndoJournalCannotOpen,
    CliNothingToUndo,
    CliNotUndone,
    CliPreview,
    CliPreviewNothing,
    CliPreviewCount,
    CliListJoin,
    CliFailedHeading,
    CliReplaceQuestion,
    CliExistingFile,
    CliNewFile,
    CliBytes,
    CliSizeWithBytes,
    CliNewer,
    CliAnswerPrompt,
    CliRefused,
    CliRefusedOption,
    CliOutputUnusable,
    CliNotFolder,
    CliVirtualFileSystem,
    CliRangeReversed,
    CliListNoPaths,
    CliListNoFiles,
    CliListNoFolders,
    CliWholeNumber,
    CliWholeNumberRange,
    CliNotAllowed,
    CliUnknownOption,
    CliUnexpectedArgument,
    CliMissingValue,
    CliExcludes,
    CliNoCommand,
    CliUnknownCommand,
    CliHelpHint,
    CliNoSettingsFile,
    CliChooseCriterion,
    CliRangeForm,
    CliSizeForm,
    CliDateForm,
    CliPixelsForm,
    CliPictureTypesForm,
    CliTakenTypesForm,
    CliUnknownFolderForm,
    CliFileTypesForm,
    CliNoSuchFile,
    CliNoSuchFolder,
    CliFolderNotFile,
    CliNoTerminalUndo,
    CliNoTerminalAsk,

    // Plans and watched folders on the command line.
    CliNoSuchPlan,
    CliFolderPlan,
    CliFilePlan,
    CliOneFolderPlan,
    CliPlansEmpty,
    CliPlanSaved,
    CliPlanDeleted,
    CliPlanFolderPage,
    CliPlanCannotSave,
    WatchFolderPlan,
    WatchAsk,
    WatchNoPlan,
    WatchNoFolder,
    WatchFromSettingsAlone,
    WatchNothingOn,
    WatchInsideOutput,
    WatchAlreadyRunning,
    WatchCannotLock,
    WatchNoEvents,
    WatchStarted,
    WatchEnded,
    WatchBatch,
    WatchBatchUnrecorded,
    WatchRunRefused,
    WatchFolderMissing,
    WatchFolderGone,
    WatchFolderBack,
    WatchCannotWait,
    WatchLimit,
    WatchLimitMore,
    WatchCannotWatch,
    WatchOverflow,
    HistoryAutomatic,

    Count
};

// Where a text stands in a message, for reading a message back.
enum class MessageRole : char {
    Line,     // a line of its own, or a piece of another text
    Heading,  // a line that begins a list of items (up to the next blank line)
    Item      // a line of such a list only
};

// One text. pieces names what each %N holds, one letter for %1, %2, ...:
//   'T' a text given by the user or the system (a path, a name, a time):
//       never translated;
//   'N' a number (ASCII digits);
//   'R' a reason: translated when it is itself one of these texts;
//   a small letter: one of these texts whose groups hold that letter,
//       translated ('c' counts, 'h' the file the status line names, 'l' and
//       'r' the parts before and after a separator of the status line, 's' how
//       a run ended, 'p' an action of a plan, 'q' a plan's counts, 'u' an undo's
//       counts).
// The groups say where a text may stand within another, so that a name that
// happens to hold such words is never taken for them.
struct MessageText {
    MessageId id;
    const char* text;
    const char* pieces;
    MessageRole role;
    int countPiece;  // the %N that counts things, for plural forms; 0 for none
    const char* groups = "";
};

class MessageTexts {
  public:
    // The context the texts are translated in.
    static constexpr const char* kContext = "Engine";

    // The Chinese text (template) of id; "" for an id outside the table.
    static const char* text(MessageId id);
    static const MessageText& entry(MessageId id);
    static std::span<const MessageText> all();

    // Fills template: %1 with the first of args, %2 with the second, ...,
    // in one pass, so that a piece holding "%2" stays as it is. A %N
    // without an argument stays as it is.
    static std::string fill(std::string_view text, std::initializer_list<std::string_view> args);
    static std::string fill(std::string_view text, std::span<const std::string> args);
};

// The Chinese text of id with its pieces filled in.
std::string Format(MessageId id, std::initializer_list<std::string_view> args = {});

}  // namespace zanfeld
