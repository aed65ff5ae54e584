#include "RunNotes.h"

#include "MessageTexts.h"

namespace zanfeld {

void RunCounts::add(FileOutcome outcome) {
    switch (outcome) {
        case FileOutcome::Placed:
            ++placed;
            break;
        case FileOutcome::Renamed:
            ++renamed;
            break;
        case FileOutcome::Overwritten:
            ++overwritten;
            break;
        case FileOutcome::Skipped:
            ++skipped;
            break;
        case FileOutcome::Failed:
            ++failed;
            break;
    }
}

std::string RunCounts::text() const {
    return Format(MessageId::CountsLine,
                  {std::to_string(placed), std::to_string(skipped), std::to_string(renamed),
                   std::to_string(overwritten), std::to_string(failed)});
}

std::string UndoCounts::text() const {
    return Format(MessageId::UndoCountsLine, {std::to_string(movedBack), std::to_string(removed),
                                              std::to_string(restored), std::to_string(notUndone)});
}

}  // namespace zanfeld
