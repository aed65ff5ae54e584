#include "CopyObserver.h"

namespace zanfeld {

namespace {

thread_local CopyObserver* t_observer = nullptr;

}  // namespace

ScopedCopyObserver::ScopedCopyObserver(CopyObserver& observer) : m_previous(t_observer) {
    t_observer = &observer;
}

ScopedCopyObserver::~ScopedCopyObserver() { t_observer = m_previous; }

CopyObserver* CurrentCopyObserver() { return t_observer; }

}  // namespace zanfeld
