#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace zanfeld {

// The small drawing on a criterion page: a row of files (or folders) with
// arrows to the folders the criterion puts them in.
class SortIllustration : public QWidget {
    Q_OBJECT
  public:
    enum class Kind {
        Keywords,        // 西游记.txt and 东游记.doc share 游记 -> folder 游记
        BaseName,        // A.xls, A.doc -> A; B.txt, B.doc -> B
        FileType,        // files -> folders named after their extensions
        FolderKeywords,  // folders 西游记 and 东游记 share 游记 -> folder 游记
        FolderName       // folders A1, A2 -> A; B1, B2 -> B
    };

    explicit SortIllustration(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    // A text drawn into the picture and the width it is drawn in; a wider
    // text would be cut.
    struct Label {
        QString text;
        int width;
    };
    std::vector<Label> labels() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Arrow {
        int file;
        int folder;
    };

    Kind m_kind;
    bool m_folderSources = false;  // the top row shows folders, not files
    std::vector<QString> m_files;
    std::vector<QString> m_folders;
    std::vector<Arrow> m_arrows;
    QString m_arrowLabel;
};

}  // namespace zanfeld
