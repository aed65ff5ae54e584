#pragma once

#include <QCoreApplication>

#include "SortIllustration.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace zanfeld {

// The keyword criterion page (page 0) of both sorting windows: heading,
// illustration and the keyword box EdtKeys.
class KeywordPage {
    Q_DECLARE_TR_FUNCTIONS(KeywordPage)

  public:
    explicit KeywordPage(SortIllustration::Kind illustration);

    QWidget* TabSheet1;
    QLabel* LblHeading1;
    SortIllustration* Image1;
    QLabel* Label3;
    QLineEdit* EdtKeys;
};

}  // namespace zanfeld
