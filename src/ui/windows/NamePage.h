#pragma once

#include <QCoreApplication>
#include <QString>

#include "SortIllustration.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace zanfeld {

class StarCaption;

// The name criterion page (page 1) of both sorting windows: heading,
// illustration, the character range, the removal filter and the
// only-existing-folders box. The texts name files or folders.
class NamePage {
    Q_DECLARE_TR_FUNCTIONS(NamePage)

  public:
    struct Texts {
        QString part;       // ChkFileNamePart
        QString filter;     // ImgFilter, with one "*" where the red star goes
        QString onlyMatch;  // ChkOnlyMatchDir
    };

    NamePage(SortIllustration::Kind illustration, const Texts& texts);

    QWidget* TabSheet2;
    QLabel* LblHeading2;
    SortIllustration* Image2;
    QCheckBox* ChkFileNamePart;
    QLineEdit* EdtPartNameBegin;
    QLabel* Label4;
    QLineEdit* EdtPartNameEnd;
    QLabel* Label5;
    StarCaption* ImgFilter;
    QLineEdit* EdtFilter;
    QCheckBox* ChkOnlyMatchDir;
};

}  // namespace zanfeld
