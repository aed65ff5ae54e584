#include "SharedJournal.h"

namespace zanfeld {

RunJournal& SharedJournal::get() {
    if (!m_tried) {
        m_tried = true;
        m_journal.open(m_path.empty() ? RunJournal::DefaultPath() : m_path);
    }
    return m_journal;
}

}  // namespace zanfeld
